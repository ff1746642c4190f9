#include "clock/minute_steps.h"

namespace hv::clock {

qint64 minuteOf(const QDateTime& time)
{
    const qint64 ms = time.toMSecsSinceEpoch();
    // Rounded down also before 1970.
    return ms >= 0 ? ms / 60000 : (ms - 59999) / 60000;
}

QDateTime startOfMinute(qint64 minute)
{
    return QDateTime::fromMSecsSinceEpoch(minute * 60000);
}

MinuteSteps stepMinutes(qint64 checkedUpTo, qint64 lastSeen, qint64 nowMinute)
{
    MinuteSteps steps;
    steps.newMinute = nowMinute != lastSeen;
    if (nowMinute <= checkedUpTo)
        return steps;
    qint64 first = checkedUpTo + 1;
    if (nowMinute - checkedUpTo > CATCH_UP_MINUTES) {
        steps.gapFrom = first;
        steps.gapTo = nowMinute;
        first = nowMinute;
    }
    for (qint64 minute = first; minute <= nowMinute; ++minute)
        steps.alarmMinutes.append(minute);
    return steps;
}

int msToNextMinute(const QTime& time)
{
    return 60000 - (time.second() * 1000 + time.msec());
}

} // namespace hv::clock
