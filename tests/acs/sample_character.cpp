#include "sample_character.h"

#include <QRandomGenerator>

#include "agentctl/acs/wave.h"

using namespace agentctl::acs;

namespace hv::acs_test {

namespace {

constexpr int SIZE = 40;
constexpr quint8 TRANSPARENT = 5;

QImage blankPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_Indexed8);
    picture.setColorCount(128);
    picture.fill(TRANSPARENT);
    return picture;
}

// Shapes with holes and separate parts, so the region has several bands and spans per band.
QImage bodyPicture()
{
    QImage picture = blankPicture(SIZE, SIZE);
    for (int y = 4; y < 36; ++y) {
        auto* row = picture.scanLine(y);
        for (int x = 6; x < 34; ++x)
            row[x] = quint8((x / 8 + y / 8) % 2 ? 20 : 40);
        if (y > 12 && y < 20)
            row[15] = row[16] = TRANSPARENT;
    }
    picture.scanLine(0)[0] = 1;
    picture.scanLine(SIZE - 1)[SIZE - 1] = 127;
    return picture;
}

// Random indices do not compress, so the writer must keep this one raw.
QImage noisePicture()
{
    QImage picture = blankPicture(13, 7);
    QRandomGenerator random(7);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            picture.scanLine(y)[x] = quint8(random.bounded(128));
    }
    return picture;
}

QImage mouthPicture(int shape)
{
    QImage picture = blankPicture(9, 5);
    for (int y = 1; y < 4; ++y) {
        for (int x = 1; x < 2 + shape; ++x)
            picture.scanLine(y)[x] = quint8(60 + shape);
    }
    return picture;
}

} // namespace

CharacterFile sampleCharacter()
{
    CharacterFile c;
    CharacterInfo& info = c.info;
    info.guid = QUuid(0x12345678, 0x9ABC, 0xDEF0, 1, 2, 3, 4, 5, 6, 7, 8);
    info.width = SIZE;
    info.height = SIZE;
    info.transparentIndex = TRANSPARENT;
    info.flags = FLAG_VOICE_ENABLED | FLAG_BALLOON_ENABLED | FLAG_STANDARD_ANIMATION_SET |
                 FLAG_BALLOON_SIZE_TO_TEXT;
    VoiceInfo voice;
    voice.engineId = QUuid(0xCA141FD0, 0xAC7F, 0x11D1, 0x97, 0xA3, 0, 0x60, 0x08, 0x27, 0x30, 0xFF);
    voice.modeId = QUuid(0xCA141FD0, 0xAC7F, 0x11D1, 0x97, 0xA3, 0, 0x60, 0x08, 0x27, 0x30, 0x02);
    voice.speed = 160;
    voice.dialect = QStringLiteral("US English");
    voice.gender = 2;
    voice.style = QStringLiteral("Casual");
    info.voice = voice;
    BalloonInfo balloon;
    balloon.fontName = QStringLiteral("DejaVu Sans");
    balloon.fontWeight = 700;
    info.balloon = balloon;
    for (int i = 0; i < 128; ++i)
        info.palette.append(qRgb(i * 2, 255 - i, (i * 37) % 256));
    info.trayIcon = TrayIcon{QByteArray(112, '\x11'), QByteArray(232, '\x22')};
    info.states = {
        {QStringLiteral("SHOWING"), {QStringLiteral("SHOW")}},
        {QStringLiteral("SPEAKING"), {QStringLiteral("RESTPOSE")}},
        {QStringLiteral("IDLINGLEVEL1"), {QStringLiteral("SHOW"), QStringLiteral("RESTPOSE")}}};
    info.localized = {
        {LANGID_ENGLISH_NEUTRAL, QStringLiteral("Clocky"), QStringLiteral("Tells the time"),
         QString()},
        {0x0407, QStringLiteral("Uhri"), QStringLiteral("Sagt die Zeit"), QStringLiteral("extra")}};

    c.images.append(imageFromIndexed(bodyPicture()));  // 0: compresses well
    c.images.append(imageFromIndexed(noisePicture())); // 1: stays raw
    c.images.append(Image{});                          // 2: empty
    for (int shape = 0; shape < 7; ++shape)            // 3..9: mouths
        c.images.append(imageFromIndexed(mouthPicture(shape)));
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
    for (int i = 0; i < 4; ++i) {
        Frame frame;
        frame.images = {{0, 0, 0}};
        frame.exitFrame = qint16(i == 0 ? 3 : -2);
        rest.frames.append(frame);
    }
    rest.frames[1].branches = {{0, 30}, {2, 50}};
    rest.frames[2].branches = {{1, 100}};
    Frame& speaking = rest.frames[3];
    for (int shape = 0; shape < 7; ++shape) {
        MouthOverlay mouth;
        mouth.shape = MouthShape(shape);
        mouth.replaceTopImage = shape == 6;
        mouth.imageIndex = quint16(3 + shape);
        mouth.x = 15;
        mouth.y = 24;
        speaking.overlays.append(mouth);
    }
    const QPoint centre = *mouthCentre(c, speaking.overlays.first());
    for (MouthOverlay& mouth : speaking.overlays) {
        mouth.centreX = quint16(centre.x());
        mouth.centreY = quint16(centre.y());
    }
    c.animations = {show, rest};
    return c;
}

} // namespace hv::acs_test
