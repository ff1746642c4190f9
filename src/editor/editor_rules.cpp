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
    alarm.sWhen = SCHEDULE_KINDS[kindIndex];
    if (alarm.sWhen == QLatin1String("Once") || alarm.sWhen == QLatin1String("Yearly"))
        alarm.sDay = dateText;
    else if (alarm.sWhen == QLatin1String("Weekly"))
        alarm.sDay = dayIndex >= 0 && dayIndex < 7 ? DAY_WORDS[dayIndex] : QString();
    else
        alarm.sDay = alarm.sWhen;
    return alarm;
}

bool isCompleteAlarm(const alarms::tAlarm& alarm, const QLocale& dateLocale)
{
    const bool dated =
        alarm.sWhen == QLatin1String("Once") || alarm.sWhen == QLatin1String("Yearly");
    const bool dayKnown =
        dated ? clock::readShortDate(alarm.sDay, dateLocale).isValid() : !alarm.sDay.isEmpty();
    return !alarm.sTime.isEmpty() && !alarm.sWhen.isEmpty() && dayKnown &&
           !alarm.sAgent.isEmpty() && !alarm.sMessage.trimmed().isEmpty();
}

} // namespace hv::editor
