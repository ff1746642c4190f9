#include "quiet/quiet_file.h"

#include <QSettings>

namespace hv::quiet {

namespace {

const QString PERIODS = QStringLiteral("Periods");
const QString FOLLOW_DO_NOT_DISTURB = QStringLiteral("FollowDoNotDisturb");
const QString FULL_SCREEN_OR_LOCKED = QStringLiteral("QuietWhenFullScreenOrLocked");
const QString TWENTY_FOUR_HOUR = QStringLiteral("TwentyFourHour");

} // namespace

QuietTimes readQuietTimes(const QString& path)
{
    const QSettings file(path, QSettings::IniFormat);
    QuietTimes quiet;
    // A text with commas that is not in quotes comes back as a list.
    quiet.periods = readPeriods(file.value(PERIODS).toStringList().join(QLatin1Char(',')))
                        .value_or(QList<QuietPeriod>());
    quiet.followDoNotDisturb = file.value(FOLLOW_DO_NOT_DISTURB, quiet.followDoNotDisturb).toBool();
    quiet.quietWhenFullScreenOrLocked =
        file.value(FULL_SCREEN_OR_LOCKED, quiet.quietWhenFullScreenOrLocked).toBool();
    quiet.twentyFourHour = file.value(TWENTY_FOUR_HOUR, quiet.twentyFourHour).toBool();
    return quiet;
}

bool saveQuietTimes(const QString& path, const QuietTimes& quiet)
{
    QSettings file(path, QSettings::IniFormat);
    file.setValue(PERIODS, periodsText(quiet.periods));
    file.setValue(FOLLOW_DO_NOT_DISTURB, quiet.followDoNotDisturb);
    file.setValue(FULL_SCREEN_OR_LOCKED, quiet.quietWhenFullScreenOrLocked);
    file.setValue(TWENTY_FOUR_HOUR, quiet.twentyFourHour);
    file.sync();
    return file.status() == QSettings::NoError;
}

} // namespace hv::quiet
