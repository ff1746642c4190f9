#include "engine/acs/byte_reader.h"

#include <QtEndian>

namespace engine::acs {

namespace {

template <typename T> bool readLittleEndian(ByteReader& reader, T& value)
{
    const std::optional<QByteArrayView> bytes = reader.take(qsizetype(sizeof(T)));
    if (!bytes)
        return false;
    value = qFromLittleEndian<T>(bytes->data());
    return true;
}

} // namespace

ByteReader::ByteReader(QByteArrayView file) : ByteReader(file, 0, file.size()) {}

ByteReader::ByteReader(QByteArrayView file, qsizetype begin, qsizetype end)
    : m_file(file), m_pos(begin), m_end(end)
{}

std::optional<ByteReader> ByteReader::block(quint32 offset, quint32 size) const
{
    if (offset > m_file.size() || size > m_file.size() - qsizetype(offset))
        return std::nullopt;
    return ByteReader(m_file, offset, qsizetype(offset) + size);
}

std::optional<QByteArrayView> ByteReader::take(qsizetype size)
{
    if (size < 0 || size > remaining())
        return std::nullopt;
    const QByteArrayView bytes = m_file.sliced(m_pos, size);
    m_pos += size;
    return bytes;
}

bool ByteReader::read(quint8& value)
{
    return readLittleEndian(*this, value);
}

bool ByteReader::read(quint16& value)
{
    return readLittleEndian(*this, value);
}

bool ByteReader::read(qint16& value)
{
    return readLittleEndian(*this, value);
}

bool ByteReader::read(quint32& value)
{
    return readLittleEndian(*this, value);
}

bool ByteReader::read(qint32& value)
{
    return readLittleEndian(*this, value);
}

bool ByteReader::read(QUuid& value)
{
    // Stored as in Windows memory: Data1, Data2, Data3 little-endian, then Data4 as it is.
    const qsizetype start = m_pos;
    quint32 data1 = 0;
    quint16 data2 = 0;
    quint16 data3 = 0;
    std::optional<QByteArrayView> data4;
    if (!readAll(data1, data2, data3) || !(data4 = take(8))) {
        m_pos = start;
        return false;
    }
    const auto* b = reinterpret_cast<const uchar*>(data4->data());
    value = QUuid(data1, data2, data3, b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7]);
    return true;
}

bool ByteReader::read(QString& value)
{
    const qsizetype start = m_pos;
    quint32 units = 0;
    if (!read(units))
        return false;
    if (units == 0) {
        value.clear();
        return true;
    }
    // The terminator is skipped without being checked: nothing depends on it.
    if (units > remaining() / 2 - 1 || remaining() < 2) {
        m_pos = start;
        return false;
    }
    const QByteArrayView bytes = *take(qsizetype(units) * 2 + 2);
    value = QString(qsizetype(units), Qt::Uninitialized);
    qFromLittleEndian<quint16>(bytes.data(), units, value.data());
    return true;
}

} // namespace engine::acs
