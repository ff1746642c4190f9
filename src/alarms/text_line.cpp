#include "alarms/text_line.h"

#include <QStringDecoder>

namespace hv::alarms {

QList<TextItem> readTextItems(QStringView line)
{
    QList<TextItem> items;
    qsizetype pos = 0;
    const qsizetype end = line.size();
    while (pos <= end) {
        while (pos < end && line[pos] == u' ')
            ++pos;
        TextItem item;
        qsizetype next = 0;
        if (pos < end && line[pos] == u'"') {
            const qsizetype close = line.indexOf(u'"', pos + 1);
            const qsizetype stop = close < 0 ? end : close;
            item.text = line.mid(pos + 1, stop - pos - 1).toString();
            item.quoted = true;
            next = close < 0 ? end : line.indexOf(u',', close + 1);
            item.whole =
                close >= 0 &&
                line.mid(close + 1, (next < 0 ? end : next) - close - 1).trimmed().isEmpty();
        } else {
            next = line.indexOf(u',', pos);
            item.text = line.mid(pos, (next < 0 ? end : next) - pos).trimmed().toString();
            item.whole = !item.text.contains(u'"');
        }
        items.append(item);
        if (next < 0 || next >= end)
            break;
        pos = next + 1;
        if (pos == end) {
            items.append(TextItem{});
            break;
        }
    }
    return items;
}

QString decodeFileText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

} // namespace hv::alarms
