#pragma once

#include <QDateTime>
#include <QList>

// Which minutes of the wall clock a run of the clock tick has to deal with, so that every
// minute the clock passes through has its alarms checked exactly once, whatever the wall clock
// does. Minutes are counted since the epoch, so that a change of time zone or of daylight
// saving time is no step.
namespace hv::clock {

// A forward step up to this many minutes has each skipped minute's alarms fire as they would
// have; a longer gap (a suspend) is reported as missed instead.
inline constexpr qint64 CATCH_UP_MINUTES = 15;

struct MinuteSteps
{
    // Minutes whose alarms are checked now, oldest first; the last is now's minute when now's
    // minute has not been checked before.
    QList<qint64> alarmMinutes;
    // Minutes from gapFrom up to, not including, gapTo passed unchecked.
    qint64 gapFrom = 0;
    qint64 gapTo = 0;
    // Now's minute is one the clock has not seen yet: the time may be announced.
    bool newMinute = false;
};

[[nodiscard]] qint64 minuteOf(const QDateTime& time);
[[nodiscard]] QDateTime startOfMinute(qint64 minute);

// checkedUpTo: the latest minute whose alarms were checked (start-up counts its own minute as
// checked); lastSeen: the minute of the previous run. After a backward step nothing is checked
// until the clock is past checkedUpTo again, but each new minute may still be announced.
[[nodiscard]] MinuteSteps stepMinutes(qint64 checkedUpTo, qint64 lastSeen, qint64 nowMinute);

// Time in ms until the next minute begins; a full minute on the boundary itself.
[[nodiscard]] int msToNextMinute(const QTime& time);

} // namespace hv::clock
