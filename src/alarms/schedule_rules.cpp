#include "alarms/schedule_rules.h"

#include "clock/short_date.h"

namespace hv::alarms {

namespace {

bool isMondayToFriday(Weekday weekday)
{
    return weekday >= Weekday::Monday && weekday <= Weekday::Friday;
}

} // namespace

bool IsAlarmToday(const tAlarm& alarm, const QDate& today, const QLocale& locale)
{
    const QDate date = clock::readShortDate(fileText(alarm.sDay), locale);
    return date.isValid() && date == today;
}

bool IsAlarmWeekday(const tAlarm& alarm, const QDate& today)
{
    const Weekday* day = std::get_if<Weekday>(&alarm.sDay);
    return day && *day == weekdayOf(today);
}

bool IsFirstWeekday(const QDate& today)
{
    const Weekday weekday = weekdayOf(today);
    if (today.day() == 1)
        return isMondayToFriday(weekday);
    // A Monday on the 2nd or 3rd: the month began on a Sunday or a Saturday.
    return (today.day() == 2 || today.day() == 3) && weekday == Weekday::Monday;
}

bool IsLastWeekday(const QDate& today)
{
    const Weekday weekday = weekdayOf(today);
    const int last = today.daysInMonth();
    if (today.day() == last)
        return isMondayToFriday(weekday);
    // A Friday one or two days before the last: the month ends on a Saturday or a Sunday.
    return (today.day() == last - 1 || today.day() == last - 2) && weekday == Weekday::Friday;
}

bool AdvanceYearlyAlarm(tAlarm& alarm, const QLocale& locale)
{
    // A date that cannot be read is left as it is: the entry never fires, and the user sees
    // the text they wrote in the list and can correct it.
    const QDate date = clock::readShortDate(fileText(alarm.sDay), locale);
    if (!date.isValid())
        return false;
    alarm.sDay = clock::shortDateText(date.addDays(365), locale);
    return true;
}

} // namespace hv::alarms
