#include <algorithm>
#include <cstdlib>

#include <QPainter>
#include <QSet>
#include <QTest>

#include "character_compare.h"
#include "characters/character_builder.h"
#include "characters/palette.h"
#include "characters/pose.h"
#include "characters/sound.h"
#include "engine/acs/acs_model.h"
#include "engine/acs/wave.h"

using namespace engine::acs;
using namespace hv::characters;

namespace {

enum class Fault
{
    None,
    SpillsOutsideTheBox, // an open mouth also paints a pixel far from the mouth
    BoxOffTheFrame,
    LeavesAHole, // an open mouth punches a see-through hole into the face
};

const QRgb RED = qRgb(0xe0, 0x50, 0x40);
const QRgb CREAM = qRgb(0xff, 0xf4, 0xdc);

// A plain disc with a mouth that grows with the mouth shape, misbehaving as asked.
CharacterDesign discDesign(Fault fault)
{
    CharacterDesign d;
    d.fileName = d.name = QStringLiteral("Disc");
    d.keyColours = {qRgb(0x20, 0x20, 0x20), qRgb(0x40, 0x90, 0xd0), RED};
    d.paint = [fault](QPainter& painter, const Pose& pose) {
        painter.setPen(QPen(QColor(0x20, 0x20, 0x20), 2));
        painter.setBrush(QColor(0x40, 0x90, 0xd0));
        painter.drawEllipse(QPointF(64 + pose.dx, 70 + pose.dy), 30 * pose.scale, 30 * pose.scale);
        if (pose.mouth == 0)
            return;
        painter.fillRect(QRectF(64 - pose.mouth, 78, 2 * pose.mouth, 4), QColor(RED));
        if (fault == Fault::SpillsOutsideTheBox)
            painter.fillRect(QRectF(10, 10, 3, 3), QColor(RED));
        if (fault == Fault::LeavesAHole) {
            painter.setCompositionMode(QPainter::CompositionMode_Clear);
            painter.fillRect(QRectF(63, 79, 2, 2), Qt::transparent);
        }
    };
    d.mouthCentre = [fault](const Pose&) {
        return fault == Fault::BoxOffTheFrame ? QPointF(3, 80) : QPointF(64, 80);
    };
    d.mouthBox = QSize(20, 12);
    d.iconArea = QRect(24, 30, 80, 80);
    return d;
}

// Every animation and state the clock itself asks a character for.
const char* const PLAYED[] = {"Explain",        "Idle1_1",  "Surprised",      "Wave",
                              "Announce",       "Pleased",  "Blink",          "Alert",
                              "LookLeft",       "RestPose", "LookRight",      "Show",
                              "LookLeftReturn", "Hide",     "LookRightReturn"};
const char* const STATES[] = {"SHOWING",      "HIDING",       "SPEAKING",   "IDLINGLEVEL1",
                              "IDLINGLEVEL2", "IDLINGLEVEL3", "MOVINGLEFT", "MOVINGRIGHT",
                              "MOVINGUP",     "MOVINGDOWN"};

} // namespace

class TestCharacterBuilder final : public QObject
{
    Q_OBJECT

private slots:
    void buildsOnlyMouthsThatKeepToTheirBox_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::newRow("keeps to its box") << Fault::None;
        QTest::newRow("spills outside its box") << Fault::SpillsOutsideTheBox;
        QTest::newRow("box off the frame") << Fault::BoxOffTheFrame;
        QTest::newRow("leaves a hole") << Fault::LeavesAHole;
    }

    void buildsOnlyMouthsThatKeepToTheirBox()
    {
        QFETCH(Fault, fault);
        QString error;
        QCOMPARE(buildCharacter(discDesign(fault), &error).has_value(), fault == Fault::None);
        // Named so that whoever drew it can find the frame: the first one that speaks.
        QVERIFY2(fault == Fault::None || (error.contains(u"Disc") && error.contains(u"RestPose")),
                 qPrintable(error));
    }

    void quantisesEachPixel_data()
    {
        QTest::addColumn<QRgb>("pixel");
        QTest::addColumn<QRgb>("expected"); // 0 for see-through
        QTest::newRow("edge just under half") << qRgba(0xe0, 0x50, 0x40, 127) << QRgb(0);
        QTest::newRow("edge half covered") << qRgba(0xe0, 0x50, 0x40, 128) << RED;
        QTest::newRow("near a key") << qRgb(0xdd, 0x52, 0x43) << RED;
        QTest::newRow("blend of two keys") << qRgb(0xf0, 0xa2, 0x8e) << qRgb(0xf0, 0xa2, 0x8e);
    }

    void quantisesEachPixel()
    {
        QFETCH(QRgb, pixel);
        QFETCH(QRgb, expected);
        Quantiser quantiser(buildPalette({qRgb(0x20, 0x20, 0x30), RED, CREAM}));
        QImage picture(2, 1, QImage::Format_ARGB32);
        picture.setPixel(0, 0, pixel);
        picture.setPixel(1, 0, CREAM);
        const QImage out = quantiser.quantise(picture);
        const int index = out.pixelIndex(0, 0);
        QCOMPARE(index == TRANSPARENT_INDEX ? QRgb(0) : out.color(index), expected);
        QCOMPARE(out.color(out.pixelIndex(1, 0)), CREAM);
    }

    void soundsLastAndFadeAsAsked_data()
    {
        QTest::addColumn<QByteArray>("wave");
        // Samples at 22050 Hz: the notes plus the time they are left to ring out.
        QTest::addColumn<int>("samples");
        QTest::newRow("one strike") << ringingBell(1000, 1, 0.1) << 13230;
        QTest::newRow("melody") << chime({659.3, 523.3, 587.3, 392.0}, 0.22) << 32634;
    }

    void soundsLastAndFadeAsAsked()
    {
        QFETCH(QByteArray, wave);
        QFETCH(int, samples);
        const QList<qint16> s = readWave(wave).value().samples;
        QCOMPARE(s.size(), samples);
        // Normalised to the same loudness whatever the notes, well clear of clipping.
        const auto loudest = std::max_element(
            s.begin(), s.end(), [](qint16 a, qint16 b) { return std::abs(a) < std::abs(b); });
        QCOMPARE(std::abs(*loudest), 16000);
        // Starts in silence and fades out to nothing, so it does not click.
        QVERIFY(std::abs(s.first()) < 100);
        QCOMPARE(s.last(), qint16(0));
    }

    void bundledCharacterIsCompleteAndRoundTrips_data()
    {
        QTest::addColumn<CharacterDesign>("design");
        for (const CharacterDesign& design : bundledDesigns())
            QTest::newRow(qPrintable(design.fileName)) << design;
    }

    void bundledCharacterIsCompleteAndRoundTrips()
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
};

QTEST_MAIN(TestCharacterBuilder)
#include "test_character_builder.moc"
