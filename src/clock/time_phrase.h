#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace hv::clock {

enum class HourClock
{
    Twelve,
    TwentyFour,
};

// "The time is, H:MM." on the 12-hour clock, no AM or PM: 0 and 12 both give 12. On the
// 24-hour clock "The time is, HH:MM.", the hour in two digits as such a clock shows it.
[[nodiscard]] QString timePhrase(int hour, int minute, HourClock hourClock = HourClock::Twelve);

// Whether the interval setting (0 hour ... 5 every minute, 6 never) speaks at this minute.
[[nodiscard]] bool isAnnouncementMinute(int interval, int minute);

// "Horavox - " + short date + ", " + "hh:mm:ss" + the locale's AM or PM designator; on the
// 24-hour clock "HH:mm:ss" alone.
[[nodiscard]] QString captionText(const QDateTime& now, const QLocale& locale,
                                  HourClock hourClock = HourClock::Twelve);

} // namespace hv::clock
