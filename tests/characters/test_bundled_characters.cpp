#include <QDataStream>
#include <QHash>
#include <QSet>
#include <QTest>
#include <QtEndian>

#include "agentctl/acs/acs_model.h"
#include "characters/character_builder.h"

using namespace agentctl::acs;
using hv::characters::buildCharacter;
using hv::characters::bundledDesigns;

namespace {

// Every animation the clock itself asks a character to play.
const char* const PLAYED[] = {"Explain",  "Idle1_1",        "Surprised", "Wave",
                              "Announce", "Pleased",        "Blink",     "Alert",
                              "LookLeft", "LookLeftReturn", "LookRight", "LookRightReturn",
                              "RestPose", "Show",           "Hide"};

const char* const STATES[] = {"SHOWING",      "HIDING",       "SPEAKING",   "IDLINGLEVEL1",
                              "IDLINGLEVEL2", "IDLINGLEVEL3", "MOVINGLEFT", "MOVINGRIGHT",
                              "MOVINGUP",     "MOVINGDOWN"};

// Every field of one part of a character, in a canonical byte form, rasters expanded, so two
// models compare equal exactly when they describe the same character.
QByteArray describeInfo(const CharacterInfo& info)
{
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s << info.minorVersion << info.majorVersion << info.guid << info.width << info.height
      << info.transparentIndex << info.flags << info.animationSetMajor << info.animationSetMinor;
    s << info.voice.has_value();
    if (info.voice) {
        const VoiceInfo& v = *info.voice;
        s << v.engineId << v.modeId << v.speed << v.pitch << v.hasExtraData << v.languageId
          << v.dialect << v.gender << v.age << v.style;
    }
    s << info.balloon.has_value();
    if (info.balloon) {
        const BalloonInfo& b = *info.balloon;
        s << b.lines << b.charsPerLine << b.textColor << b.fillColor << b.borderColor << b.fontName
          << b.fontHeight << b.fontWeight << b.italic << b.unknown;
    }
    for (QRgb c : info.palette)
        s << (c | 0xff000000);
    s << info.trayIcon.has_value();
    if (info.trayIcon)
        s << info.trayIcon->mask << info.trayIcon->color;
    for (const State& state : info.states)
        s << state.name << state.animations;
    for (const LocalizedInfo& l : info.localized)
        s << l.languageId << l.name << l.description << l.extraData;
    return out;
}

QByteArray describeAnimation(const Animation& a)
{
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s << a.name << quint8(a.transition) << a.returnAnimation;
    for (const Frame& f : a.frames) {
        s << f.soundIndex << f.duration << f.exitFrame << qint32(f.images.size());
        for (const FrameImage& i : f.images)
            s << i.imageIndex << i.x << i.y;
        for (const Branch& b : f.branches)
            s << b.frameIndex << b.probability;
        for (const MouthOverlay& o : f.overlays) {
            s << quint8(o.shape) << o.replaceTopImage << o.imageIndex << o.unknown << o.x << o.y
              << o.centreX << o.centreY << o.region.has_value();
        }
    }
    return out;
}

QByteArray describeImage(const Image& image)
{
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    const Result<QByteArray> pixels = imagePixels(image);
    s << image.width << image.height << (pixels ? pixels.value() : QByteArray("undecodable"));
    return out;
}

// Empty when `a` and `b` hold the same character, else the first part that differs.
QString firstDifference(const CharacterFile& a, const CharacterFile& b)
{
    if (describeInfo(a.info) != describeInfo(b.info))
        return QStringLiteral("character info");
    if (a.animations.size() != b.animations.size() || a.images.size() != b.images.size())
        return QStringLiteral("number of animations or images");
    for (int i = 0; i < a.animations.size(); ++i) {
        if (describeAnimation(a.animations[i]) != describeAnimation(b.animations[i]))
            return QStringLiteral("animation ") + a.animations[i].name;
    }
    for (int i = 0; i < a.images.size(); ++i) {
        if (describeImage(a.images[i]) != describeImage(b.images[i]))
            return QStringLiteral("image %1").arg(i);
    }
    return a.sounds == b.sounds ? QString() : QStringLiteral("sounds");
}

// The frames reachable from `frame` while the animation is asked to stop, collecting the frames
// where it ends. False when a loop can be reached, that is, when stopping might never end.
bool walkExit(const Animation& animation, int frame, QSet<int>& onPath, QSet<int>& ends)
{
    if (onPath.contains(frame))
        return false;
    onPath.insert(frame);
    const Frame& f = animation.frames[frame];
    QVector<int> next;
    if (f.exitFrame == -1) {
        ends.insert(frame);
    } else if (f.exitFrame >= 0) {
        next.append(f.exitFrame);
    } else {
        for (const Branch& b : f.branches)
            next.append(b.frameIndex);
        if (frame + 1 < animation.frames.size())
            next.append(frame + 1);
        else
            ends.insert(frame);
    }
    for (int n : next) {
        if (n >= animation.frames.size() || !walkExit(animation, n, onPath, ends))
            return false;
    }
    onPath.remove(frame);
    return true;
}

} // namespace

class TestBundledCharacters final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void playsEveryAnimationTheProgramAsksFor_data();
    void playsEveryAnimationTheProgramAsksFor();
    void picturesStayInsideTheFrame_data();
    void picturesStayInsideTheFrame();
    void statesNameExistingAnimations_data();
    void statesNameExistingAnimations();
    void stopsAtRestInBoundedTime_data();
    void stopsAtRestInBoundedTime();
    void speakingFramesCarryEveryMouth_data();
    void speakingFramesCarryEveryMouth();
    void trayIconIsAMaskedSixteenPixelIcon_data();
    void trayIconIsAMaskedSixteenPixelIcon();
    void soundsArePlayableWaves_data();
    void soundsArePlayableWaves();
    void roundTripsThroughReaderAndWriter_data();
    void roundTripsThroughReaderAndWriter();

private:
    void addCharacterRows();
    const CharacterFile& character(const QString& name) const { return *m_built.constFind(name); }

    QHash<QString, CharacterFile> m_built;
};

void TestBundledCharacters::initTestCase()
{
    for (const auto& design : bundledDesigns()) {
        QString error;
        const auto built = buildCharacter(design, &error);
        QVERIFY2(built, qPrintable(error));
        m_built.insert(design.fileName, *built);
    }
    QVERIFY(m_built.size() >= 2);
}

void TestBundledCharacters::addCharacterRows()
{
    QTest::addColumn<QString>("name");
    for (const auto& design : bundledDesigns())
        QTest::newRow(qPrintable(design.fileName)) << design.fileName;
}

void TestBundledCharacters::playsEveryAnimationTheProgramAsksFor_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("animation");
    for (const auto& design : bundledDesigns()) {
        for (const char* animation : PLAYED) {
            QTest::addRow("%s %s", qPrintable(design.fileName), animation)
                << design.fileName << QString::fromLatin1(animation);
        }
    }
}

void TestBundledCharacters::playsEveryAnimationTheProgramAsksFor()
{
    QFETCH(QString, name);
    QFETCH(QString, animation);
    const Animation* found = character(name).findAnimation(animation);
    QVERIFY(found);
    QVERIFY(!found->frames.isEmpty());
    // About ten frames a second: no frame so short that it flickers past, none that stalls.
    for (const Frame& frame : found->frames)
        QVERIFY2(frame.duration >= 5 && frame.duration <= 100, qPrintable(found->name));
}

void TestBundledCharacters::picturesStayInsideTheFrame_data()
{
    addCharacterRows();
}

void TestBundledCharacters::picturesStayInsideTheFrame()
{
    QFETCH(QString, name);
    const CharacterFile& c = character(name);
    // The screen positions keep 160 x 128 pixels free for the character.
    QVERIFY(c.info.width <= 160 && c.info.height <= 128);
    const QRect frameRect(0, 0, c.info.width, c.info.height);
    // A picture touching the frame's edge has been cut off there.
    const QRect drawable = frameRect.adjusted(1, 1, -1, -1);
    const auto inside = [&](quint32 index, int x, int y) {
        return index < quint32(c.images.size()) &&
               drawable.contains(QRect(x, y, c.images[index].width, c.images[index].height));
    };
    const QRgb background = c.info.palette[c.info.transparentIndex] & 0xffffff;
    for (const Animation& a : c.animations) {
        for (int n = 0; n < a.frames.size(); ++n) {
            const QString where = QStringLiteral("%1 frame %2").arg(a.name).arg(n);
            for (const FrameImage& i : a.frames[n].images)
                QVERIFY2(inside(i.imageIndex, i.x, i.y), qPrintable(where));
            for (const MouthOverlay& o : a.frames[n].overlays)
                QVERIFY2(inside(o.imageIndex, o.x, o.y), qPrintable(where));
        }
    }
    // No visible pixel may take the background's colour: it would show as a hole elsewhere.
    for (int i = 0; i < c.images.size(); ++i) {
        const QByteArray pixels = imagePixels(c.images[i]).value();
        for (char p : pixels) {
            const int index = quint8(p);
            if (index != c.info.transparentIndex)
                QVERIFY2((c.info.palette[index] & 0xffffff) != background, qPrintable(name));
        }
    }
}

void TestBundledCharacters::statesNameExistingAnimations_data()
{
    addCharacterRows();
}

void TestBundledCharacters::statesNameExistingAnimations()
{
    QFETCH(QString, name);
    const CharacterFile& c = character(name);
    for (const char* required : STATES)
        QVERIFY2(c.info.findState(QString::fromLatin1(required)), required);
    for (const State& state : c.info.states) {
        QVERIFY2(!state.animations.isEmpty(), qPrintable(state.name));
        for (const QString& animation : state.animations)
            QVERIFY2(c.findAnimation(animation), qPrintable(state.name + " " + animation));
    }
}

void TestBundledCharacters::stopsAtRestInBoundedTime_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("animation");
    for (const auto& design : bundledDesigns()) {
        for (const Animation& a : m_built[design.fileName].animations) {
            QTest::addRow("%s %s", qPrintable(design.fileName), qPrintable(a.name))
                << design.fileName << a.name;
        }
    }
}

void TestBundledCharacters::stopsAtRestInBoundedTime()
{
    QFETCH(QString, name);
    QFETCH(QString, animation);
    const CharacterFile& c = character(name);
    const Animation* a = c.findAnimation(animation);
    const Animation* rest = c.findAnimation(QStringLiteral("RestPose"));
    QVERIFY(a && rest);
    const QVector<FrameImage> restImages = rest->frames.front().images;
    const bool hides = animation == QStringLiteral("Hide");

    for (int start = 0; start < a->frames.size(); ++start) {
        QSet<int> onPath;
        QSet<int> ends;
        QVERIFY2(walkExit(*a, start, onPath, ends), qPrintable(QString::number(start)));
        for (int end : ends) {
            const Animation* finishing = a;
            int last = end;
            if (a->transition == Transition::ReturnAnimation) {
                // The return animation then plays through on its own; it must not loop either.
                finishing = c.findAnimation(a->returnAnimation);
                QVERIFY2(finishing, qPrintable(a->returnAnimation));
                QVERIFY(finishing->transition != Transition::ReturnAnimation);
                QSet<int> returnPath;
                QSet<int> returnEnds;
                QVERIFY(walkExit(*finishing, 0, returnPath, returnEnds));
                QCOMPARE(returnEnds, QSet<int>{int(finishing->frames.size()) - 1});
                last = int(finishing->frames.size()) - 1;
            }
            const Frame& final = finishing->frames[last];
            if (hides) {
                QVERIFY(final.images.isEmpty());
            } else {
                QVERIFY2(final.images.size() == restImages.size(), qPrintable(finishing->name));
                for (int i = 0; i < restImages.size(); ++i) {
                    QCOMPARE(final.images[i].imageIndex, restImages[i].imageIndex);
                    QCOMPARE(final.images[i].x, restImages[i].x);
                    QCOMPARE(final.images[i].y, restImages[i].y);
                }
            }
        }
    }
}

void TestBundledCharacters::speakingFramesCarryEveryMouth_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("animation");
    for (const auto& design : bundledDesigns()) {
        QStringList speaking{QStringLiteral("RESTPOSE"), QStringLiteral("EXPLAIN")};
        speaking += m_built[design.fileName].info.findState(u"SPEAKING")->animations;
        speaking.removeDuplicates();
        for (const QString& animation : speaking) {
            QTest::addRow("%s %s", qPrintable(design.fileName), qPrintable(animation))
                << design.fileName << animation;
        }
    }
}

void TestBundledCharacters::speakingFramesCarryEveryMouth()
{
    QFETCH(QString, name);
    QFETCH(QString, animation);
    const CharacterFile& c = character(name);
    const Animation* a = c.findAnimation(animation);
    QVERIFY(a);
    const Frame& hold = a->frames.back();
    QCOMPARE(hold.overlays.size(), 7);
    QSet<int> shapes;
    QSet<quint16> pictures;
    for (const MouthOverlay& o : hold.overlays) {
        shapes.insert(int(o.shape));
        pictures.insert(o.imageIndex);
        QVERIFY(!o.replaceTopImage);
        QCOMPARE(o.centreX, hold.overlays.front().centreX);
        QCOMPARE(o.centreY, hold.overlays.front().centreY);
    }
    QCOMPARE(shapes, (QSet<int>{0, 1, 2, 3, 4, 5, 6}));
    // Seven shapes that look alike would make the character mumble.
    QCOMPARE(pictures.size(), 7);
    const std::optional<QPoint> centre = mouthCentre(c, hold.overlays.front());
    QVERIFY(centre);
    QCOMPARE(int(hold.overlays.front().centreX), centre->x());
    QCOMPARE(int(hold.overlays.front().centreY), centre->y());
}

void TestBundledCharacters::trayIconIsAMaskedSixteenPixelIcon_data()
{
    addCharacterRows();
}

void TestBundledCharacters::trayIconIsAMaskedSixteenPixelIcon()
{
    QFETCH(QString, name);
    const std::optional<TrayIcon>& icon = character(name).info.trayIcon;
    QVERIFY(icon);
    // Packed bitmaps: a 40-byte header, the colour table, then 16 rows padded to 4 bytes.
    QCOMPARE(icon->mask.size(), 40 + 2 * 4 + 16 * 4);
    QCOMPARE(icon->color.size(), 40 + 16 * 4 + 16 * 8);
    for (const QByteArray& bitmap : {icon->mask, icon->color}) {
        QCOMPARE(qFromLittleEndian<qint32>(bitmap.constData() + 4), 16);
        QCOMPARE(qFromLittleEndian<qint32>(bitmap.constData() + 8), 16);
    }
    QCOMPARE(qFromLittleEndian<quint16>(icon->mask.constData() + 14), quint16(1));
    QCOMPARE(qFromLittleEndian<quint16>(icon->color.constData() + 14), quint16(4));
    int seeThrough = 0;
    int drawn = 0;
    for (int row = 0; row < 16; ++row) {
        for (int x = 0; x < 16; ++x) {
            const auto maskByte = quint8(icon->mask[40 + 8 + row * 4 + x / 8]);
            const auto colourByte = quint8(icon->color[40 + 64 + row * 8 + x / 2]);
            const int colour = x % 2 == 0 ? colourByte >> 4 : colourByte & 0xf;
            if (maskByte & (0x80 >> (x % 8))) {
                // Where the mask lets the desktop through, the picture must add nothing.
                QCOMPARE(colour, 0);
                ++seeThrough;
            } else {
                ++drawn;
            }
        }
    }
    QVERIFY(seeThrough > 0 && drawn > 128);
}

void TestBundledCharacters::soundsArePlayableWaves_data()
{
    addCharacterRows();
}

void TestBundledCharacters::soundsArePlayableWaves()
{
    QFETCH(QString, name);
    const CharacterFile& c = character(name);
    for (const QByteArray& wave : c.sounds) {
        QVERIFY(wave.startsWith("RIFF") && wave.mid(8, 8) == "WAVEfmt ");
        QCOMPARE(qFromLittleEndian<quint32>(wave.constData() + 4), quint32(wave.size() - 8));
        QCOMPARE(qFromLittleEndian<quint16>(wave.constData() + 20), quint16(1)); // PCM
        QCOMPARE(wave.mid(36, 4), QByteArray("data"));
        QCOMPARE(qFromLittleEndian<quint32>(wave.constData() + 40), quint32(wave.size() - 44));
    }
    int framesWithSound = 0;
    for (const Animation& a : c.animations) {
        for (const Frame& f : a.frames) {
            if (f.soundIndex == NO_SOUND)
                continue;
            QVERIFY2(f.soundIndex < c.sounds.size(), qPrintable(a.name));
            ++framesWithSound;
        }
    }
    QVERIFY(framesWithSound > 0);
}

void TestBundledCharacters::roundTripsThroughReaderAndWriter_data()
{
    addCharacterRows();
}

void TestBundledCharacters::roundTripsThroughReaderAndWriter()
{
    QFETCH(QString, name);
    const QByteArray bytes = writeCharacterFile(character(name));
    const Result<CharacterFile> read = readCharacterFile(bytes);
    QVERIFY2(read, qPrintable(read ? QString() : read.error().what));
    QCOMPARE(firstDifference(read.value(), character(name)), QString());
    QVERIFY(writeCharacterFile(read.value()) == bytes);
}

QTEST_MAIN(TestBundledCharacters)
#include "test_bundled_characters.moc"
