#include "engine/acs/acs_model.h"

#include <algorithm>

#include <QtEndian>

#include "engine/acs/lz_codec.h"
#include "engine/acs/region.h"

namespace engine::acs {

namespace {

constexpr quint32 SIGNATURE = 0xABCDABC3;
constexpr int HEADER_SIZE = 36;
constexpr quint32 PAIRED_FLAGS =
    FLAG_VOICE_DISABLED | FLAG_VOICE_ENABLED | FLAG_BALLOON_DISABLED | FLAG_BALLOON_ENABLED;

struct Locator
{
    quint32 offset = 0;
    quint32 size = 0;
};

class ByteWriter final
{
public:
    [[nodiscard]] quint32 position() const { return quint32(m_out.size()); }

    template <typename T> void put(T value)
    {
        char bytes[sizeof(T)];
        qToLittleEndian(value, bytes);
        m_out.append(bytes, sizeof(T));
    }

    template <typename T> void putAt(quint32 offset, T value)
    {
        qToLittleEndian(value, m_out.data() + offset);
    }

    void put(const QString& text)
    {
        put(quint32(text.size()));
        if (text.isEmpty())
            return; // an empty string has no terminator
        for (const QChar c : text)
            put(quint16(c.unicode()));
        put(quint16(0));
    }

    void put(const QUuid& id)
    {
        put(quint32(id.data1));
        put(quint16(id.data2));
        put(quint16(id.data3));
        m_out.append(reinterpret_cast<const char*>(id.data4), 8);
    }

    void putBytes(QByteArrayView bytes) { m_out.append(bytes); }

    // The bytes written since `start`, as a locator.
    [[nodiscard]] Locator since(quint32 start) const { return {start, position() - start}; }

    QByteArray take() { return std::move(m_out); }

private:
    QByteArray m_out;
};

void putFrame(ByteWriter& out, const Frame& frame)
{
    Q_ASSERT(frame.images.size() <= 0xFFFF);
    Q_ASSERT(frame.branches.size() <= 0xFF && frame.overlays.size() <= 0xFF);
    out.put(quint16(frame.images.size()));
    for (const FrameImage& image : frame.images) {
        out.put(image.imageIndex);
        out.put(image.x);
        out.put(image.y);
    }
    out.put(frame.soundIndex);
    out.put(frame.duration);
    out.put(frame.exitFrame);
    out.put(quint8(frame.branches.size()));
    for (const Branch& branch : frame.branches) {
        out.put(branch.frameIndex);
        out.put(branch.probability);
    }
    out.put(quint8(frame.overlays.size()));
    for (const MouthOverlay& overlay : frame.overlays) {
        out.put(quint8(overlay.shape));
        out.put(quint8(overlay.replaceTopImage ? 1 : 0));
        out.put(overlay.imageIndex);
        out.put(overlay.unknown);
        out.put(quint8(overlay.region ? 1 : 0));
        out.put(overlay.x);
        out.put(overlay.y);
        out.put(overlay.centreX);
        out.put(overlay.centreY);
        if (overlay.region) {
            out.put(quint32(overlay.region->size()));
            out.putBytes(*overlay.region);
        }
    }
}

void putAnimation(ByteWriter& out, const Animation& animation)
{
    out.put(animation.name.toUpper());
    out.put(quint8(animation.transition));
    out.put(animation.returnAnimation.toUpper());
    Q_ASSERT(animation.frames.size() <= 0xFFFF);
    out.put(quint16(animation.frames.size()));
    for (const Frame& frame : animation.frames)
        putFrame(out, frame);
}

// Region sizes: a compressed size of 0 says the data that follows is stored as it is.
void putRegion(ByteWriter& out, const QByteArray& region)
{
    const QByteArray packed = compress(region);
    const bool usePacked = packed.size() < region.size();
    out.put(quint32(usePacked ? packed.size() : 0));
    out.put(quint32(region.size()));
    out.putBytes(usePacked ? packed : region);
}

void putImage(ByteWriter& out, const Image& image, quint8 transparentIndex)
{
    if (image.isEmpty()) {
        out.put(quint8(0));
        return;
    }
    out.put(quint8(1));
    out.put(image.width);
    out.put(image.height);
    QByteArray pixels;
    if (image.packed) {
        Result<QByteArray> raster = decompress(image.pixels, image.rasterSize());
        if (!raster) {
            // A stream that does not expand cannot be re-shaped; it is kept as it came.
            out.put(quint8(1));
            out.put(quint32(image.pixels.size()));
            out.putBytes(image.pixels);
            out.put(quint32(image.regionPacked ? image.region.size() : 0));
            out.put(image.regionPacked ? image.regionSize : quint32(image.region.size()));
            out.putBytes(image.region);
            return;
        }
        pixels = std::move(raster).value();
    } else {
        Q_ASSERT(image.pixels.size() >= image.rasterSize());
        pixels = image.pixels.first(std::min(image.pixels.size(), image.rasterSize()));
        pixels.append(image.rasterSize() - pixels.size(), char(transparentIndex));
    }
    // A stream read from a file is kept: it is already compressed and rewrites stay identical.
    const QByteArray packed = image.packed ? image.pixels : compress(pixels);
    const bool usePacked = image.packed || packed.size() < pixels.size();
    out.put(quint8(usePacked ? 1 : 0));
    out.put(quint32(usePacked ? packed.size() : pixels.size()));
    out.putBytes(usePacked ? packed : pixels);
    putRegion(out,
              encodeRegionData(opaqueRects(pixels, image.width, image.height, transparentIndex)));
}

void putDirectory(ByteWriter& out, const QVector<Locator>& entries)
{
    out.put(quint32(entries.size()));
    for (const Locator& entry : entries) {
        out.put(entry.offset);
        out.put(entry.size);
        out.put(quint32(0)); // checksum: its algorithm is unknown and readers ignore it
    }
}

void putVoice(ByteWriter& out, const VoiceInfo& voice)
{
    out.put(voice.engineId);
    out.put(voice.modeId);
    out.put(voice.speed);
    out.put(voice.pitch);
    out.put(quint8(voice.hasExtraData ? 1 : 0));
    if (!voice.hasExtraData)
        return;
    out.put(voice.languageId);
    out.put(voice.dialect);
    out.put(voice.gender);
    out.put(voice.age);
    out.put(voice.style);
}

void putBalloon(ByteWriter& out, const BalloonInfo& balloon)
{
    out.put(balloon.lines);
    out.put(balloon.charsPerLine);
    out.put(balloon.textColor);
    out.put(balloon.fillColor);
    out.put(balloon.borderColor);
    out.put(balloon.fontName);
    out.put(balloon.fontHeight);
    out.put(balloon.fontWeight);
    out.put(balloon.italic);
    out.put(balloon.unknown);
}

// The character info block; it comes last and its localized table ends the file.
void putInfo(ByteWriter& out, const CharacterInfo& info)
{
    out.put(info.minorVersion);
    out.put(info.majorVersion);
    const quint32 localizedLocator = out.position();
    out.put(quint32(0));
    out.put(quint32(0));
    out.put(info.guid);
    out.put(info.width);
    out.put(info.height);
    out.put(info.transparentIndex);
    // Exactly one bit of each enabled/disabled pair, following whether the block is there.
    out.put((info.flags & ~PAIRED_FLAGS) | (info.voice ? FLAG_VOICE_ENABLED : FLAG_VOICE_DISABLED) |
            (info.balloon ? FLAG_BALLOON_ENABLED : FLAG_BALLOON_DISABLED));
    out.put(info.animationSetMajor);
    out.put(info.animationSetMinor);
    if (info.voice)
        putVoice(out, *info.voice);
    if (info.balloon)
        putBalloon(out, *info.balloon);

    out.put(quint32(info.palette.size()));
    for (const QRgb colour : info.palette) {
        out.put(quint8(qBlue(colour)));
        out.put(quint8(qGreen(colour)));
        out.put(quint8(qRed(colour)));
        out.put(quint8(0));
    }
    out.put(quint8(info.trayIcon ? 1 : 0));
    if (info.trayIcon) {
        for (const QByteArray* part : {&info.trayIcon->mask, &info.trayIcon->color}) {
            out.put(quint32(part->size()));
            out.putBytes(*part);
        }
    }
    Q_ASSERT(info.states.size() <= 0xFFFF && info.localized.size() <= 0xFFFF);
    out.put(quint16(info.states.size()));
    for (const State& state : info.states) {
        out.put(state.name);
        out.put(quint16(state.animations.size()));
        for (const QString& animation : state.animations)
            out.put(animation);
    }

    const quint32 localizedStart = out.position();
    out.put(quint16(info.localized.size()));
    for (const LocalizedInfo& entry : info.localized) {
        out.put(entry.languageId);
        out.put(entry.name);
        out.put(entry.description);
        out.put(entry.extraData);
    }
    const Locator localized = out.since(localizedStart);
    out.putAt(localizedLocator, localized.offset);
    out.putAt(localizedLocator + 4, localized.size);
}

} // namespace

QByteArray writeCharacterFile(const CharacterFile& character)
{
    ByteWriter out;
    for (int i = 0; i < HEADER_SIZE; ++i)
        out.put(quint8(0));

    QVector<Locator> animations;
    for (const Animation& animation : character.animations) {
        const quint32 start = out.position();
        putAnimation(out, animation);
        animations.append(out.since(start));
    }
    QVector<Locator> images;
    for (const Image& image : character.images) {
        const quint32 start = out.position();
        putImage(out, image, character.info.transparentIndex);
        images.append(out.since(start));
    }
    QVector<Locator> sounds;
    for (const QByteArray& sound : character.sounds) {
        const quint32 start = out.position();
        out.putBytes(sound);
        sounds.append(out.since(start));
    }

    quint32 start = out.position();
    out.put(quint32(animations.size()));
    for (qsizetype i = 0; i < animations.size(); ++i) {
        out.put(character.animations[i].name);
        out.put(animations[i].offset);
        out.put(animations[i].size);
    }
    const Locator animationDirectory = out.since(start);
    start = out.position();
    putDirectory(out, images);
    const Locator imageDirectory = out.since(start);
    start = out.position();
    putDirectory(out, sounds);
    const Locator soundDirectory = out.since(start);
    start = out.position();
    putInfo(out, character.info);
    const Locator info = out.since(start);

    quint32 field = 0;
    out.putAt(field, SIGNATURE);
    for (const Locator& block : {info, animationDirectory, imageDirectory, soundDirectory}) {
        out.putAt(field += 4, block.offset);
        out.putAt(field += 4, block.size);
    }
    return out.take();
}

} // namespace engine::acs
