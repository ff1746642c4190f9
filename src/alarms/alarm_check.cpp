#include "alarms/alarm_check.h"

#include <optional>

#include <QRegularExpression>

#include "alarms/schedule_rules.h"

namespace hv::alarms {

namespace {

// "HH:MM" on the 24-hour clock, as the editor writes it; a single-digit hour or minute and
// seconds are read too, since the file may have been edited by hand.
std::optional<QTime> readAlarmTime(const QString& text)
{
    static const QRegularExpression shape(
        QStringLiteral(R"(^\s*(\d{1,2}):(\d{1,2})(?::(\d{1,2}))?\s*$)"));
    const QRegularExpressionMatch match = shape.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QTime time(match.captured(1).toInt(), match.captured(2).toInt(),
                     match.captured(3).toInt());
    if (!time.isValid())
        return std::nullopt;
    return time;
}

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

AlarmCheck checkAlarms(const AlarmTable& table, const QDateTime& now, bool bAlarmsOn,
                       bool alarmOnScreen, const QLocale& locale)
{
    if (!bAlarmsOn || table.iAlarmCount < 1)
        return {};
    const QTime clock = now.time();
    for (int i = 0; i < table.iAlarmCount; ++i) {
        const tAlarm& a = table.Alarms[i];
        if (!isComplete(a))
            continue;
        const std::optional<QTime> time = readAlarmTime(a.sTime);
        if (!time)
            return {TickStep::EndTick};
        if (time->hour() != clock.hour() || time->minute() != clock.minute() ||
            !isDueToday(a, now.date(), locale))
            continue;
        const FiredEntry fired = a.sWhen == u"Yearly" ? FiredEntry::AdvanceFirst
                                 : a.sWhen == u"Once" ? FiredEntry::DeleteAfter
                                                      : FiredEntry::Kept;
        return {TickStep::FireAlarm, i, fired};
    }
    return {alarmOnScreen ? TickStep::RepeatOnScreen : TickStep::GoOn};
}

} // namespace hv::alarms
