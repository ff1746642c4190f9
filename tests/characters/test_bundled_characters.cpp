#include <QSet>
#include <QTest>

#include "character_compare.h"
#include "characters/character_builder.h"
#include "engine/acs/acs_model.h"
#include "engine/acs/wave.h"

using namespace engine::acs;
using hv::characters::buildCharacter;
using hv::characters::bundledDesigns;
using hv::characters::CharacterDesign;

namespace {

// Every animation and state the clock itself asks a character for.
const char* const PLAYED[] = {"Explain",        "Idle1_1",  "Surprised",      "Wave",
                              "Announce",       "Pleased",  "Blink",          "Alert",
                              "LookLeft",       "RestPose", "LookRight",      "Show",
                              "LookLeftReturn", "Hide",     "LookRightReturn"};
const char* const STATES[] = {"SHOWING",      "HIDING",       "SPEAKING",   "IDLINGLEVEL1",
                              "IDLINGLEVEL2", "IDLINGLEVEL3", "MOVINGLEFT", "MOVINGRIGHT",
                              "MOVINGUP",     "MOVINGDOWN"};

} // namespace

class TestBundledCharacters final : public QObject
{
    Q_OBJECT

private slots:
    void isCompleteAndRoundTrips_data();
    void isCompleteAndRoundTrips();
};

void TestBundledCharacters::isCompleteAndRoundTrips_data()
{
    QTest::addColumn<CharacterDesign>("design");
    for (const CharacterDesign& design : bundledDesigns())
        QTest::newRow(qPrintable(design.fileName)) << design;
}

void TestBundledCharacters::isCompleteAndRoundTrips()
{
    QFETCH(CharacterDesign, design);
    QString error;
    const std::optional<CharacterFile> built = buildCharacter(design, &error);
    QVERIFY2(built, qPrintable(error));
    const CharacterFile& c = *built;
    for (const char* state : STATES)
        QVERIFY2(c.info.findState(QString::fromLatin1(state)), state);
    for (const State& state : c.info.states) {
        for (const QString& animation : state.animations)
            QVERIFY2(c.findAnimation(animation), qPrintable(state.name + " " + animation));
    }
    for (const char* name : PLAYED) {
        const Animation* a = c.findAnimation(QString::fromLatin1(name));
        QVERIFY2(a && !a->frames.isEmpty(), name);
        // About ten frames a second: no frame so short that it flickers past, none that stalls.
        for (const Frame& frame : a->frames)
            QVERIFY2(frame.duration >= 5 && frame.duration <= 100, name);
    }
    // Whoever speaks holds a frame with seven different mouths about one centre.
    for (const QString& name : c.info.findState(u"SPEAKING")->animations) {
        const Frame& hold = c.findAnimation(name)->frames.back();
        QSet<int> shapes;
        QSet<quint16> pictures;
        for (const MouthOverlay& o : hold.overlays) {
            shapes.insert(int(o.shape));
            pictures.insert(o.imageIndex);
            QCOMPARE(QPoint(o.centreX, o.centreY),
                     mouthCentre(c, hold.overlays.front()).value_or(QPoint()));
        }
        QCOMPARE(shapes, (QSet<int>{0, 1, 2, 3, 4, 5, 6}));
        QCOMPARE(pictures.size(), 7);
    }
    for (const QByteArray& wave : c.sounds)
        QVERIFY(readWave(wave).ok());
    QVERIFY(c.info.trayIcon);

    const QByteArray bytes = writeCharacterFile(c);
    const Result<CharacterFile> read = readCharacterFile(bytes);
    QVERIFY2(read, qPrintable(read ? QString() : read.error().what));
    QCOMPARE(hv::test::firstDifference(read.value(), c), QString());
    QVERIFY(writeCharacterFile(read.value()) == bytes);
}

QTEST_MAIN(TestBundledCharacters)
#include "test_bundled_characters.moc"
