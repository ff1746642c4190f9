#include "clock/time_phrase.h"

#include "clock/short_date.h"

namespace hv::clock {

QString timePhrase(int hour, int minute)
{
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

QString captionText(const QDateTime& now, const QLocale& locale)
{
    const QTime t = now.time();
    const int hour12 = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
    const QString designator = t.hour() < 12 ? locale.amText() : locale.pmText();
    return QStringLiteral("Horavox - ") + shortDateText(now.date(), locale) + QStringLiteral(", ") +
           QStringLiteral("%1:%2:%3 ")
               .arg(hour12, 2, 10, QLatin1Char('0'))
               .arg(t.minute(), 2, 10, QLatin1Char('0'))
               .arg(t.second(), 2, 10, QLatin1Char('0')) +
           designator;
}

} // namespace hv::clock
