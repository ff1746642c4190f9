#include "engine/acs/acs_model.h"

#include <QtEndian>

#include "engine/acs/byte_reader.h"

namespace engine::acs {

namespace {

constexpr quint32 SIGNATURE = 0xABCDABC3;
constexpr qsizetype DIRECTORY_ENTRY_SIZE = 12;
// The smallest a frame can be on disk: image count, sound, duration, exit, branch and overlay
// counts.
constexpr qsizetype MIN_FRAME_SIZE = 10;
constexpr qsizetype FRAME_IMAGE_SIZE = 8;
constexpr qsizetype BRANCH_SIZE = 4;
constexpr qsizetype OVERLAY_SIZE = 14;
constexpr qsizetype MIN_STRING_SIZE = 4;

struct Locator
{
    quint32 offset = 0;
    quint32 size = 0;
};

ParseError errorAt(const ByteReader& reader, const QString& what)
{
    return ParseError{what, reader.position()};
}

ParseError truncated(const ByteReader& reader, const QString& what)
{
    return errorAt(reader, what + QStringLiteral(" is truncated"));
}

// The versions the original loader knew. Any 2.x is taken too: a later minor version is more
// likely to read fine than not.
bool isKnownVersion(quint16 major, quint16 minor)
{
    const quint32 combined = (quint32(major) << 16) | minor;
    return major == 2 || combined == 0x1001C || combined == 0x1001E || combined == 0x1001F;
}

// Refuses a count whose items could not fit in what is left, before anything is allocated.
bool countFits(const ByteReader& reader, quint32 count, qsizetype minItemSize)
{
    return count <= reader.remaining() / minItemSize;
}

class Parser final
{
public:
    explicit Parser(QByteArrayView file) : m_file(file), m_header(file) {}

    Result<CharacterFile> run();

private:
    std::optional<ParseError> readInfo(Locator where);
    std::optional<ParseError> readVoice(ByteReader& in);
    std::optional<ParseError> readBalloon(ByteReader& in);
    std::optional<ParseError> readTrayIcon(ByteReader& in);
    std::optional<ParseError> readStates(ByteReader& in);
    std::optional<ParseError> readLocalized(Locator where);
    std::optional<ParseError> readBlobDirectory(Locator where, const QString& kind,
                                                QVector<Locator>& blobs);
    std::optional<QString> readImage(Locator where, Image& image) const;
    std::optional<ParseError> readAnimationDirectory(Locator where);
    std::optional<ParseError> readAnimation(const QString& name, Locator where);
    std::optional<ParseError> readFrame(ByteReader& in, int frameCount, Frame& frame);

    std::optional<ByteReader> blockOf(Locator where) const
    {
        return m_header.block(where.offset, where.size);
    }

    QByteArrayView m_file;
    ByteReader m_header;
    CharacterFile m_character;
};

Result<CharacterFile> Parser::run()
{
    quint32 signature = 0;
    Locator info, animations, images, sounds;
    if (!m_header.readAll(signature, info.offset, info.size, animations.offset, animations.size,
                          images.offset, images.size, sounds.offset, sounds.size)) {
        return truncated(m_header, QStringLiteral("header"));
    }
    if (signature != SIGNATURE)
        return ParseError{QStringLiteral("not a character file (bad signature)"), 0};

    // Images and sounds come first: frames are checked against their counts.
    if (auto error = readInfo(info))
        return *error;
    QVector<Locator> imageRecords;
    if (auto error = readBlobDirectory(images, QStringLiteral("image"), imageRecords))
        return *error;
    m_character.images.resize(imageRecords.size());
    // A damaged image costs only itself: it stays empty, with the reason kept for inspection.
    for (qsizetype i = 0; i < imageRecords.size(); ++i) {
        Image& image = m_character.images[i];
        if (std::optional<QString> damage = readImage(imageRecords[i], image)) {
            image = Image{};
            image.damage = *damage;
        }
    }
    QVector<Locator> soundBlobs;
    if (auto error = readBlobDirectory(sounds, QStringLiteral("sound"), soundBlobs))
        return *error;
    m_character.sounds.reserve(soundBlobs.size());
    for (const Locator& blob : soundBlobs)
        m_character.sounds.append(m_file.sliced(blob.offset, blob.size).toByteArray());
    if (auto error = readAnimationDirectory(animations))
        return *error;
    return std::move(m_character);
}

std::optional<ParseError> Parser::readInfo(Locator where)
{
    std::optional<ByteReader> block = blockOf(where);
    if (!block)
        return errorAt(m_header, QStringLiteral("character info lies outside the file"));
    ByteReader& in = *block;
    CharacterInfo& info = m_character.info;
    Locator localized;
    if (!in.readAll(info.minorVersion, info.majorVersion, localized.offset, localized.size,
                    info.guid, info.width, info.height, info.transparentIndex, info.flags,
                    info.animationSetMajor, info.animationSetMinor)) {
        return truncated(in, QStringLiteral("character info"));
    }
    if (!isKnownVersion(info.majorVersion, info.minorVersion)) {
        return ParseError{QStringLiteral("unsupported version %1.%2")
                              .arg(info.majorVersion)
                              .arg(info.minorVersion),
                          where.offset};
    }
    if (info.flags & FLAG_VOICE_ENABLED) {
        if (auto error = readVoice(in))
            return error;
    }
    if (info.flags & FLAG_BALLOON_ENABLED) {
        if (auto error = readBalloon(in))
            return error;
    }
    quint32 paletteSize = 0;
    if (!in.read(paletteSize))
        return truncated(in, QStringLiteral("palette"));
    if (!countFits(in, paletteSize, 4))
        return errorAt(in, QStringLiteral("palette size %1 exceeds the file").arg(paletteSize));
    const QByteArrayView palette = *in.take(qsizetype(paletteSize) * 4);
    info.palette.resize(paletteSize);
    for (quint32 i = 0; i < paletteSize; ++i) {
        // Blue, green, red, unused.
        const auto* entry = reinterpret_cast<const quint8*>(palette.data()) + 4 * i;
        info.palette[i] = qRgb(entry[2], entry[1], entry[0]);
    }
    if (auto error = readTrayIcon(in))
        return error;
    if (auto error = readStates(in))
        return error;
    return readLocalized(localized);
}

std::optional<ParseError> Parser::readVoice(ByteReader& in)
{
    VoiceInfo voice;
    quint8 extra = 0;
    if (!in.readAll(voice.engineId, voice.modeId, voice.speed, voice.pitch, extra))
        return truncated(in, QStringLiteral("voice block"));
    // Everything after the flag is its extra data: language, dialect, gender, age and style.
    voice.hasExtraData = extra != 0;
    if (voice.hasExtraData &&
        !in.readAll(voice.languageId, voice.dialect, voice.gender, voice.age, voice.style)) {
        return truncated(in, QStringLiteral("voice block"));
    }
    m_character.info.voice = voice;
    return std::nullopt;
}

std::optional<ParseError> Parser::readBalloon(ByteReader& in)
{
    BalloonInfo balloon;
    if (!in.readAll(balloon.lines, balloon.charsPerLine, balloon.textColor, balloon.fillColor,
                    balloon.borderColor, balloon.fontName, balloon.fontHeight, balloon.fontWeight,
                    balloon.italic, balloon.unknown)) {
        return truncated(in, QStringLiteral("balloon block"));
    }
    m_character.info.balloon = balloon;
    return std::nullopt;
}

std::optional<ParseError> Parser::readTrayIcon(ByteReader& in)
{
    quint8 present = 0;
    if (!in.read(present))
        return truncated(in, QStringLiteral("tray icon"));
    if (present == 0)
        return std::nullopt;
    TrayIcon icon;
    for (QByteArray* part : {&icon.mask, &icon.color}) {
        quint32 size = 0;
        if (!in.read(size))
            return truncated(in, QStringLiteral("tray icon"));
        const std::optional<QByteArrayView> bytes = in.take(size);
        if (!bytes)
            return truncated(in, QStringLiteral("tray icon"));
        *part = bytes->toByteArray();
    }
    m_character.info.trayIcon = icon;
    return std::nullopt;
}

std::optional<ParseError> Parser::readStates(ByteReader& in)
{
    quint16 count = 0;
    if (!in.read(count))
        return truncated(in, QStringLiteral("state table"));
    if (!countFits(in, count, MIN_STRING_SIZE + 2))
        return errorAt(in, QStringLiteral("state count %1 exceeds the file").arg(count));
    m_character.info.states.resize(count);
    for (State& state : m_character.info.states) {
        quint16 animations = 0;
        if (!in.readAll(state.name, animations))
            return truncated(in, QStringLiteral("state table"));
        if (!countFits(in, animations, MIN_STRING_SIZE))
            return errorAt(in, QStringLiteral("state %1 lists more animations than the file holds")
                                   .arg(state.name));
        state.animations.resize(animations);
        for (QString& name : state.animations) {
            if (!in.read(name))
                return truncated(in, QStringLiteral("state table"));
        }
    }
    return std::nullopt;
}

std::optional<ParseError> Parser::readLocalized(Locator where)
{
    std::optional<ByteReader> block = blockOf(where);
    if (!block)
        return errorAt(m_header, QStringLiteral("localized info lies outside the file"));
    ByteReader& in = *block;
    quint16 count = 0;
    if (!in.read(count))
        return truncated(in, QStringLiteral("localized info"));
    if (!countFits(in, count, 2 + 3 * MIN_STRING_SIZE))
        return errorAt(in, QStringLiteral("localized info count %1 exceeds the file").arg(count));
    m_character.info.localized.resize(count);
    for (LocalizedInfo& entry : m_character.info.localized) {
        if (!in.readAll(entry.languageId, entry.name, entry.description, entry.extraData))
            return truncated(in, QStringLiteral("localized info"));
    }
    return std::nullopt;
}

std::optional<ParseError> Parser::readBlobDirectory(Locator where, const QString& kind,
                                                    QVector<Locator>& blobs)
{
    std::optional<ByteReader> block = blockOf(where);
    if (!block)
        return errorAt(m_header, kind + QStringLiteral(" directory lies outside the file"));
    ByteReader& in = *block;
    quint32 count = 0;
    if (!in.read(count))
        return truncated(in, kind + QStringLiteral(" directory"));
    if (!countFits(in, count, DIRECTORY_ENTRY_SIZE))
        return errorAt(in, kind + QStringLiteral(" count %1 exceeds the file").arg(count));
    blobs.reserve(count);
    // Every blob is copied or decoded later, so together they may not claim more than the file
    // holds: overlapping entries would otherwise multiply the memory a small file can demand.
    qsizetype budget = m_file.size();
    for (quint32 i = 0; i < count; ++i) {
        Locator blob;
        quint32 checksum = 0; // its algorithm is unknown, so it is not checked
        if (!in.readAll(blob.offset, blob.size, checksum))
            return truncated(in, kind + QStringLiteral(" directory"));
        if (!blockOf(blob))
            return errorAt(in, kind + QStringLiteral(" %1 lies outside the file").arg(i));
        if (blob.size > budget)
            return errorAt(in, kind + QStringLiteral("s add up to more than the file"));
        budget -= blob.size;
        blobs.append(blob);
    }
    return std::nullopt;
}

std::optional<QString> Parser::readImage(Locator where, Image& image) const
{
    ByteReader in = *blockOf(where);
    quint8 present = 0;
    if (!in.read(present))
        return QStringLiteral("its record is empty");
    if (present == 0)
        return std::nullopt; // an empty image is this one byte
    quint8 compressed = 0;
    quint32 dataSize = 0;
    if (!in.readAll(image.width, image.height, compressed, dataSize))
        return QStringLiteral("its header is truncated");
    std::optional<QByteArrayView> data = in.take(dataSize);
    if (!data)
        return QStringLiteral("its data runs past its record");
    image.packed = compressed != 0;
    if (!image.packed && data->size() < image.rasterSize())
        return QStringLiteral("its data is shorter than its raster");
    // A raw raster keeps only its own bytes; anything stored past them is never shown.
    image.pixels =
        image.packed ? data->toByteArray() : data->first(image.rasterSize()).toByteArray();
    quint32 regionPacked = 0;
    if (!in.readAll(regionPacked, image.regionSize))
        return QStringLiteral("its region is truncated");
    // A compressed size of 0 means the region is stored as it is.
    image.regionPacked = regionPacked != 0;
    const std::optional<QByteArrayView> region =
        in.take(image.regionPacked ? regionPacked : image.regionSize);
    if (!region)
        return QStringLiteral("its region runs past its record");
    image.region = region->toByteArray();
    return std::nullopt;
}

std::optional<ParseError> Parser::readAnimationDirectory(Locator where)
{
    std::optional<ByteReader> block = blockOf(where);
    if (!block)
        return errorAt(m_header, QStringLiteral("animation directory lies outside the file"));
    ByteReader& in = *block;
    quint32 count = 0;
    if (!in.read(count))
        return truncated(in, QStringLiteral("animation directory"));
    if (!countFits(in, count, MIN_STRING_SIZE + 8))
        return errorAt(in, QStringLiteral("animation count %1 exceeds the file").arg(count));
    m_character.animations.reserve(count);
    // As with images, records may not claim more than the whole file between them.
    qsizetype budget = m_file.size();
    for (quint32 i = 0; i < count; ++i) {
        QString name;
        Locator record;
        if (!in.readAll(name, record.offset, record.size))
            return truncated(in, QStringLiteral("animation directory"));
        if (record.size > budget)
            return errorAt(in, QStringLiteral("animations add up to more than the file"));
        budget -= record.size;
        if (auto error = readAnimation(name, record))
            return error;
    }
    return std::nullopt;
}

std::optional<ParseError> Parser::readAnimation(const QString& name, Locator where)
{
    std::optional<ByteReader> block = blockOf(where);
    if (!block)
        return errorAt(m_header, QStringLiteral("animation %1 lies outside the file").arg(name));
    ByteReader& in = *block;
    Animation animation;
    // The directory's spelling is the authored one; the record repeats it upper-cased.
    animation.name = name;
    QString recordName;
    quint8 transition = 0;
    quint16 frameCount = 0;
    if (!in.readAll(recordName, transition, animation.returnAnimation, frameCount))
        return truncated(in, QStringLiteral("animation %1").arg(name));
    if (transition > quint8(Transition::None)) {
        return errorAt(in, QStringLiteral("animation %1 has unknown transition type %2")
                               .arg(name)
                               .arg(transition));
    }
    animation.transition = Transition(transition);
    // The original loader refused animations without frames; they are harmless, so they load.
    if (!countFits(in, frameCount, MIN_FRAME_SIZE))
        return errorAt(in, QStringLiteral("animation %1 frame count exceeds its record").arg(name));
    animation.frames.resize(frameCount);
    for (Frame& frame : animation.frames) {
        if (auto error = readFrame(in, frameCount, frame))
            return ParseError{QStringLiteral("animation %1: %2").arg(name, error->what),
                              error->offset};
    }
    m_character.animations.append(std::move(animation));
    return std::nullopt;
}

std::optional<ParseError> Parser::readFrame(ByteReader& in, int frameCount, Frame& frame)
{
    const qsizetype imageCount = m_character.images.size();
    quint16 images = 0;
    if (!in.read(images))
        return truncated(in, QStringLiteral("frame"));
    if (!countFits(in, images, FRAME_IMAGE_SIZE))
        return errorAt(in, QStringLiteral("frame image count exceeds the record"));
    frame.images.resize(images);
    for (FrameImage& image : frame.images) {
        if (!in.readAll(image.imageIndex, image.x, image.y))
            return truncated(in, QStringLiteral("frame"));
        if (image.imageIndex >= imageCount)
            return errorAt(in, QStringLiteral("frame uses missing image %1").arg(image.imageIndex));
    }
    quint8 branches = 0;
    if (!in.readAll(frame.soundIndex, frame.duration, frame.exitFrame, branches))
        return truncated(in, QStringLiteral("frame"));
    // Files say "no sound" with 0xFFFE as well as 0xFFFF; any index past the sounds plays as
    // silence rather than costing the whole character.
    if (frame.soundIndex >= m_character.sounds.size())
        frame.soundIndex = NO_SOUND;
    if (frame.exitFrame < -2 || frame.exitFrame >= frameCount)
        return errorAt(in, QStringLiteral("frame exits to missing frame %1").arg(frame.exitFrame));
    if (!countFits(in, branches, BRANCH_SIZE))
        return truncated(in, QStringLiteral("frame branches"));
    frame.branches.resize(branches);
    for (Branch& branch : frame.branches) {
        if (!in.readAll(branch.frameIndex, branch.probability))
            return truncated(in, QStringLiteral("frame branches"));
        if (branch.frameIndex >= frameCount)
            return errorAt(
                in, QStringLiteral("frame branches to missing frame %1").arg(branch.frameIndex));
    }
    quint8 overlays = 0;
    if (!in.read(overlays))
        return truncated(in, QStringLiteral("frame"));
    if (!countFits(in, overlays, OVERLAY_SIZE))
        return truncated(in, QStringLiteral("mouth overlays"));
    frame.overlays.resize(overlays);
    for (MouthOverlay& overlay : frame.overlays) {
        quint8 shape = 0;
        quint8 replace = 0;
        quint8 hasRegion = 0;
        if (!in.readAll(shape, replace, overlay.imageIndex, overlay.unknown, hasRegion, overlay.x,
                        overlay.y, overlay.centreX, overlay.centreY)) {
            return truncated(in, QStringLiteral("mouth overlays"));
        }
        if (shape > quint8(MouthShape::Narrow))
            return errorAt(in, QStringLiteral("unknown mouth shape %1").arg(shape));
        if (overlay.imageIndex >= imageCount)
            return errorAt(in,
                           QStringLiteral("mouth uses missing image %1").arg(overlay.imageIndex));
        overlay.shape = MouthShape(shape);
        overlay.replaceTopImage = replace != 0;
        // Never seen in real files; one description puts a sized RGNDATA here, so it is read
        // that way rather than refused.
        if (hasRegion != 0) {
            quint32 size = 0;
            std::optional<QByteArrayView> region;
            if (!in.read(size) || !(region = in.take(size)))
                return truncated(in, QStringLiteral("mouth overlay region"));
            overlay.region = region->toByteArray();
        }
    }
    return std::nullopt;
}

} // namespace

Result<CharacterFile> readCharacterFile(QByteArrayView bytes)
{
    return Parser(bytes).run();
}

Result<CharacterFile> readPlayableCharacter(QByteArrayView bytes)
{
    Result<CharacterFile> read = readCharacterFile(bytes);
    if (!read)
        return read;
    const CharacterInfo& info = read.value().info;
    if (info.width == 0 || info.height == 0 || info.width > MAX_CHARACTER_SIDE ||
        info.height > MAX_CHARACTER_SIDE) {
        // The info block's locator is the first after the signature.
        return ParseError{QStringLiteral("its frame size %1 x %2 is out of range")
                              .arg(info.width)
                              .arg(info.height),
                          qFromLittleEndian<quint32>(bytes.data() + 4)};
    }
    return read;
}

} // namespace engine::acs
