#pragma once

#include <QByteArray>
#include <QtEndian>

// Appending little-endian integers, for the WAVE and bitmap headers written here.
namespace hv::characters {

inline void appendLe16(QByteArray& out, quint16 v)
{
    char bytes[2];
    qToLittleEndian(v, bytes);
    out.append(bytes, 2);
}

inline void appendLe32(QByteArray& out, quint32 v)
{
    char bytes[4];
    qToLittleEndian(v, bytes);
    out.append(bytes, 4);
}

} // namespace hv::characters
