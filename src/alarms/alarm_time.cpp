#include "alarms/alarm_time.h"

#include <cmath>

#include <QRegularExpression>

namespace hv::alarms {

namespace {

// A 16-bit whole number the way the general numeric conversion reads one. Only plain decimal
// notation is taken: no exponent, no thousands separator, a point as the decimal separator.
std::optional<qint16> readWholeNumber(const QString& text)
{
    static const QRegularExpression decimal(QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)\s*$)"));
    if (!decimal.match(text).hasMatch())
        return std::nullopt;
    // nearbyint rounds in the default mode, to the nearest with halves to the even neighbour.
    const double value = std::nearbyint(text.trimmed().toDouble());
    if (value < -32768.0 || value > 32767.0)
        return std::nullopt;
    return static_cast<qint16>(value);
}

} // namespace

std::optional<QTime> readAlarmTime(const QString& text)
{
    const qsizetype colon = text.indexOf(u':');
    if (colon < 0)
        return std::nullopt;
    const std::optional<qint16> hour = readWholeNumber(text.left(colon));
    const std::optional<qint16> minute = readWholeNumber(text.mid(colon + 1));
    if (!hour || !minute || *hour < 0 || *hour > 23 || *minute < 0 || *minute > 59)
        return std::nullopt;
    return QTime(*hour, *minute);
}

} // namespace hv::alarms
