#include "alarms/alarm_check.h"

#include <array>

#include "alarms/schedule_rules.h"

namespace hv::alarms {

namespace {

bool isComplete(const tAlarm& a)
{
    return !a.sTime.isEmpty() && !a.sWhen.isEmpty() && !a.sDay.isEmpty() && !a.sAgent.isEmpty() &&
           !a.sMessage.isEmpty();
}

bool isDueToday(const tAlarm& a, const QDate& today, const QLocale& locale)
{
    if (a.sWhen == u"Once" || a.sWhen == u"Yearly")
        return IsAlarmToday(a, today, locale);
    if (a.sWhen == u"Weekly")
        return IsAlarmWeekday(a, today);
    if (a.sWhen == u"Daily")
        return true;
    if (a.sWhen == u"fwdm")
        return IsFirstWeekday(today);
    if (a.sWhen == u"lwdm")
        return IsLastWeekday(today);
    return false;
}

} // namespace

// Read by hand rather than with a regular expression: it runs for every alarm in every minute.
int alarmMinuteOfDay(QStringView text)
{
    std::array<int, 3> numbers{};
    int separators = 0;
    int digits = 0;
    for (const QChar c : text.trimmed()) {
        if (c == u':' && digits > 0 && separators < 2) {
            ++separators;
            digits = 0;
            continue;
        }
        if (c < u'0' || c > u'9' || ++digits > 2)
            return -1;
        numbers[separators] = numbers[separators] * 10 + (c.unicode() - u'0');
    }
    if (separators == 0 || digits == 0 || numbers[0] > 23 || numbers[1] > 59 || numbers[2] > 59)
        return -1;
    return numbers[0] * 60 + numbers[1];
}

AlarmCheck checkAlarms(const AlarmTable& table, const QDateTime& now, bool bAlarmsOn,
                       bool alarmOnScreen, const QLocale& locale)
{
    if (!bAlarmsOn || table.iAlarmCount < 1)
        return {};
    const QTime clock = now.time();
    const int minuteNow = clock.hour() * 60 + clock.minute();
    for (int i = 0; i < table.iAlarmCount; ++i) {
        const tAlarm& a = table.Alarms[i];
        if (!isComplete(a))
            continue;
        const int minute = alarmMinuteOfDay(a.sTime);
        if (minute < 0)
            return {TickStep::EndTick};
        if (minute != minuteNow || !isDueToday(a, now.date(), locale))
            continue;
        const FiredEntry fired = a.sWhen == u"Yearly" ? FiredEntry::AdvanceFirst
                                 : a.sWhen == u"Once" ? FiredEntry::DeleteAfter
                                                      : FiredEntry::Kept;
        return {TickStep::FireAlarm, i, fired};
    }
    return {alarmOnScreen ? TickStep::RepeatOnScreen : TickStep::GoOn};
}

} // namespace hv::alarms
