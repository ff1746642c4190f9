#pragma once

#include <optional>

#include <QByteArrayView>
#include <QString>
#include <QUuid>

// Bounds-checked little-endian reads over a window of a file. Positions are offsets in the whole
// file, so errors can name where they happened. A read that does not fit fails without moving.
namespace engine::acs {

class ByteReader final
{
public:
    explicit ByteReader(QByteArrayView file);

    [[nodiscard]] qsizetype position() const { return m_pos; }
    [[nodiscard]] qsizetype remaining() const { return m_end - m_pos; }

    // A reader over [offset, offset + size) of the file; empty if that does not lie inside it.
    [[nodiscard]] std::optional<ByteReader> block(quint32 offset, quint32 size) const;

    [[nodiscard]] bool read(quint8& value);
    [[nodiscard]] bool read(quint16& value);
    [[nodiscard]] bool read(qint16& value);
    [[nodiscard]] bool read(quint32& value);
    [[nodiscard]] bool read(qint32& value);
    [[nodiscard]] bool read(QUuid& value);
    // A u32 count of UTF-16 units, then the units and a terminator the count leaves out; an empty
    // string has neither.
    [[nodiscard]] bool read(QString& value);

    // Several fields in order; on failure the position is somewhere among them.
    template <typename... T> [[nodiscard]] bool readAll(T&... values)
    {
        return (read(values) && ...);
    }

    [[nodiscard]] std::optional<QByteArrayView> take(qsizetype size);

private:
    ByteReader(QByteArrayView file, qsizetype begin, qsizetype end);

    QByteArrayView m_file;
    qsizetype m_pos;
    qsizetype m_end;
};

} // namespace engine::acs
