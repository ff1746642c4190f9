#pragma once

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include "alarms/alarm_table.h"

// The report at start-up of one-time and yearly alarms whose date passed while the program
// was not running, as a plan the main window carries out.
namespace hv::alarms {

struct MissedAlarmAction
{
    enum class Kind
    {
        DeleteRow,     // select row index and run the list's Delete command
        AdvanceYearly, // AdvanceYearlyAlarm on entry index, then save
    };
    Kind kind;
    int index; // as the table stands when this action runs, after the earlier ones

    friend bool operator==(const MissedAlarmAction& a, const MissedAlarmAction& b)
    {
        return a.kind == b.kind && a.index == b.index;
    }
};

struct MissedAlarmReport
{
    qint16 count = 0; // no message box when 0
    QString text;
    QString title;
    QList<MissedAlarmAction> actions; // in the order they must run
    // One-time and yearly alarms whose date cannot be read: neither missed nor due, ever.
    QStringList unreadableDates;
};

// An alarm is missed when its date and time lie from `from` (no bound when invalid) up to,
// not including, `until`. At start-up `until` is today's midnight, so an alarm dated today is
// not missed, whatever its time; while the clock runs the range is the minutes it passed over.
[[nodiscard]] MissedAlarmReport planMissedAlarmReport(const AlarmTable& table,
                                                      const QDateTime& from, const QDateTime& until,
                                                      const QLocale& locale);

} // namespace hv::alarms
