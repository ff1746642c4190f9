#include "editor/editor_rules.h"

#include <algorithm>
#include <cmath>

#include <QRegularExpression>

#include "clock/short_date.h"

namespace hv::editor {

namespace {

// A 16-bit whole number the way the general numeric conversion reads one. Only plain decimal
// notation is taken: no exponent, no thousands separator, a point as the decimal separator.
std::optional<qint16> readWholeNumber(const QString& text)
{
    static const QRegularExpression decimal(QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)\s*$)"));
    if (!decimal.match(text).hasMatch())
        return std::nullopt;
    // nearbyint rounds in the default mode, to the nearest with halves to the even neighbour.
    const double value = std::nearbyint(text.trimmed().toDouble());
    if (value < -32768.0 || value > 32767.0)
        return std::nullopt;
    return static_cast<qint16>(value);
}

} // namespace

std::optional<QString> readAlarmTime(const QString& text)
{
    const qsizetype colon = text.indexOf(u':');
    if (colon < 0)
        return std::nullopt;
    const std::optional<qint16> hour = readWholeNumber(text.left(colon));
    const std::optional<qint16> minute = readWholeNumber(text.mid(colon + 1));
    if (!hour || !minute || *hour < 0 || *hour > 23 || *minute < 0 || *minute > 59)
        return std::nullopt;
    return QStringLiteral("%1:%2")
        .arg(*hour, 2, 10, QLatin1Char('0'))
        .arg(*minute, 2, 10, QLatin1Char('0'));
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
