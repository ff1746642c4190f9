#include "alarms/alarm_check.h"

#include "alarms/alarm_time.h"
#include "alarms/schedule_rules.h"

namespace hv::alarms {

namespace {

bool isComplete(const tAlarm& a)
{
    return !a.sTime.isEmpty() && !fileText(a.sWhen).isEmpty() && !fileText(a.sDay).isEmpty() &&
           !a.sAgent.isEmpty() && !a.sMessage.isEmpty();
}

bool isDueToday(const tAlarm& a, const QDate& today, const QLocale& locale)
{
    const ScheduleKind* kind = std::get_if<ScheduleKind>(&a.sWhen);
    if (!kind)
        return false;
    switch (*kind) {
    case ScheduleKind::Once:
    case ScheduleKind::Yearly:
        return IsAlarmToday(a, today, locale);
    case ScheduleKind::Weekly:
        return IsAlarmWeekday(a, today);
    case ScheduleKind::Daily:
        return true;
    case ScheduleKind::FirstWeekday:
        return IsFirstWeekday(today);
    case ScheduleKind::LastWeekday:
        return IsLastWeekday(today);
    }
    return false;
}

} // namespace

int alarmMinuteOfDay(const QString& text)
{
    const std::optional<QTime> time = readAlarmTime(text);
    return time ? time->hour() * 60 + time->minute() : -1;
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
        const FiredEntry fired = isKind(a.sWhen, ScheduleKind::Yearly) ? FiredEntry::AdvanceFirst
                                 : isKind(a.sWhen, ScheduleKind::Once) ? FiredEntry::DeleteAfter
                                                                       : FiredEntry::Kept;
        return {TickStep::FireAlarm, i, fired};
    }
    return {alarmOnScreen ? TickStep::RepeatOnScreen : TickStep::GoOn};
}

} // namespace hv::alarms
