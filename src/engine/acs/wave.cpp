#include "engine/acs/wave.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include <sndfile.h>

namespace engine::acs {

namespace {

// Rates outside this are not audio a character would carry; the bound also caps how much
// resampling to the output rate can grow a sound.
constexpr int MIN_RATE = 4000;
constexpr int MAX_RATE = 192'000;
// Decoded frames a blob may give per byte it holds: no codec packs more than 2 samples in a
// byte (4-bit ADPCM), so a header that claims more cannot make the reader allocate beyond this.
constexpr qint64 MAX_FRAMES_PER_BYTE = 8;
constexpr sf_count_t READ_BLOCK = 4096;

// The bytes libsndfile reads from or writes to, in memory.
struct MemoryFile
{
    QByteArrayView in;
    QByteArray* out = nullptr;
    sf_count_t pos = 0;

    [[nodiscard]] sf_count_t size() const { return out ? out->size() : in.size(); }
};

MemoryFile& fileOf(void* user)
{
    return *static_cast<MemoryFile*>(user);
}

SF_VIRTUAL_IO memoryIo()
{
    SF_VIRTUAL_IO io{};
    io.get_filelen = [](void* user) { return fileOf(user).size(); };
    io.seek = [](sf_count_t offset, int whence, void* user) -> sf_count_t {
        MemoryFile& f = fileOf(user);
        const sf_count_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? f.pos : f.size();
        sf_count_t to = 0;
        if (__builtin_add_overflow(base, offset, &to) || to < 0)
            return -1;
        f.pos = to;
        return to;
    };
    io.read = [](void* ptr, sf_count_t count, void* user) -> sf_count_t {
        MemoryFile& f = fileOf(user);
        const sf_count_t n =
            std::clamp<sf_count_t>(f.size() - f.pos, 0, std::max<sf_count_t>(count, 0));
        if (n > 0)
            std::memcpy(ptr, (f.out ? f.out->constData() : f.in.data()) + f.pos, size_t(n));
        f.pos += n;
        return n;
    };
    io.write = [](const void* ptr, sf_count_t count, void* user) -> sf_count_t {
        MemoryFile& f = fileOf(user);
        if (!f.out || count <= 0)
            return 0;
        if (f.pos + count > f.out->size())
            f.out->resize(qsizetype(f.pos + count), '\0');
        std::memcpy(f.out->data() + f.pos, ptr, size_t(count));
        f.pos += count;
        return count;
    };
    io.tell = [](void* user) { return fileOf(user).pos; };
    return io;
}

using SoundFile = std::unique_ptr<SNDFILE, decltype(&sf_close)>;

ParseError failure(const QString& why)
{
    return ParseError{why, 0};
}

// libsndfile's sample format for each WaveEncoding, in declaration order.
constexpr int SUBTYPES[] = {SF_FORMAT_PCM_U8,   SF_FORMAT_PCM_16, SF_FORMAT_IMA_ADPCM,
                            SF_FORMAT_MS_ADPCM, SF_FORMAT_ULAW,   SF_FORMAT_ALAW,
                            SF_FORMAT_GSM610};

} // namespace

Result<Sound> readWave(QByteArrayView wave)
{
    MemoryFile file{wave};
    SF_VIRTUAL_IO io = memoryIo();
    SF_INFO info{};
    SoundFile sound(sf_open_virtual(&io, SFM_READ, &info, &file), sf_close);
    if (!sound) {
        return failure(QStringLiteral("The sound cannot be read: %1")
                           .arg(QString::fromLocal8Bit(sf_strerror(nullptr))));
    }
    const int container = info.format & SF_FORMAT_TYPEMASK;
    if (container != SF_FORMAT_WAV && container != SF_FORMAT_WAVEX)
        return failure(QStringLiteral("The sound is not a RIFF/WAVE file."));
    if (info.channels <= 0 || info.samplerate < MIN_RATE || info.samplerate > MAX_RATE)
        return failure(QStringLiteral("The sound's format is not one a character carries."));

    const qint64 cap = qint64(wave.size()) * MAX_FRAMES_PER_BYTE;
    Sound result;
    result.sampleRate = info.samplerate;
    std::vector<short> block(size_t(READ_BLOCK) * size_t(info.channels));
    while (result.samples.size() < cap) {
        const sf_count_t frames = sf_readf_short(sound.get(), block.data(), READ_BLOCK);
        if (frames <= 0)
            break;
        // Every frame mixed down to one sample.
        for (sf_count_t i = 0; i < frames; ++i) {
            qint32 sum = 0;
            for (int c = 0; c < info.channels; ++c)
                sum += block[size_t(i * info.channels + c)];
            result.samples.append(qint16(sum / info.channels));
        }
    }
    return result;
}

QByteArray writeWave(const QList<qint16>& samples, int sampleRate, WaveEncoding encoding)
{
    QByteArray bytes;
    MemoryFile file{{}, &bytes};
    SF_VIRTUAL_IO io = memoryIo();
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SUBTYPES[int(encoding)];
    SoundFile sound(sf_open_virtual(&io, SFM_WRITE, &info, &file), sf_close);
    Q_ASSERT_X(sound, "writeWave", sf_strerror(nullptr));
    sf_writef_short(sound.get(), samples.constData(), samples.size());
    sound.reset();
    return bytes;
}

} // namespace engine::acs
