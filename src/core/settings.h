#pragma once

#include <QByteArray>
#include <QString>

// Settings.ini: a single line of seven comma-separated items, CR LF, no sections or keys.
namespace hv::core {

// The settings record in file order. Its initial values are the first run's settings, the
// only place they are written down.
struct SettingsRecord
{
    QString sAgentName = QStringLiteral("Olwen");
    qint16 iAlarmsOption = 1;  // 0 on, 1 off
    qint16 iBalloonOption = 1; // 0 yes, 1 no
    qint16 iPosition = 2;      // 0..4: corners, then centre
    qint16 iInterval = 1;      // 0..6: hour ... never
    bool bReserved = false;
    QString sAgentPath; // ends with a separator; empty while unknown

    friend bool operator==(const SettingsRecord& a, const SettingsRecord& b)
    {
        return a.sAgentName == b.sAgentName && a.iAlarmsOption == b.iAlarmsOption &&
               a.iBalloonOption == b.iBalloonOption && a.iPosition == b.iPosition &&
               a.iInterval == b.iInterval && a.bReserved == b.bReserved &&
               a.sAgentPath == b.sAgentPath;
    }
};

[[nodiscard]] QByteArray formatSettingsLine(const SettingsRecord& settings);

// Reads the first line item by item. Each item that reads well and lies in its range is taken;
// a missing, malformed or out-of-range item keeps its default, so any file gives a usable
// record and the next save writes a correct line.
[[nodiscard]] SettingsRecord parseSettingsLine(const QByteArray& bytes);

} // namespace hv::core
