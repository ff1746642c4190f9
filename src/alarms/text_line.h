#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The program's two text files share one line format: items separated by commas, strings in
// double quotes with no escapes, lines ended by CR LF.
namespace hv::alarms {

struct TextItem
{
    QString text;
    bool quoted = false;
    // False when the line held a quote the format cannot carry: a quoted item without its
    // closing quote or with text after it (which is dropped), an unquoted item with a quote.
    bool whole = true;
};

// Splits one line into items. A quoted item runs from its opening quote to the next quote
// (commas included); anything between that quote and the next comma is dropped. An unquoted
// item runs to the next comma, with surrounding blanks trimmed.
[[nodiscard]] QList<TextItem> readTextItems(QStringView line);

// Files written by the Windows program are in its 8-bit code page; ours are UTF-8. Text that
// is valid UTF-8 is read as such, anything else as Latin-1, so neither loses its characters.
[[nodiscard]] QString decodeFileText(const QByteArray& bytes);

} // namespace hv::alarms
