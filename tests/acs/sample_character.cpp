#include "sample_character.h"

#include <functional>

#include <QRandomGenerator>

#include "engine/acs/wave.h"

using namespace engine::acs;

namespace hv::acs_test {

namespace {

constexpr quint8 TRANSPARENT = 5;

// `paint` gives each pixel's index; the palette has 128 colours.
Image picture(int width, int height, const std::function<int(int, int)>& paint)
{
    QImage indexed(width, height, QImage::Format_Indexed8);
    indexed.setColorCount(128);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            indexed.scanLine(y)[x] = quint8(paint(x, y));
    }
    return imageFromIndexed(indexed);
}

} // namespace

CharacterFile sampleCharacter()
{
    CharacterFile c;
    CharacterInfo& info = c.info;
    info.guid = QUuid(0x12345678, 0x9ABC, 0xDEF0, 1, 2, 3, 4, 5, 6, 7, 8);
    info.width = info.height = 40;
    info.transparentIndex = TRANSPARENT;
    info.flags = FLAG_VOICE_ENABLED | FLAG_BALLOON_ENABLED | FLAG_STANDARD_ANIMATION_SET |
                 FLAG_BALLOON_SIZE_TO_TEXT;
    VoiceInfo voice;
    voice.engineId = QUuid(0xCA141FD0, 0xAC7F, 0x11D1, 0x97, 0xA3, 0, 0x60, 0x08, 0x27, 0x30, 0xFF);
    voice.speed = 160;
    voice.dialect = QStringLiteral("US English");
    info.voice = voice;
    BalloonInfo balloon;
    balloon.fontName = QStringLiteral("DejaVu Sans");
    info.balloon = balloon;
    for (int i = 0; i < 128; ++i)
        info.palette.append(qRgb(i * 2, 255 - i, (i * 37) % 256));
    info.trayIcon = TrayIcon{QByteArray(112, '\x11'), QByteArray(232, '\x22')};
    info.states = {
        {QStringLiteral("SPEAKING"), {QStringLiteral("RESTPOSE")}},
        {QStringLiteral("IDLINGLEVEL1"), {QStringLiteral("SHOW"), QStringLiteral("RESTPOSE")}}};
    info.localized = {
        {LANGID_ENGLISH_NEUTRAL, QStringLiteral("Clocky"), QStringLiteral("Tells"), QString()},
        {0x0407, QStringLiteral("Uhri"), QStringLiteral("Sagt die Zeit"), QStringLiteral("extra")}};

    // A checked body with a hole and two lone corner pixels compresses well; noise stays raw.
    c.images.append(picture(40, 40, [](int x, int y) {
        const bool body = x >= 6 && x < 34 && y >= 4 && y < 36 && !(y > 12 && y < 20 && x == 15);
        return body ? ((x / 8 + y / 8) % 2 ? 20 : 40) : x + y == 0 ? 1 : x + y == 78 ? 127 : 5;
    }));
    QRandomGenerator random(7);
    c.images.append(picture(13, 7, [&](int, int) { return int(random.bounded(128)); }));
    c.images.append(Image{});
    for (int shape = 0; shape < 7; ++shape) { // 3..9: mouths
        c.images.append(picture(9, 5, [shape](int x, int y) {
            return y > 0 && y < 4 && x > 0 && x < 2 + shape ? 60 + shape : TRANSPARENT;
        }));
    }
    c.sounds.append(writeWave(QList<qint16>(50, 0), 11025, WaveEncoding::Pcm8));

    Animation show;
    show.name = QStringLiteral("Show");
    show.transition = Transition::ReturnAnimation;
    show.returnAnimation = QStringLiteral("SHOWRETURN");
    for (int i = 0; i < 3; ++i) {
        Frame frame;
        frame.images = {{0, 0, 0}, {1, qint16(-3 + i), 2}};
        frame.duration = quint16(10 * (i + 1));
        frame.soundIndex = i == 0 ? 0 : NO_SOUND;
        show.frames.append(frame);
    }
    show.frames[1].images.clear();

    Animation rest;
    rest.name = QStringLiteral("RestPose");
    rest.transition = Transition::ExitBranches;
    Frame still;
    still.images = {{0, 0, 0}};
    rest.frames.fill(still, 4);
    for (int i = 0; i < 4; ++i)
        rest.frames[i].exitFrame = qint16(i == 0 ? 3 : -2);
    rest.frames[1].branches = {{0, 30}, {2, 50}};
    rest.frames[2].branches = {{1, 100}};
    // Shape, drawn instead of the top image, image, unknown byte, position, centre, no region.
    for (int shape = 0; shape < 7; ++shape)
        rest.frames[3].overlays.append(
            {MouthShape(shape), shape == 6, quint16(3 + shape), 0, 15, 24, 16, 26, {}});
    c.animations = {show, rest};
    return c;
}

} // namespace hv::acs_test
