#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

// The files the program's tests put in place and read back.
namespace hv::testing {

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Makes the file's folder as well.
inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

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
