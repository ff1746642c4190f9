#pragma once

#include <optional>
#include <utility>
#include <variant>

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QRgb>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QUuid>
#include <QVector>

// The whole of one character, as plain values.
//
// Building one in memory (a character generator):
//   - draw each picture into a QImage of Format_Indexed8 whose colour table is the character's
//     palette, and turn it into an Image with imageFromIndexed(); keep the palette in
//     CharacterInfo::palette (alpha is ignored) and the background index in transparentIndex;
//   - list the animations with their frames; a frame names images by their index in `images`,
//     the first image of a frame is the top-most layer; give the overlays of a frame the centre
//     that mouthCentre() finds for its closed mouth;
//   - set voice and balloon (or leave them empty: the writer sets the enabled/disabled flag
//     bits from whether they are present), the states and at least the 0x0009 localized info;
//   - writeCharacterFile() then gives the bytes of a .acs file. It compresses rasters where that
//     is shorter and derives each image's region from its non-transparent pixels.
//
// Reading one: readCharacterFile() parses the tables and keeps each raster as stored (usually
// compressed), so opening is cheap. decodeImage() expands one image on demand into an ARGB32
// QImage, rows top-down, with the transparent index as alpha 0; imageRegion() gives the shape
// used for the window mask and hit-testing; renderFrame() (frame_render.h) composites a frame.
// The reader checks every image, sound and frame index a frame holds, so a character it returns
// can be played without checking them again. An image whose own record is damaged is read as
// an empty one (Image::damage says why) and one whose pixels do not decode is drawn as nothing;
// either way the rest of the character plays. imageProblems() lists both. Names are looked up
// without regard to case.
namespace engine::acs {

// Style flags of CharacterInfo::flags.
inline constexpr quint32 FLAG_VOICE_DISABLED = 0x00000010;
inline constexpr quint32 FLAG_VOICE_ENABLED = 0x00000020;
inline constexpr quint32 FLAG_BALLOON_DISABLED = 0x00000100;
inline constexpr quint32 FLAG_BALLOON_ENABLED = 0x00000200;
inline constexpr quint32 FLAG_BALLOON_SIZE_TO_TEXT = 0x00010000;
inline constexpr quint32 FLAG_BALLOON_NO_AUTO_HIDE = 0x00020000;
inline constexpr quint32 FLAG_BALLOON_NO_AUTO_PACE = 0x00040000;
inline constexpr quint32 FLAG_STANDARD_ANIMATION_SET = 0x00100000;

inline constexpr quint16 NO_SOUND = 0xFFFF;
// Widest and tallest frame played, in pixels. Real characters stay under 400; a corrupt size
// must not make every frame a gigabyte.
inline constexpr int MAX_CHARACTER_SIDE = 2048;
// Language of the localized info every character carries; the fallback of every look-up.
inline constexpr quint16 LANGID_ENGLISH_NEUTRAL = 0x0009;

struct ParseError
{
    QString what;
    // Byte offset in the input where the fault was found.
    qint64 offset = 0;
};

// A value or the error that prevented it.
template <typename T> class Result final
{
public:
    Result(T value) : m_state(std::move(value)) {}
    Result(ParseError error) : m_state(std::move(error)) {}

    [[nodiscard]] bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return std::get<0>(m_state); }
    T& value() & { return std::get<0>(m_state); }
    T&& value() && { return std::get<0>(std::move(m_state)); }
    const ParseError& error() const { return std::get<1>(m_state); }

private:
    std::variant<T, ParseError> m_state;
};

struct VoiceInfo
{
    QUuid engineId;
    QUuid modeId;
    // Words per minute; 0xFFFFFFFF is the engine's default.
    quint32 speed = 0xFFFFFFFF;
    // Hz; 0xFFFF is the engine's default.
    quint16 pitch = 0xFFFF;
    // The fields below are stored only when this is set.
    bool hasExtraData = true;
    quint16 languageId = 0x0409;
    QString dialect;
    // 0 neutral, 1 female, 2 male.
    quint16 gender = 0;
    quint16 age = 30;
    QString style;
};

// Colours are Windows COLORREFs, 0x00BBGGRR; see rgbFromColorRef().
struct BalloonInfo
{
    quint8 lines = 2;
    quint8 charsPerLine = 28;
    quint32 textColor = 0x00000000;
    quint32 fillColor = 0x00E1FFFF;
    quint32 borderColor = 0x00000000;
    QString fontName = QStringLiteral("MS Sans Serif");
    // As a LOGFONT height: negative is the character height in pixels.
    qint32 fontHeight = -13;
    quint32 fontWeight = 400;
    quint8 italic = 0;
    quint8 unknown = 0;
};

[[nodiscard]] inline QRgb rgbFromColorRef(quint32 colorRef)
{
    return qRgb(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

// Each is a packed device-independent bitmap (header, colour table, bottom-up bits).
struct TrayIcon
{
    QByteArray mask;
    QByteArray color;
};

struct State
{
    QString name;
    QStringList animations;
};

struct LocalizedInfo
{
    quint16 languageId = LANGID_ENGLISH_NEUTRAL;
    QString name;
    QString description;
    QString extraData;
};

struct CharacterInfo
{
    quint16 minorVersion = 1;
    quint16 majorVersion = 2;
    QUuid guid;
    quint16 width = 0;
    quint16 height = 0;
    quint8 transparentIndex = 0;
    quint32 flags = 0;
    quint16 animationSetMajor = 2;
    quint16 animationSetMinor = 0;
    std::optional<VoiceInfo> voice;
    std::optional<BalloonInfo> balloon;
    // Entries past the end are black. Alpha is ignored; the reader gives 255.
    QVector<QRgb> palette;
    std::optional<TrayIcon> trayIcon;
    QVector<State> states;
    QVector<LocalizedInfo> localized;

    [[nodiscard]] const State* findState(QStringView name) const;
    // Matches the primary language (languageId & 0x3FF), falls back to 0x0009 and then to the
    // first entry; null only when there is none at all.
    [[nodiscard]] const LocalizedInfo* findLocalizedInfo(quint16 languageId) const;
};

struct FrameImage
{
    quint32 imageIndex = 0;
    // Top-left of the image relative to the frame's top-left, y down.
    qint16 x = 0;
    qint16 y = 0;
};

struct Branch
{
    quint16 frameIndex = 0;
    // Percent; the branches of a frame add up to 100 or less.
    quint16 probability = 0;
};

enum class MouthShape : quint8
{
    Closed = 0,
    Wide1 = 1,
    Wide2 = 2,
    Wide3 = 3,
    Wide4 = 4,
    Medium = 5,
    Narrow = 6,
};

struct MouthOverlay
{
    MouthShape shape = MouthShape::Closed;
    // Drawn instead of the frame's top (first) image rather than over the frame.
    bool replaceTopImage = false;
    quint16 imageIndex = 0;
    quint8 unknown = 0;
    qint16 x = 0;
    qint16 y = 0;
    // Centre of the closed mouth's opaque bounding box plus the overlay offset; the same for
    // every overlay of a frame. See mouthCentre().
    quint16 centreX = 0;
    quint16 centreY = 0;
    // Raw RGNDATA bytes when the file carries one for this overlay (never seen in practice).
    std::optional<QByteArray> region;
};

enum class Transition : quint8
{
    ReturnAnimation = 0,
    ExitBranches = 1,
    None = 2,
};

struct Frame
{
    // Top-most first: paint from the last to the first.
    QVector<FrameImage> images;
    quint16 soundIndex = NO_SOUND;
    // Hundredths of a second.
    quint16 duration = 10;
    // Where to go when asked to stop: a frame index, -1 to end now, -2 to carry on as usual.
    qint16 exitFrame = -1;
    QVector<Branch> branches;
    QVector<MouthOverlay> overlays;
};

struct Animation
{
    // As authored, mixed case; the file also stores it upper-cased in the record.
    QString name;
    Transition transition = Transition::None;
    // Upper case; set exactly when transition is ReturnAnimation.
    QString returnAnimation;
    QVector<Frame> frames;
};

// An image whose width or height is 0 is an empty image.
struct Image
{
    quint16 width = 0;
    quint16 height = 0;
    // 8-bit palette indices, rows bottom-up, each row padded to a multiple of 4 bytes. When
    // `packed` is set this holds the compressed stream as read from a file instead; use
    // imagePixels() or decodeImage() to get the raster either way.
    QByteArray pixels;
    bool packed = false;
    // The image's shape as read from a file: RGNDATA bytes as stored, a compressed stream of
    // regionSize bytes when regionPacked. The writer ignores it and derives the shape from the
    // pixels.
    QByteArray region;
    bool regionPacked = false;
    quint32 regionSize = 0;
    // Why the reader left the image empty: its record in the file was damaged.
    QString damage;

    [[nodiscard]] int stride() const { return (width + 3) & ~3; }
    [[nodiscard]] qsizetype rasterSize() const { return qsizetype(stride()) * height; }
    [[nodiscard]] bool isEmpty() const { return width == 0 || height == 0; }
};

struct CharacterFile
{
    CharacterInfo info;
    QVector<Animation> animations;
    QVector<Image> images;
    // Complete RIFF/WAVE files.
    QVector<QByteArray> sounds;

    [[nodiscard]] const Animation* findAnimation(QStringView name) const;
};

[[nodiscard]] Result<CharacterFile> readCharacterFile(QByteArrayView bytes);
// readCharacterFile(), refusing also a character whose frame size could not be shown: 0, or
// wider or taller than MAX_CHARACTER_SIDE. What players and the inspection tool accept.
[[nodiscard]] Result<CharacterFile> readPlayableCharacter(QByteArrayView bytes);
[[nodiscard]] QByteArray writeCharacterFile(const CharacterFile& character);

// An Image from a Format_Indexed8 picture. Its colour table is not used: the indices refer to
// the character's palette.
[[nodiscard]] Image imageFromIndexed(const QImage& indexed);
// The raster of `image`, expanded if it is stored compressed.
[[nodiscard]] Result<QByteArray> imagePixels(const Image& image);
// ARGB32, rows top-down, the transparent index as alpha 0.
[[nodiscard]] Result<QImage> decodeImage(const CharacterFile& character, int imageIndex);
// Image coordinates, top-down. From the file's region when it has a usable one, otherwise from
// the pixels.
[[nodiscard]] Result<QRegion> imageRegion(const CharacterFile& character, int imageIndex);
// One "image N: reason" line for each image that cannot be drawn: its record was damaged or
// its pixels do not decode. Decodes every image, so it is for inspection, not for playing.
[[nodiscard]] QStringList imageProblems(const CharacterFile& character);
// The point a frame's overlays carry in centreX/centreY: the centre of the opaque bounding box
// of the closed mouth's image, in frame coordinates. Empty when that image has no opaque pixel
// or cannot be decoded.
[[nodiscard]] std::optional<QPoint> mouthCentre(const CharacterFile& character,
                                                const MouthOverlay& closedMouth);

} // namespace engine::acs
