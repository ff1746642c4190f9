#include "core/settings.h"

#include <algorithm>
#include <optional>

#include "alarms/text_line.h"

namespace hv::core {

namespace {

std::optional<qint16> readOption(const QList<alarms::TextItem>& items, int index, int last)
{
    if (index >= items.size() || items[index].quoted)
        return std::nullopt;
    bool ok = false;
    const int value = items[index].text.toInt(&ok, 10);
    if (!ok || value < 0 || value > last)
        return std::nullopt;
    return qint16(value);
}

// A name or folder with control characters in it is noise, not something a user chose.
bool readsAsText(const QList<alarms::TextItem>& items, int index)
{
    if (index >= items.size() || items[index].text.isEmpty())
        return false;
    const QString& text = items[index].text;
    return std::none_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20; });
}

} // namespace

QByteArray formatSettingsLine(const SettingsRecord& s)
{
    const QString line = u'"' + s.sAgentName + QStringLiteral("\",") +
                         QString::number(s.iAlarmsOption) + u',' +
                         QString::number(s.iBalloonOption) + u',' + QString::number(s.iPosition) +
                         u',' + QString::number(s.iInterval) + u',' +
                         (s.bReserved ? QStringLiteral("#TRUE#") : QStringLiteral("#FALSE#")) +
                         QStringLiteral(",\"") + s.sAgentPath + QStringLiteral("\"\r\n");
    return line.toUtf8();
}

SettingsRecord parseSettingsLine(const QByteArray& bytes)
{
    const QString text = alarms::decodeFileText(bytes);
    QStringView line(text);
    const qsizetype lineEnd = line.indexOf(u'\n');
    if (lineEnd >= 0)
        line = line.left(lineEnd);
    if (line.endsWith(u'\r'))
        line.chop(1);
    const QList<alarms::TextItem> items = alarms::readTextItems(line);

    SettingsRecord s;
    if (readsAsText(items, 0))
        s.sAgentName = items[0].text;
    s.iAlarmsOption = readOption(items, 1, 1).value_or(s.iAlarmsOption);
    s.iBalloonOption = readOption(items, 2, 1).value_or(s.iBalloonOption);
    s.iPosition = readOption(items, 3, 4).value_or(s.iPosition);
    s.iInterval = readOption(items, 4, 6).value_or(s.iInterval);
    if (items.size() > 5)
        s.bReserved = items[5].text.compare(QLatin1String("#TRUE#"), Qt::CaseInsensitive) == 0;
    if (readsAsText(items, 6))
        s.sAgentPath = items[6].text;
    return s;
}

} // namespace hv::core
