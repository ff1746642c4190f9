#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class QIODevice;

#include "alarms/alarm_table.h"

// The alarm file: one line per alarm, five double-quoted fields separated by commas, CR LF.
namespace hv::alarms {

// The alarm list's fixed last row.
inline const QString ADD_ALARM_ROW = QStringLiteral("-- Click on this line to add a new Alarm --");

struct AlarmFileContents
{
    QList<tAlarm> alarms; // at most MAX_ALARMS, in file order
    // Lines not loaded: those that do not hold five fields, hold a quote the format cannot
    // carry or are too long for any record (unreadable), and good ones after the MAX_ALARMS-th
    // (over the limit). Blank lines hold nothing and are not counted.
    qsizetype unreadable = 0;
    qsizetype overLimit = 0;
};

// Reads the file a line at a time, so that a file of any size costs one line of memory. A
// damaged line is skipped on its own, so that it cannot shift the fields of the alarms after
// it. Every line not loaded is written to notLoaded, when given, with its bytes unchanged and
// a CR LF.
[[nodiscard]] AlarmFileContents readAlarmFile(QIODevice& file, QIODevice* notLoaded = nullptr);

// The record of one line's five fields, its kind and weekly day read from their words.
[[nodiscard]] tAlarm alarmFromFileWords(const QString& time, const QString& when,
                                        const QString& day, const QString& agent,
                                        const QString& message);

// Entries whose time, kind, day or character is empty are left out; an empty message is kept.
[[nodiscard]] QByteArray formatAlarmFile(const tAlarm* alarms, int count);

// Copies the records of the alarm file that are not loaded into a new file in its folder
// (never replacing an earlier one) and returns its path; returns an empty text when the copy
// could not be written whole.
[[nodiscard]] QString keepNotLoadedRecords(const QString& alarmFilePath);

// Tells the user how many records were unreadable and how many over the limit, and where they
// were kept; an empty keptPath says they could not be kept.
[[nodiscard]] QString notLoadedMessage(const AlarmFileContents& contents, const QString& keptPath);
inline const QString NOT_LOADED_TITLE = QStringLiteral("Alarms Not Loaded");

// The alarm list row: the fields separated by tabs, a date shown without its year.
[[nodiscard]] QString alarmRowText(const tAlarm& alarm);

} // namespace hv::alarms
