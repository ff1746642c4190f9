#include "clock/time_phrase.h"

#include "clock/short_date.h"

namespace hv::clock {

QString timePhrase(int hour, int minute, HourClock hourClock)
{
    if (hourClock == HourClock::TwentyFour) {
        return QStringLiteral("The time is, %1:%2.")
            .arg(hour, 2, 10, QLatin1Char('0'))
            .arg(minute, 2, 10, QLatin1Char('0'));
    }
    const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    return QStringLiteral("The time is, %1:%2.").arg(hour12).arg(minute, 2, 10, QLatin1Char('0'));
}

bool isAnnouncementMinute(int interval, int minute)
{
    switch (interval) {
    case 0:
        return minute == 0;
    case 1:
        return minute % 30 == 0;
    case 2:
        return minute % 15 == 0;
    case 3:
        return minute % 10 == 0;
    case 4:
        return minute % 5 == 0;
    case 5:
        return true;
    default:
        return false;
    }
}

QString captionText(const QDateTime& now, const QLocale& locale, HourClock hourClock)
{
    // "Ap" is the 12-hour clock with the locale's own AM and PM texts, unchanged in case.
    const QString timeFormat = hourClock == HourClock::TwentyFour ? QStringLiteral("HH:mm:ss")
                                                                  : QStringLiteral("hh:mm:ss Ap");
    return QStringLiteral("Horavox - ") + shortDateText(now.date(), locale) + QStringLiteral(", ") +
           locale.toString(now.time(), timeFormat);
}

} // namespace hv::clock
