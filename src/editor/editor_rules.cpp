#include "editor/editor_rules.h"

#include <algorithm>

#include "alarms/alarm_time.h"
#include "clock/short_date.h"

namespace hv::editor {

std::optional<QString> readAlarmTime(const QString& text)
{
    const std::optional<QTime> time = alarms::readAlarmTime(text);
    if (!time)
        return std::nullopt;
    return time->toString(QStringLiteral("HH:mm"));
}

alarms::tAlarm shownAlarm(const QString& timeText, int kindIndex, const QString& dateText,
                          int dayIndex, const QString& agent, const QString& message)
{
    alarms::tAlarm alarm{readAlarmTime(timeText).value_or(QString()), {}, {}, agent, message};
    if (kindIndex < 0 || kindIndex >= int(SCHEDULE_KINDS.size()))
        return alarm;
    const alarms::ScheduleKind kind = SCHEDULE_KINDS[kindIndex];
    alarm.sWhen = kind;
    if (kind == alarms::ScheduleKind::Once || kind == alarms::ScheduleKind::Yearly)
        alarm.sDay = dateText;
    else if (kind != alarms::ScheduleKind::Weekly)
        alarm.sDay = alarms::fileWord(kind);
    else if (dayIndex >= 0 && dayIndex < int(WEEKDAY_OPTIONS.size()))
        alarm.sDay = WEEKDAY_OPTIONS[dayIndex];
    return alarm;
}

bool isCompleteAlarm(const alarms::tAlarm& alarm, const QLocale& dateLocale)
{
    const bool dated = alarms::isKind(alarm.sWhen, alarms::ScheduleKind::Once) ||
                       alarms::isKind(alarm.sWhen, alarms::ScheduleKind::Yearly);
    const QString day = alarms::fileText(alarm.sDay);
    const bool dayKnown = dated ? clock::readShortDate(day, dateLocale).isValid() : !day.isEmpty();
    return !alarm.sTime.isEmpty() && !alarms::fileText(alarm.sWhen).isEmpty() && dayKnown &&
           !alarm.sAgent.isEmpty() && !alarm.sMessage.trimmed().isEmpty();
}

} // namespace hv::editor
