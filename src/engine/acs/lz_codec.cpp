#include "engine/acs/lz_codec.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <QtEndian>

namespace engine::acs {

namespace {

// Distance tiers: the unary prefix after a match flag picks how many distance bits follow and
// what is added to them. The far tier's minimum match is one longer.
struct Tier
{
    int bits;
    quint32 base;
    int minLength;
};
constexpr Tier TIERS[4] = {{6, 1, 2}, {9, 65, 2}, {12, 577, 2}, {20, 4673, 3}};
constexpr quint32 END_MARKER = 0xFFFFF;
constexpr int MAX_LENGTH_BITS = 11;
// Shorter streams are refused by the original decoders: the lead byte plus a bare end marker
// and padding already take 7 bytes.
constexpr qsizetype MIN_STREAM_SIZE = 8;
// Some decoders also demand several 0xFF bytes after the marker; this one stops at the marker
// and needs none, so streams from other writers with less padding still load.

// Reads bits least-significant first from a 64-bit window. Past the end of the input it reads
// zeros but counts them, so a token that ran off the end is detected once it is complete.
class BitReader final
{
public:
    explicit BitReader(QByteArrayView bytes)
        : m_data(reinterpret_cast<const quint8*>(bytes.data())), m_size(bytes.size())
    {}

    // Makes at least 56 bits available (fewer only at the end of the input). One token needs at
    // most 1 + 3 + 20 + 12 + 11 = 47.
    void refill()
    {
        if (m_size - m_pos >= 8) {
            quint64 word;
            std::memcpy(&word, m_data + m_pos, 8);
            word = qFromLittleEndian(word);
            m_buffer |= word << m_count;
            const int taken = (63 - m_count) >> 3;
            m_pos += taken;
            m_count += taken * 8;
            return;
        }
        while (m_count <= 56 && m_pos < m_size) {
            m_buffer |= quint64(m_data[m_pos++]) << m_count;
            m_count += 8;
        }
    }

    quint32 take(int n)
    {
        const quint32 value = quint32(m_buffer & ((quint64(1) << n) - 1));
        m_buffer >>= n;
        m_count -= n;
        return value;
    }

    [[nodiscard]] bool overran() const { return m_count < 0; }
    // Byte offset of the next unread bit.
    [[nodiscard]] qsizetype offset() const { return m_pos - std::max(m_count, 0) / 8; }

private:
    const quint8* m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    quint64 m_buffer = 0;
    int m_count = 0;
};

class BitWriter final
{
public:
    explicit BitWriter(qsizetype reserve) { m_out.reserve(reserve); }

    void put(quint32 value, int n)
    {
        m_buffer |= quint64(value) << m_count;
        m_count += n;
        while (m_count >= 8) {
            m_out.push_back(char(m_buffer & 0xFF));
            m_buffer >>= 8;
            m_count -= 8;
        }
    }

    // Pads the last byte with 1-bits.
    QByteArray finish()
    {
        if (m_count > 0)
            put((1u << (8 - m_count)) - 1, 8 - m_count);
        return std::move(m_out);
    }

private:
    QByteArray m_out;
    quint64 m_buffer = 0;
    int m_count = 0;
};

void putLength(BitWriter& out, quint32 extra)
{
    int k = 0;
    while ((quint32(2) << k) - 1 <= extra)
        ++k;
    out.put((1u << k) - 1, k + 1); // k ones, then the terminating zero
    out.put(extra - ((1u << k) - 1), k);
}

void putMatch(BitWriter& out, quint32 distance, quint32 length)
{
    int tier = 0;
    while (tier < 3 && distance >= TIERS[tier + 1].base)
        ++tier;
    // Flag 1, then the prefix 0, 10, 110 or 111 (bits in writing order, so LSB first here).
    static constexpr quint32 PREFIX_BITS[4] = {0b01, 0b011, 0b0111, 0b1111};
    static constexpr int PREFIX_LENGTH[4] = {2, 3, 4, 4};
    out.put(PREFIX_BITS[tier], PREFIX_LENGTH[tier]);
    out.put(distance - TIERS[tier].base, TIERS[tier].bits);
    putLength(out, length - quint32(TIERS[tier].minLength));
}

} // namespace

Result<QByteArray> decompress(QByteArrayView stream, qsizetype expectedSize)
{
    if (stream.size() < MIN_STREAM_SIZE)
        return ParseError{QStringLiteral("compressed data too short"), 0};
    if (stream[0] != 0)
        return ParseError{QStringLiteral("compressed data has a bad lead byte"), 0};
    // The densest token copies 4096 bytes in 31 bits, about 1057 bytes per stream byte; refusing
    // more keeps a hostile size from buying an allocation the stream cannot fill.
    if (expectedSize < 0 || expectedSize / 1100 > stream.size())
        return ParseError{QStringLiteral("compressed data too short for its size"), 0};

    QByteArray out(expectedSize, Qt::Uninitialized);
    auto* dst = reinterpret_cast<quint8*>(out.data());
    qsizetype pos = 0;
    BitReader in(stream.sliced(1));
    const auto errorAt = [&](const char* what) {
        return ParseError{QString::fromLatin1(what), 1 + in.offset()};
    };
    // Decoding stops once the raster is full: whatever follows (the end marker, or spare bytes
    // some writers leave before it) is not needed to draw the image.
    while (pos < expectedSize) {
        in.refill();
        if (in.take(1) == 0) {
            const quint32 literal = in.take(8);
            if (in.overran())
                return errorAt("compressed data ends before its end marker");
            dst[pos++] = quint8(literal);
            continue;
        }
        int tier = 0;
        while (tier < 3 && in.take(1) == 1)
            ++tier;
        const quint32 field = in.take(TIERS[tier].bits);
        if (tier == 3 && field == END_MARKER) {
            if (in.overran())
                return errorAt("compressed data ends before its end marker");
            return errorAt("compressed data is shorter than expected");
        }
        int k = 0;
        while (in.take(1) == 1) {
            if (++k > MAX_LENGTH_BITS)
                return errorAt("compressed data has a bad length code");
        }
        const quint32 fullLength = quint32(TIERS[tier].minLength) + ((1u << k) - 1) + in.take(k);
        if (in.overran())
            return errorAt("compressed data ends before its end marker");
        const quint32 distance = field + TIERS[tier].base;
        if (distance > quint64(pos))
            return errorAt("compressed data refers before its start");
        // What a match copies past the raster's end is spare, like the bytes after it.
        const quint32 length = quint32(std::min<qsizetype>(fullLength, expectedSize - pos));
        const quint8* src = dst + pos - distance;
        if (distance >= length) {
            std::memcpy(dst + pos, src, length);
        } else if (distance == 1) {
            std::memset(dst + pos, *src, length);
        } else {
            // Overlapping copies repeat the last `distance` bytes; they must go one at a time.
            for (quint32 i = 0; i < length; ++i)
                dst[pos + i] = src[i];
        }
        pos += length;
    }
    return out;
}

QByteArray compress(QByteArrayView data)
{
    Q_ASSERT(!data.isEmpty());
    constexpr qsizetype WINDOW = 1052670;
    constexpr int MAX_NEAR_LENGTH = 4096;
    constexpr int MAX_FAR_LENGTH = 4097;
    constexpr int CANDIDATES = 64;

    const auto* in = reinterpret_cast<const quint8*>(data.data());
    const qsizetype n = data.size();
    // Chains of earlier positions by their two leading bytes, newest first. Small inputs (most
    // regions) get a smaller table, where different pairs may share a chain; the full-size table
    // is indexed by the pair itself.
    int bits = 8;
    while (bits < 16 && (qsizetype(1) << bits) < n)
        ++bits;
    const auto bucket = [&](qsizetype i) {
        const quint32 pair = quint32(in[i]) | (quint32(in[i + 1]) << 8);
        return size_t(bits == 16 ? pair : (pair * 0x9E3779B1u) >> (32 - bits));
    };
    std::vector<qint32> head(size_t(1) << bits, -1);
    std::vector<qint32> previous(size_t(n), -1);
    const auto insert = [&](qsizetype i) {
        if (i + 1 < n) {
            const size_t key = bucket(i);
            previous[size_t(i)] = head[key];
            head[key] = qint32(i);
        }
    };

    BitWriter out(n / 2 + 16);
    out.put(0, 8);
    qsizetype i = 0;
    while (i < n) {
        qsizetype bestLength = 0;
        qsizetype bestDistance = 0;
        if (i + 1 < n) {
            qint32 candidate = head[bucket(i)];
            for (int tries = 0; candidate >= 0 && tries < CANDIDATES;
                 ++tries, candidate = previous[size_t(candidate)]) {
                const qsizetype distance = i - candidate;
                if (distance > WINDOW)
                    break;
                if (in[candidate] != in[i] || in[candidate + 1] != in[i + 1])
                    continue;
                const bool far = distance >= qsizetype(TIERS[3].base);
                const qsizetype limit =
                    std::min<qsizetype>(n - i, far ? MAX_FAR_LENGTH : MAX_NEAR_LENGTH);
                qsizetype length = 2;
                while (length < limit && in[candidate + length] == in[i + length])
                    ++length;
                if (length > bestLength && length >= (far ? 3 : 2)) {
                    bestLength = length;
                    bestDistance = distance;
                    if (length == limit)
                        break;
                }
            }
        }
        if (bestLength == 0) {
            out.put(quint32(in[i]) << 1, 9);
            insert(i);
            ++i;
            continue;
        }
        putMatch(out, quint32(bestDistance), quint32(bestLength));
        for (qsizetype end = i + bestLength; i < end; ++i)
            insert(i);
    }
    // End marker: a far match whose distance field is all ones, 24 one-bits in all, then the
    // byte is padded with ones and three more 0xFF bytes follow for decoders that read ahead.
    out.put(0xFFFFFF, 24);
    QByteArray stream = out.finish();
    stream.append(3, char(0xFF));
    return stream;
}

} // namespace engine::acs
