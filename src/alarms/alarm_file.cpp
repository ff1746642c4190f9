#include "alarms/alarm_file.h"

#include "platform/text_line.h"

namespace hv::alarms {

QList<tAlarm> parseAlarmFile(const QByteArray& bytes)
{
    QList<tAlarm> alarms;
    const QString text = platform::decodeFileText(bytes);
    const auto lines = QStringView(text).split(u'\n');
    for (QStringView line : lines) {
        if (alarms.size() == MAX_ALARMS)
            break;
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const QList<platform::TextItem> items = platform::readTextItems(line);
        if (items.size() != 5)
            continue;
        alarms.append(
            tAlarm{items[0].text, items[1].text, items[2].text, items[3].text, items[4].text});
    }
    return alarms;
}

QByteArray formatAlarmFile(const tAlarm* alarms, int count)
{
    QString text;
    for (int i = 0; i < count; ++i) {
        const tAlarm& a = alarms[i];
        if (a.sTime.isEmpty() || a.sWhen.isEmpty() || a.sDay.isEmpty() || a.sAgent.isEmpty())
            continue;
        text += u'"' + a.sTime + QStringLiteral("\",\"") + a.sWhen + QStringLiteral("\",\"") +
                a.sDay + QStringLiteral("\",\"") + a.sAgent + QStringLiteral("\",\"") + a.sMessage +
                QStringLiteral("\"\r\n");
    }
    return text.toUtf8();
}

QString alarmRowText(const tAlarm& alarm)
{
    const qsizetype lastSlash = alarm.sDay.lastIndexOf(u'/');
    const QString shownDay = lastSlash < 0 ? alarm.sDay : alarm.sDay.left(lastSlash);
    return alarm.sTime + u'\t' + alarm.sWhen + u'\t' + shownDay + u'\t' + alarm.sAgent + u'\t' +
           alarm.sMessage;
}

} // namespace hv::alarms
