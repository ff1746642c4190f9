#include "alarms/alarm_file.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>
#include <QStringList>

#include "alarms/text_line.h"

namespace hv::alarms {

namespace {

constexpr int FIELD_COUNT = 5;
// Far more than five fields of any use; a longer line is never held in memory whole.
constexpr qint64 MAX_LINE_BYTES = 64 * 1024;

bool isWholeRecord(const QList<TextItem>& items)
{
    return items.size() == FIELD_COUNT &&
           std::all_of(items.begin(), items.end(), [](const TextItem& i) { return i.whole; });
}

} // namespace

AlarmFileContents readAlarmFile(QIODevice& file, QIODevice* notLoaded)
{
    AlarmFileContents contents;
    const auto keep = [notLoaded](const QByteArray& bytes) {
        if (notLoaded)
            notLoaded->write(bytes);
    };
    while (!file.atEnd()) {
        QByteArray line = file.readLine(MAX_LINE_BYTES);
        if (!line.endsWith('\n') && !file.atEnd()) {
            // Longer than any record: unreadable, and passed on a piece at a time.
            ++contents.unreadable;
            keep(line);
            while (!line.endsWith('\n') && !file.atEnd()) {
                line = file.readLine(MAX_LINE_BYTES);
                keep(line);
            }
            if (!line.endsWith('\n'))
                keep("\r\n");
            continue;
        }
        if (line.endsWith('\n'))
            line.chop(1);
        if (line.endsWith('\r'))
            line.chop(1);
        const QString text = decodeFileText(line);
        if (text.trimmed().isEmpty())
            continue;
        const QList<TextItem> items = readTextItems(text);
        if (!isWholeRecord(items)) {
            ++contents.unreadable;
            keep(line + "\r\n");
        } else if (contents.alarms.size() == MAX_ALARMS) {
            ++contents.overLimit;
            keep(line + "\r\n");
        } else {
            contents.alarms.append(alarmFromFileWords(items[0].text, items[1].text, items[2].text,
                                                      items[3].text, items[4].text));
        }
    }
    return contents;
}

tAlarm alarmFromFileWords(const QString& time, const QString& when, const QString& day,
                          const QString& agent, const QString& message)
{
    return tAlarm{time, readWhen(when), readDay(day), agent, message};
}

QByteArray formatAlarmFile(const tAlarm* alarms, int count)
{
    QString text;
    for (int i = 0; i < count; ++i) {
        const tAlarm& a = alarms[i];
        const QString when = fileText(a.sWhen);
        const QString day = fileText(a.sDay);
        if (a.sTime.isEmpty() || when.isEmpty() || day.isEmpty() || a.sAgent.isEmpty())
            continue;
        text += u'"' + a.sTime + QStringLiteral("\",\"") + when + QStringLiteral("\",\"") + day +
                QStringLiteral("\",\"") + a.sAgent + QStringLiteral("\",\"") + a.sMessage +
                QStringLiteral("\"\r\n");
    }
    return text.toUtf8();
}

QString keepNotLoadedRecords(const QString& alarmFilePath)
{
    const QDir folder = QFileInfo(alarmFilePath).absoluteDir();
    QString path = folder.filePath(QStringLiteral("Alarms not loaded.dat"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder.filePath(QStringLiteral("Alarms not loaded %1.dat").arg(n));
    QFile alarmFile(alarmFilePath);
    QSaveFile aside(path);
    if (!alarmFile.open(QIODevice::ReadOnly) || !aside.open(QIODevice::WriteOnly))
        return {};
    (void)readAlarmFile(alarmFile, &aside);
    return aside.flush() && aside.commit() ? path : QString();
}

QString notLoadedMessage(const AlarmFileContents& contents, const QString& keptPath)
{
    QStringList what;
    if (contents.unreadable > 0)
        what.append(QStringLiteral("%1 alarm record(s) in Alarms.dat could not be read.")
                        .arg(contents.unreadable));
    if (contents.overLimit > 0)
        what.append(QStringLiteral("%1 alarm record(s) in Alarms.dat came after the limit of %2 "
                                   "alarms.")
                        .arg(contents.overLimit)
                        .arg(MAX_ALARMS));
    const QString head =
        what.join(QStringLiteral("\r\n")) + QStringLiteral("\r\nThey were not loaded.");
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
    const QString day = fileText(alarm.sDay);
    const qsizetype lastSlash = day.lastIndexOf(u'/');
    const QString shownDay = lastSlash < 0 ? day : day.left(lastSlash);
    return alarm.sTime + u'\t' + fileText(alarm.sWhen) + u'\t' + shownDay + u'\t' + alarm.sAgent +
           u'\t' + alarm.sMessage;
}

} // namespace hv::alarms
