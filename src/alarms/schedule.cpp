#include "alarms/schedule.h"

#include <algorithm>

namespace hv::alarms {

QString fileWord(ScheduleKind kind)
{
    return KIND_WORDS[std::size_t(kind)];
}

QString fileWord(Weekday day)
{
    return WEEKDAY_WORDS[std::size_t(day) - std::size_t(Weekday::Sunday)];
}

When readWhen(const QString& word)
{
    const auto found = std::find(KIND_WORDS.begin(), KIND_WORDS.end(), word);
    if (found == KIND_WORDS.end())
        return word;
    return ScheduleKind(found - KIND_WORDS.begin());
}

Day readDay(const QString& word)
{
    const auto found = std::find(WEEKDAY_WORDS.begin(), WEEKDAY_WORDS.end(), word);
    if (found == WEEKDAY_WORDS.end())
        return word;
    return Weekday(int(Weekday::Sunday) + int(found - WEEKDAY_WORDS.begin()));
}

bool isKind(const When& when, ScheduleKind kind)
{
    const ScheduleKind* known = std::get_if<ScheduleKind>(&when);
    return known && *known == kind;
}

Weekday weekdayOf(const QDate& date)
{
    // QDate counts Monday as 1 and Sunday as 7.
    return Weekday(date.dayOfWeek() % 7 + int(Weekday::Sunday));
}

} // namespace hv::alarms
