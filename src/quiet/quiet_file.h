#pragma once

#include <QString>

#include "quiet/quiet_rules.h"

// The Quiet Times choices in a settings file of their own, so that Settings.ini keeps its
// format. Keys: Periods (as periodsText writes them), FollowDoNotDisturb,
// QuietWhenFullScreenOrLocked, TwentyFourHour.
namespace hv::quiet {

// The defaults for a missing file, a missing key or periods that cannot be read.
[[nodiscard]] QuietTimes readQuietTimes(const QString& path);
// False when the file could not be written.
[[nodiscard]] bool saveQuietTimes(const QString& path, const QuietTimes& quiet);

} // namespace hv::quiet
