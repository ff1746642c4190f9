#include "alarms/schedule_rules.h"

#include <array>

#include <QString>

#include "clock/short_date.h"

namespace hv::alarms {

namespace {

constexpr int SUNDAY = 1;
constexpr int MONDAY = 2;
constexpr int FRIDAY = 6;

// QDate counts Monday as 1 and Sunday as 7.
int weekdayNumber(const QDate& date)
{
    return date.dayOfWeek() % 7 + 1;
}

bool isMondayToFriday(int weekday)
{
    return weekday >= MONDAY && weekday <= FRIDAY;
}

} // namespace

bool IsAlarmToday(const tAlarm& alarm, const QDate& today, const QLocale& locale)
{
    const QDate date = clock::readShortDate(alarm.sDay, locale);
    return date.isValid() && date == today;
}

bool IsAlarmWeekday(const tAlarm& alarm, const QDate& today)
{
    static const std::array<QString, 7> dayWords{QStringLiteral("Sun"),  QStringLiteral("Mon"),
                                                 QStringLiteral("Tues"), QStringLiteral("Wed"),
                                                 QStringLiteral("Thur"), QStringLiteral("Fri"),
                                                 QStringLiteral("Sat")};
    return alarm.sDay == dayWords[weekdayNumber(today) - SUNDAY];
}

bool IsFirstWeekday(const QDate& today)
{
    const int weekday = weekdayNumber(today);
    if (today.day() == 1)
        return isMondayToFriday(weekday);
    // A Monday on the 2nd or 3rd: the month began on a Sunday or a Saturday.
    return (today.day() == 2 || today.day() == 3) && weekday == MONDAY;
}

bool IsLastWeekday(const QDate& today)
{
    const int weekday = weekdayNumber(today);
    const int last = today.daysInMonth();
    if (today.day() == last)
        return isMondayToFriday(weekday);
    // A Friday one or two days before the last: the month ends on a Saturday or a Sunday.
    return (today.day() == last - 1 || today.day() == last - 2) && weekday == FRIDAY;
}

bool AdvanceYearlyAlarm(tAlarm& alarm, const QLocale& locale)
{
    // A date that cannot be read is left as it is: the entry never fires, and the user sees
    // the text they wrote in the list and can correct it.
    const QDate date = clock::readShortDate(alarm.sDay, locale);
    if (!date.isValid())
        return false;
    alarm.sDay = clock::shortDateText(date.addDays(365), locale);
    return true;
}

} // namespace hv::alarms
