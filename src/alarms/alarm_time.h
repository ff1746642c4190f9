#pragma once

#include <optional>

#include <QString>
#include <QTime>

namespace hv::alarms {

// The one reading of an alarm time, for what the user types and what the alarm file holds:
// "hours:minutes", each part a whole number with blanks and a sign allowed and a decimal
// fraction rounded half to even ("7.5:30" is 08:30, "6.5:30" is 06:30); a part beyond the
// 16-bit range is unreadable. The minutes are everything after the first colon, so "7:30:00"
// is refused.
[[nodiscard]] std::optional<QTime> readAlarmTime(const QString& text);

} // namespace hv::alarms
