#include "agentctl/speech/audio_mixer.h"

#include <algorithm>
#include <optional>

namespace agentctl::speech {

namespace {

// Little-endian reads that never run past the blob.
class ByteReader final
{
public:
    explicit ByteReader(QByteArrayView bytes) : m_bytes(bytes) {}

    [[nodiscard]] qsizetype remaining() const { return m_bytes.size() - m_pos; }
    [[nodiscard]] qsizetype pos() const { return m_pos; }

    std::optional<quint32> u32()
    {
        if (remaining() < 4)
            return std::nullopt;
        const auto* p = reinterpret_cast<const uchar*>(m_bytes.data() + m_pos);
        m_pos += 4;
        return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
    }
    std::optional<quint16> u16()
    {
        if (remaining() < 2)
            return std::nullopt;
        const auto* p = reinterpret_cast<const uchar*>(m_bytes.data() + m_pos);
        m_pos += 2;
        return quint16(p[0] | p[1] << 8);
    }
    std::optional<QByteArrayView> bytes(qsizetype n)
    {
        if (n < 0 || n > remaining())
            return std::nullopt;
        const QByteArrayView v = m_bytes.sliced(m_pos, n);
        m_pos += n;
        return v;
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

constexpr quint16 FORMAT_PCM = 1;
constexpr quint16 FORMAT_EXTENSIBLE = 0xFFFE;
// Rates outside this are not audio a character would carry; the bound also caps the growth
// of resampling to the mixer rate.
constexpr quint32 MIN_RATE = 4000;
constexpr quint32 MAX_RATE = 192'000;

struct Format
{
    quint16 channels = 0;
    quint32 rate = 0;
    quint16 blockAlign = 0;
    quint16 bits = 0;
};

DecodedWav failure(const char* why)
{
    DecodedWav result;
    result.error = QString::fromLatin1(why);
    return result;
}

std::optional<Format> readFormat(QByteArrayView body, QString& error)
{
    ByteReader r(body);
    const auto tag = r.u16();
    const auto channels = r.u16();
    const auto rate = r.u32();
    const auto byteRate = r.u32();
    const auto blockAlign = r.u16();
    const auto bits = r.u16();
    if (!bits) {
        error = QStringLiteral("The WAV format chunk is too short.");
        return std::nullopt;
    }
    quint16 codec = *tag;
    if (codec == FORMAT_EXTENSIBLE) {
        // cbSize, valid bits, channel mask, then the sub-format GUID whose first word is the tag.
        const auto extra = r.u16();
        const auto validBits = r.u16();
        const auto mask = r.u32();
        const auto subFormat = r.u16();
        if (!extra || !validBits || !mask || !subFormat) {
            error = QStringLiteral("The WAV extensible format chunk is too short.");
            return std::nullopt;
        }
        codec = *subFormat;
    }
    Q_UNUSED(byteRate);
    if (codec != FORMAT_PCM) {
        error =
            QStringLiteral("The WAV data is compressed (codec %1); only PCM is played.").arg(codec);
        return std::nullopt;
    }
    if (*bits != 8 && *bits != 16) {
        error = QStringLiteral("The WAV data has %1 bits per sample; only 8 and 16 are played.")
                    .arg(*bits);
        return std::nullopt;
    }
    if (*channels == 0 || *rate < MIN_RATE || *rate > MAX_RATE ||
        *blockAlign != *channels * (*bits / 8)) {
        error = QStringLiteral("The WAV format chunk is inconsistent.");
        return std::nullopt;
    }
    return Format{*channels, *rate, *blockAlign, *bits};
}

// Mixes every frame down to one 16-bit sample.
QList<qint32> toMono(QByteArrayView data, const Format& f)
{
    const qsizetype frames = data.size() / f.blockAlign;
    QList<qint32> mono(frames);
    const auto* p = reinterpret_cast<const uchar*>(data.data());
    for (qsizetype i = 0; i < frames; ++i) {
        qint32 sum = 0;
        for (int c = 0; c < f.channels; ++c) {
            const uchar* s = p + i * f.blockAlign + c * (f.bits / 8);
            sum += f.bits == 8 ? (qint32(s[0]) - 128) * 256 : qint32(qint16(s[0] | s[1] << 8));
        }
        mono[i] = sum / f.channels;
    }
    return mono;
}

// Linear interpolation to the mixer rate; good enough for short character sound effects.
Pcm resample(const QList<qint32>& in, quint32 rate)
{
    if (in.isEmpty())
        return {};
    const qsizetype outFrames = qsizetype(qint64(in.size()) * MIXER_SAMPLE_RATE / rate);
    Pcm out(outFrames);
    for (qsizetype i = 0; i < outFrames; ++i) {
        const qint64 num = qint64(i) * rate; // position in input frames, times MIXER_SAMPLE_RATE
        const qsizetype j = qsizetype(num / MIXER_SAMPLE_RATE);
        const qint64 frac = num % MIXER_SAMPLE_RATE;
        const qint32 a = in[j];
        const qint32 b = j + 1 < in.size() ? in[j + 1] : a;
        out[i] = qint16(std::clamp<qint64>(a + (b - a) * frac / MIXER_SAMPLE_RATE, -32768, 32767));
    }
    return out;
}

} // namespace

DecodedWav decodeWav(QByteArrayView wav)
{
    ByteReader r(wav);
    const auto riff = r.bytes(4);
    const auto riffSize = r.u32();
    const auto wave = r.bytes(4);
    if (!wave || *riff != QByteArrayView("RIFF") || *wave != QByteArrayView("WAVE"))
        return failure("This is not a RIFF/WAVE file.");
    Q_UNUSED(riffSize); // not trusted: some files disagree with their own directory size

    std::optional<Format> format;
    std::optional<QByteArrayView> data;
    while (r.remaining() >= 8 && !data) {
        const auto id = r.bytes(4);
        const auto size = r.u32();
        // A data chunk cut short by the end of the blob still plays what is there.
        const qsizetype available = std::min<qint64>(*size, r.remaining());
        const QByteArrayView body = *r.bytes(available);
        if (*id == QByteArrayView("fmt ")) {
            QString error;
            format = readFormat(body, error);
            if (!format) {
                DecodedWav result;
                result.error = error;
                return result;
            }
        } else if (*id == QByteArrayView("data")) {
            data = body;
        }
        if ((*size & 1) != 0 && r.remaining() > 0)
            r.bytes(1); // chunks are padded to even sizes
    }
    if (!format)
        return failure("The WAV file has no format chunk before its data.");
    if (!data)
        return failure("The WAV file has no data chunk.");
    DecodedWav result;
    result.pcm = resample(toMono(*data, *format), format->rate);
    return result;
}

} // namespace agentctl::speech
