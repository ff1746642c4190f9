#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

// Dates kept as text (the caption, the alarm file, the editor) use the locale's short date form
// with a four-digit year: 12/25/2026 in the US, 25.12.2026 in Germany.
namespace hv::clock {

[[nodiscard]] QString shortDateFormat(const QLocale& locale);

[[nodiscard]] QString shortDateText(const QDate& date, const QLocale& locale);

// Reads back what shortDateText writes, and also dates the way people and older files write
// them: the locale's order of day, month and year, any non-digit separators, a two-digit year
// meaning 1930 to 2029. Returns an invalid date for anything else.
[[nodiscard]] QDate readShortDate(const QString& text, const QLocale& locale);

// A text that names the locale exactly, for QLocale's constructor to make it again.
[[nodiscard]] QString localeTag(const QLocale& locale);

} // namespace hv::clock
