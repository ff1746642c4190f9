#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "alarms/alarm_table.h"

// The alarm file: one line per alarm, five double-quoted fields separated by commas, CR LF.
namespace hv::alarms {

// The alarm list's fixed last row.
inline const QString ADD_ALARM_ROW = QStringLiteral("-- Click on this line to add a new Alarm --");

struct AlarmFileContents
{
    QList<tAlarm> alarms; // at most MAX_ALARMS, in file order
    // The original bytes (without the line end) of every line that was not loaded: lines that
    // do not hold five fields, lines with a quote the format cannot carry, and the lines after
    // the MAX_ALARMS-th good one. Blank lines hold nothing and are not kept.
    QList<QByteArray> notLoaded;
};

// A damaged line is skipped on its own, so that it cannot shift the fields of the alarms after
// it.
[[nodiscard]] AlarmFileContents parseAlarmFile(const QByteArray& bytes);

// Entries whose time, kind, day or character is empty are left out; an empty message is kept.
[[nodiscard]] QByteArray formatAlarmFile(const tAlarm* alarms, int count);

// Writes the records not loaded, one per line, into a new file in the folder of alarmFilePath
// (never replacing an earlier one) and returns its path; returns an empty text when the file
// could not be written.
[[nodiscard]] QString keepNotLoadedRecords(const QString& alarmFilePath,
                                           const QList<QByteArray>& records);

// The text of the message that tells the user how many records were not loaded and where
// they were kept; an empty keptPath says they could not be kept.
[[nodiscard]] QString notLoadedMessage(qsizetype count, const QString& keptPath);
inline const QString NOT_LOADED_TITLE = QStringLiteral("Alarms Not Loaded");

// The alarm list row: the fields separated by tabs, a date shown without its year.
[[nodiscard]] QString alarmRowText(const tAlarm& alarm);

} // namespace hv::alarms
