#include "alarms/alarm_file.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include "alarms/text_line.h"

namespace hv::alarms {

namespace {

constexpr int FIELD_COUNT = 5;

bool isWholeRecord(const QList<TextItem>& items)
{
    return items.size() == FIELD_COUNT &&
           std::all_of(items.begin(), items.end(), [](const TextItem& i) { return i.whole; });
}

} // namespace

AlarmFileContents parseAlarmFile(const QByteArray& bytes)
{
    AlarmFileContents contents;
    // Both decodings keep every line feed, so the text's lines and the bytes' lines pair up.
    const QString text = decodeFileText(bytes);
    const QList<QStringView> lines = QStringView(text).split(u'\n');
    const QList<QByteArray> rawLines = bytes.split('\n');
    Q_ASSERT(lines.size() == rawLines.size());
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QStringView line = lines[n];
        QByteArray raw = rawLines[n];
        if (line.endsWith(u'\r')) {
            line.chop(1);
            raw.chop(1);
        }
        if (line.trimmed().isEmpty())
            continue;
        const QList<TextItem> items = readTextItems(line);
        if (contents.alarms.size() == MAX_ALARMS || !isWholeRecord(items)) {
            contents.notLoaded.append(raw);
            continue;
        }
        contents.alarms.append(
            tAlarm{items[0].text, items[1].text, items[2].text, items[3].text, items[4].text});
    }
    return contents;
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

QString keepNotLoadedRecords(const QString& alarmFilePath, const QList<QByteArray>& records)
{
    const QDir folder = QFileInfo(alarmFilePath).absoluteDir();
    QString path = folder.filePath(QStringLiteral("Alarms not loaded.dat"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder.filePath(QStringLiteral("Alarms not loaded %1.dat").arg(n));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    for (const QByteArray& record : records)
        file.write(record + "\r\n");
    return file.commit() ? path : QString();
}

QString notLoadedMessage(qsizetype count, const QString& keptPath)
{
    const QString head =
        QStringLiteral("%1 alarm record(s) in Alarms.dat could not be read and were not loaded.")
            .arg(count);
    if (keptPath.isEmpty())
        return head + QStringLiteral("\r\n\r\nThey could not be copied aside, so Alarms.dat "
                                     "will not be changed while Horavox runs.");
    return head +
           QStringLiteral("\r\n\r\nThey have been kept unchanged in:\r\n%1\r\n\r\nAlarms.dat "
                          "will no longer hold them once the alarm list is saved.")
               .arg(QDir::toNativeSeparators(keptPath));
}

QString alarmRowText(const tAlarm& alarm)
{
    const qsizetype lastSlash = alarm.sDay.lastIndexOf(u'/');
    const QString shownDay = lastSlash < 0 ? alarm.sDay : alarm.sDay.left(lastSlash);
    return alarm.sTime + u'\t' + alarm.sWhen + u'\t' + shownDay + u'\t' + alarm.sAgent + u'\t' +
           alarm.sMessage;
}

} // namespace hv::alarms
