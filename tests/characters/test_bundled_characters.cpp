#include <QHash>
#include <QSet>
#include <QTest>
#include <QtEndian>

#include "agentctl/acs/acs_model.h"
#include "agentctl/acs/wave.h"
#include "character_compare.h"
#include "characters/character_builder.h"

using namespace agentctl::acs;
using hv::characters::buildCharacter;
using hv::characters::bundledDesigns;
using hv::test::firstDifference;

namespace {

// Every animation the clock itself asks a character to play.
const char* const PLAYED[] = {"Explain",  "Idle1_1",        "Surprised", "Wave",
                              "Announce", "Pleased",        "Blink",     "Alert",
                              "LookLeft", "LookLeftReturn", "LookRight", "LookRightReturn",
                              "RestPose", "Show",           "Hide"};

const char* const STATES[] = {"SHOWING",      "HIDING",       "SPEAKING",   "IDLINGLEVEL1",
                              "IDLINGLEVEL2", "IDLINGLEVEL3", "MOVINGLEFT", "MOVINGRIGHT",
                              "MOVINGUP",     "MOVINGDOWN"};

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
        const Result<Sound> sound = readWave(wave);
        QVERIFY(sound.ok() && !sound.value().samples.isEmpty());
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
