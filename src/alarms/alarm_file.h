#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "alarms/alarm_table.h"

// The alarm file: one line per alarm, five double-quoted fields separated by commas, CR LF.
namespace hv::alarms {

// The alarm list's fixed last row.
inline const QString ADD_ALARM_ROW = QStringLiteral("-- Click on this line to add a new Alarm --");

// Reads every line that holds five fields; blank lines and lines of another shape are skipped
// so that one damaged line cannot shift the fields of all the alarms after it. At most
// MAX_ALARMS records are taken.
[[nodiscard]] QList<tAlarm> parseAlarmFile(const QByteArray& bytes);

// Entries whose time, kind, day or character is empty are left out.
[[nodiscard]] QByteArray formatAlarmFile(const tAlarm* alarms, int count);

// The alarm list row: the fields separated by tabs, a date shown without its year.
[[nodiscard]] QString alarmRowText(const tAlarm& alarm);

} // namespace hv::alarms
