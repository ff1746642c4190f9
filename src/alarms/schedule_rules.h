#pragma once

#include <QDate>
#include <QLocale>

#include "alarms/alarm_table.h"

// Whether an alarm whose minute has come is due today, by its kind; and the move of a yearly
// alarm to its next date.
namespace hv::alarms {

// For Once and Yearly: sDay, read as a short date of the locale, is today. A date that
// cannot be read is never today.
[[nodiscard]] bool IsAlarmToday(const tAlarm& alarm, const QDate& today, const QLocale& locale);

// For Weekly: sDay is today's weekday.
[[nodiscard]] bool IsAlarmWeekday(const tAlarm& alarm, const QDate& today);

// For FirstWeekday and LastWeekday: today is the first or last Monday to Friday of its month.
[[nodiscard]] bool IsFirstWeekday(const QDate& today);
[[nodiscard]] bool IsLastWeekday(const QDate& today);

// Moves a yearly alarm's sDay 365 days on (so it lands a day earlier after a 29 February)
// and writes it back as the locale's short date. Returns whether sDay changed, that is
// whether the alarm file must be rewritten.
[[nodiscard]] bool AdvanceYearlyAlarm(tAlarm& alarm, const QLocale& locale);

} // namespace hv::alarms
