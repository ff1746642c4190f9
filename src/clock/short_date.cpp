#include "clock/short_date.h"

#include <algorithm>
#include <array>

#include <QRegularExpression>

namespace hv::clock {

QString shortDateFormat(const QLocale& locale)
{
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

QString shortDateText(const QDate& date, const QLocale& locale)
{
    return locale.toString(date, shortDateFormat(locale));
}

QDate readShortDate(const QString& text, const QLocale& locale)
{
    static const QRegularExpression shape(QStringLiteral(R"(^\s*(\d+)\D+(\d+)\D+(\d+)\s*$)"));
    const QRegularExpressionMatch match = shape.match(text);
    if (!match.hasMatch())
        return {};

    // The order of the three numbers is the order of d, M and y in the locale's format.
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    std::array<std::pair<qsizetype, QChar>, 3> order{
        {{format.indexOf(u'd'), u'd'}, {format.indexOf(u'M'), u'M'}, {format.indexOf(u'y'), u'y'}}};
    std::sort(order.begin(), order.end());
    int day = 0;
    int month = 0;
    int year = 0;
    for (int i = 0; i < 3; ++i) {
        const QString digits = match.captured(i + 1);
        if (digits.size() > 4)
            return {};
        const int value = digits.toInt();
        switch (order[i].second.unicode()) {
        case u'd':
            day = value;
            break;
        case u'M':
            month = value;
            break;
        default:
            year = digits.size() <= 2 ? (value < 30 ? 2000 + value : 1900 + value) : value;
        }
    }
    return QDate(year, month, day);
}

} // namespace hv::clock
