#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace hv::clock {

// "The time is, H:MM." on the 12-hour clock, no AM or PM: 0 and 12 both give 12.
[[nodiscard]] QString timePhrase(int hour, int minute);

// Whether the interval setting (0 hour ... 5 every minute, 6 never) speaks at this minute.
[[nodiscard]] bool isAnnouncementMinute(int interval, int minute);

// "Horavox - " + short date + ", " + "hh:mm:ss" + the locale's AM or PM designator.
[[nodiscard]] QString captionText(const QDateTime& now, const QLocale& locale);

} // namespace hv::clock
