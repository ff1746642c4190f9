#pragma once

#include <QByteArray>
#include <QString>

namespace hv::testing {

// n lines of an alarm file: "HH:00","Daily","Daily","olwen","Alarm i", the hour i modulo 24.
inline QByteArray alarmLines(int n)
{
    QByteArray lines;
    for (int i = 0; i < n; ++i)
        lines += QString("\"%1:00\",\"Daily\",\"Daily\",\"olwen\",\"Alarm %2\"\r\n")
                     .arg(i % 24, 2, 10, QChar('0'))
                     .arg(i)
                     .toUtf8();
    return lines;
}

} // namespace hv::testing
