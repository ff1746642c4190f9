#include "quiet/quiet_rules.h"

#include <QRegularExpression>
#include <QStringList>

namespace hv::quiet {

namespace {

bool isWithin(const QuietPeriod& period, const QTime& now)
{
    if (period.from <= period.to)
        return period.from <= now && now < period.to;
    return now >= period.from || now < period.to;
}

} // namespace

QuietReason quietReason(const QuietTimes& quiet, const QTime& now, const DesktopState& desktop)
{
    // Seconds do not matter: a tick a second late still belongs to its minute.
    const QTime minute(now.hour(), now.minute());
    for (const QuietPeriod& period : quiet.periods) {
        if (isWithin(period, minute))
            return QuietReason::QuietHours;
    }
    if (quiet.followDoNotDisturb && desktop.doNotDisturb)
        return QuietReason::DoNotDisturb;
    if (quiet.quietWhenFullScreenOrLocked && desktop.screenLocked)
        return QuietReason::ScreenLocked;
    if (quiet.quietWhenFullScreenOrLocked && desktop.fullScreen)
        return QuietReason::FullScreen;
    return QuietReason::None;
}

bool alarmsWait(const QuietTimes& quiet, const DesktopState& desktop)
{
    return quiet.quietWhenFullScreenOrLocked && desktop.screenLocked;
}

std::optional<QList<QuietPeriod>> readPeriods(const QString& text)
{
    static const QRegularExpression separator(QStringLiteral("[,;]"));
    static const QRegularExpression period(
        QStringLiteral("^\\s*(\\d{1,2}:\\d\\d)\\s*[-\\x{2013}]\\s*(\\d{1,2}:\\d\\d)\\s*$"));
    QList<QuietPeriod> periods;
    if (text.trimmed().isEmpty())
        return periods;
    for (const QString& part : text.split(separator)) {
        const QRegularExpressionMatch match = period.match(part);
        if (!match.hasMatch())
            return std::nullopt;
        const QTime from = QTime::fromString(match.captured(1), QStringLiteral("H:mm"));
        const QTime to = QTime::fromString(match.captured(2), QStringLiteral("H:mm"));
        if (!from.isValid() || !to.isValid())
            return std::nullopt;
        periods.append({from, to});
    }
    return periods;
}

QString periodsText(const QList<QuietPeriod>& periods)
{
    QStringList parts;
    for (const QuietPeriod& period : periods) {
        parts.append(period.from.toString(QStringLiteral("HH:mm")) + QLatin1Char('-') +
                     period.to.toString(QStringLiteral("HH:mm")));
    }
    return parts.join(QStringLiteral(", "));
}

QString reasonText(QuietReason reason)
{
    switch (reason) {
    case QuietReason::None:
        break;
    case QuietReason::QuietHours:
        return QStringLiteral("quiet hours");
    case QuietReason::DoNotDisturb:
        return QStringLiteral("do not disturb");
    case QuietReason::FullScreen:
        return QStringLiteral("a full-screen window");
    case QuietReason::ScreenLocked:
        return QStringLiteral("the screen is locked");
    }
    return {};
}

} // namespace hv::quiet
