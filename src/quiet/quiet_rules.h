#pragma once

#include <optional>

#include <QList>
#include <QString>
#include <QTime>

// When the clock keeps its announcements to itself: the user's quiet hours and what the
// desktop says about the user being busy. Alarms are not announcements; they still ring.
namespace hv::quiet {

// A daily period from `from` up to, not including, `to`; it crosses midnight when `to` comes
// before `from`. Equal ends make an empty period.
struct QuietPeriod
{
    QTime from;
    QTime to;
};

// The user's choices, as the Quiet Times dialog shows them.
struct QuietTimes
{
    QList<QuietPeriod> periods;
    bool followDoNotDisturb = true;
    bool quietWhenFullScreenOrLocked = true;
    bool twentyFourHour = false;
};

// What the desktop reports; false wherever it cannot tell.
struct DesktopState
{
    bool doNotDisturb = false;
    bool fullScreen = false;
    bool screenLocked = false;
};

enum class QuietReason
{
    None,
    QuietHours,
    DoNotDisturb,
    FullScreen,
    ScreenLocked,
};

// Why a time announcement at `now` is not to be made, or None when it is.
[[nodiscard]] QuietReason quietReason(const QuietTimes& quiet, const QTime& now,
                                      const DesktopState& desktop);

// Whether due alarms wait for the screen to be unlocked rather than ring behind the lock.
[[nodiscard]] bool alarmsWait(const QuietTimes& quiet, const DesktopState& desktop);

// "22:00-07:00, 12:30-13:30": periods of 24-hour "H:mm" times joined by "-" or an en dash,
// separated by commas or semicolons; blank text is no period. Nothing when any part cannot be
// read.
[[nodiscard]] std::optional<QList<QuietPeriod>> readPeriods(const QString& text);
[[nodiscard]] QString periodsText(const QList<QuietPeriod>& periods);

// For the log: "quiet hours", "do not disturb", ...
[[nodiscard]] QString reasonText(QuietReason reason);

} // namespace hv::quiet
