#pragma once

#include <array>
#include <optional>

#include <QString>

#include "alarms/alarm_table.h"

// The alarm editor's rules, apart from its window.
namespace hv::editor {

// The schedule options in the order of their buttons, and the kind word each stores.
inline const std::array<QString, 6> SCHEDULE_KINDS{
    QStringLiteral("Once"), QStringLiteral("Daily"), QStringLiteral("Weekly"),
    QStringLiteral("fwdm"), QStringLiteral("lwdm"),  QStringLiteral("Yearly")};
// The day options in the order of their buttons; a weekly alarm stores the first seven.
inline const std::array<QString, 8> DAY_WORDS{
    QStringLiteral("Mon"), QStringLiteral("Tues"), QStringLiteral("Wed"), QStringLiteral("Thur"),
    QStringLiteral("Fri"), QStringLiteral("Sat"),  QStringLiteral("Sun"), QStringLiteral("Daily")};

// Reads "hours:minutes" as typed and returns it as "HH:MM" on the 24-hour clock, or nothing.
// Each part is a whole number with blanks and a sign allowed and a decimal fraction rounded
// half to even ("7.5:30" is 08:30, "6.5:30" is 06:30); a part beyond the 16-bit range is
// unreadable. The minutes are everything after the first colon, so "7:30:00" is refused.
[[nodiscard]] std::optional<QString> readAlarmTime(const QString& text);

// Writes the schedule kind and day that OK stores for the chosen option (an index into
// SCHEDULE_KINDS; -1, no option chosen, leaves both as they were). A dated kind stores the
// date text as shown, a weekly one the day word.
void storeSchedule(alarms::tAlarm& alarm, int kindIndex, const QString& dateText,
                   const QString& dayName);

// Steps 1 to 5 are flags 0 to 4; OK becomes usable once all of them are done together.
[[nodiscard]] bool allStepsDone(const std::array<bool, 7>& stepDone);

} // namespace hv::editor
