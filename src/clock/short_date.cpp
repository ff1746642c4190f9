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
    // What this program wrote, in the locale's own digits, words and punctuation.
    const QDate written = locale.toDate(text.trimmed(), shortDateFormat(locale));
    if (written.isValid())
        return written;
    // Qt reads no digits outside the first plane (Adlam, Chakma): every digit is taken as the
    // same digit 0 to 9.
    QString digits;
    for (const char32_t c : QStringView(text).toUcs4()) {
        const int value = QChar::digitValue(c);
        if (value >= 0)
            digits += QChar(u'0' + value);
        else
            digits += QString::fromUcs4(&c, 1);
    }
    static const QRegularExpression shape(QStringLiteral(R"(^\s*(\d+)\D+(\d+)\D+(\d+)\s*$)"));
    const QRegularExpressionMatch match = shape.match(digits);
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

QString localeTag(const QLocale& locale)
{
    if (locale.language() == QLocale::C)
        return QStringLiteral("C");
    // Language, script and territory: the name alone loses the script (Latin or Cyrillic
    // Serbian write their months differently).
    return QLocale::languageToCode(locale.language()) + u'-' +
           QLocale::scriptToCode(locale.script()) + u'-' +
           QLocale::territoryToCode(locale.territory());
}

} // namespace hv::clock
