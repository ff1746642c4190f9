#pragma once

#include <QDateTime>
#include <QLocale>

#include "alarms/alarm_table.h"

// The once-a-minute search of the alarm table for an alarm due in the current minute.
namespace hv::alarms {

enum class TickStep
{
    GoOn,           // announce the time as usual
    FireAlarm,      // speak the entry at AlarmCheck::index, then end the tick
    RepeatOnScreen, // the alarm on screen says its message again, then end the tick
    EndTick,        // an alarm time cannot be read: nothing is spoken this minute
};

// What the shell does with the fired entry besides speaking it.
enum class FiredEntry
{
    Kept,         // daily, weekly and monthly alarms stay as they are
    AdvanceFirst, // "Yearly": AdvanceYearlyAlarm before speaking
    DeleteAfter,  // "Once": deleted through the list's Delete command after speaking
};

struct AlarmCheck
{
    TickStep step = TickStep::GoOn;
    int index = -1; // the entry that fires
    FiredEntry fired = FiredEntry::Kept;
};

// The minute of the day of an alarm time as readAlarmTime reads it; -1 when it is no time.
[[nodiscard]] int alarmMinuteOfDay(const QString& text);

// The first entry in table order whose five fields are set, whose time is now's hour and
// minute and whose schedule makes it due today fires. An entry whose time cannot be read ends
// the search (and the tick) at once. With alarms off or no alarms nothing fires and nothing is
// repeated.
[[nodiscard]] AlarmCheck checkAlarms(const AlarmTable& table, const QDateTime& now, bool bAlarmsOn,
                                     bool alarmOnScreen, const QLocale& locale);

} // namespace hv::alarms
