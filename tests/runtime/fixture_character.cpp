#include "fixture_character.h"

#include <algorithm>

#include <QImage>

#include "engine/acs/wave.h"

namespace hv::runtime_test {

namespace acs = engine::acs;

namespace {

constexpr int TAG_STEP = 6;

// Image index == tag: every tag has one picture, opaque right of x = 8.
acs::Image picture(int tag, const QVector<QRgb>& palette)
{
    QImage indexed(SIZE, SIZE, QImage::Format_Indexed8);
    indexed.setColorTable(palette);
    indexed.fill(0);
    const QRect area = tag >= MOUTH_TAG && tag < MOUTH_TAG + 7 ? MOUTH_RECT : QRect(8, 0, 24, 32);
    for (int y = area.top(); y <= area.bottom(); ++y)
        std::fill_n(indexed.scanLine(y) + area.left(), area.width(), uchar(tag));
    return acs::imageFromIndexed(indexed);
}

acs::Animation animation(const QString& name, std::initializer_list<int> tags,
                         acs::Transition transition = acs::Transition::None)
{
    acs::Animation result{};
    result.name = name;
    result.transition = transition;
    for (const int tag : tags) {
        acs::Frame frame;
        frame.images.append({quint32(tag), 0, 0});
        frame.duration = FRAME_MS / 10;
        result.frames.append(frame);
    }
    return result;
}

} // namespace

acs::CharacterFile testCharacter()
{
    acs::CharacterFile character;
    auto& info = character.info;
    info.width = SIZE;
    info.height = SIZE;
    info.transparentIndex = 0;
    info.flags = acs::FLAG_BALLOON_ENABLED | acs::FLAG_VOICE_DISABLED;
    info.balloon = acs::BalloonInfo();
    info.palette.append(qRgb(255, 0, 255));
    for (int tag = 1; tag < 40; ++tag)
        info.palette.append(qRgb(tag * TAG_STEP, 200, 100));
    for (int tag = 0; tag < 40; ++tag)
        character.images.append(picture(tag, info.palette));
    info.localized.append({acs::LANGID_ENGLISH_NEUTRAL, QStringLiteral("Tester"), {}, {}});
    // A tenth of a second of sound, for the showing animation's first frame.
    character.sounds.append(
        acs::writeWave(QList<qint16>(2205, 18000), 22050, acs::WaveEncoding::Pcm8));

    auto& all = character.animations;
    all.append(animation(QStringLiteral("Show"), {1, 2}));
    all.last().frames[0].soundIndex = 0;
    all.append(animation(QStringLiteral("Hide"), {3, 4, 5}));
    all.append(animation(QStringLiteral("RestPose"), {REST_TAG}));
    for (int shape = 0; shape < 7; ++shape) {
        acs::MouthOverlay overlay;
        overlay.shape = acs::MouthShape(shape);
        overlay.imageIndex = quint16(MOUTH_TAG + shape);
        all.last().frames[0].overlays.append(overlay);
    }
    all.append(animation(QStringLiteral("Loop"), {7, 8, 9, 10}, acs::Transition::ExitBranches));
    all.last().frames[0].exitFrame = 2;
    all.last().frames[1].exitFrame = 2;
    all.last().frames[1].branches.append({0, 100});
    all.last().frames[2].exitFrame = -2;
    all.append(animation(QStringLiteral("Explain"), {11, 12}, acs::Transition::ReturnAnimation));
    all.last().returnAnimation = QStringLiteral("EXPLAINRETURN");
    all.append(animation(QStringLiteral("ExplainReturn"), {13}));
    all.append(animation(QStringLiteral("Wave"), {14, 15}));
    all.last().frames[1].soundIndex = 0;
    all.append(animation(QStringLiteral("Idle1"), {16}));
    all.append(animation(QStringLiteral("Idle2"), {17}));
    all.append(animation(QStringLiteral("Idle3"), {18}));
    all.append(
        animation(QStringLiteral("MoveLeft"), {MOVE_LEFT_TAG}, acs::Transition::ExitBranches));
    all.last().frames[0].branches.append({0, 100});
    all.append(animation(QStringLiteral("Branchy"), {30, 31, 32, 33}));
    // Frame 0 goes on to frame 1 (20 %), 2 (30 %) or 3 (50 %).
    all.last().frames[0].branches = {{2, 30}, {3, 50}};

    info.states = {
        {QStringLiteral("SHOWING"), {QStringLiteral("SHOW")}},
        {QStringLiteral("HIDING"), {QStringLiteral("HIDE")}},
        {QStringLiteral("SPEAKING"), {QStringLiteral("RESTPOSE")}},
        {QStringLiteral("IDLINGLEVEL1"), {QStringLiteral("IDLE1")}},
        {QStringLiteral("IDLINGLEVEL2"), {QStringLiteral("IDLE2")}},
        {QStringLiteral("IDLINGLEVEL3"), {QStringLiteral("IDLE3")}},
        {QStringLiteral("MOVINGLEFT"), {QStringLiteral("MOVELEFT")}},
    };
    return character;
}

int frameTag(QRgb pixel)
{
    return qAlpha(pixel) == 0 ? -1 : (qRed(pixel) + TAG_STEP / 2) / TAG_STEP;
}

} // namespace hv::runtime_test
