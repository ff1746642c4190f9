#include <QPainter>
#include <QTest>

#include "characters/character_builder.h"
#include "characters/pose.h"

using namespace agentctl::acs;
using hv::characters::buildCharacter;
using hv::characters::CharacterDesign;
using hv::characters::Pose;

namespace {

enum class Fault
{
    None,
    // An open mouth also paints a pixel far from the mouth.
    SpillsOutsideTheBox,
    // The mouth box is put partly off the frame.
    BoxOffTheFrame,
    // An open mouth punches a see-through hole into the face.
    LeavesAHole,
};

// A plain disc with a mouth that grows with the mouth shape, misbehaving as asked.
CharacterDesign discDesign(Fault fault)
{
    CharacterDesign d;
    d.fileName = QStringLiteral("disc");
    d.name = QStringLiteral("Disc");
    d.keyColours = {qRgb(0x20, 0x20, 0x20), qRgb(0x40, 0x90, 0xd0), qRgb(0x90, 0x20, 0x30)};
    d.paint = [fault](QPainter& painter, const Pose& pose) {
        painter.setPen(QPen(QColor(0x20, 0x20, 0x20), 2));
        painter.setBrush(QColor(0x40, 0x90, 0xd0));
        painter.drawEllipse(QPointF(64 + pose.dx, 70 + pose.dy), 30 * pose.scale, 30 * pose.scale);
        if (pose.mouth == 0)
            return;
        painter.fillRect(QRectF(64 - pose.mouth, 78, 2 * pose.mouth, 4), QColor(0x90, 0x20, 0x30));
        if (fault == Fault::SpillsOutsideTheBox)
            painter.fillRect(QRectF(10, 10, 3, 3), QColor(0x90, 0x20, 0x30));
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
    d.announceSound = QByteArray("RIFF-announce");
    d.showSound = QByteArray("RIFF-show");
    return d;
}

} // namespace

class TestCharacterBuilder final : public QObject
{
    Q_OBJECT

private slots:
    void refusesMouthsThatBreakTheFrame_data();
    void refusesMouthsThatBreakTheFrame();
    void sharesRepeatedPicturesAndPlacesTheMouths();
};

void TestCharacterBuilder::refusesMouthsThatBreakTheFrame_data()
{
    QTest::addColumn<int>("fault");
    QTest::newRow("spills outside its box") << int(Fault::SpillsOutsideTheBox);
    QTest::newRow("box off the frame") << int(Fault::BoxOffTheFrame);
    QTest::newRow("leaves a hole") << int(Fault::LeavesAHole);
}

void TestCharacterBuilder::refusesMouthsThatBreakTheFrame()
{
    QFETCH(int, fault);
    QString error;
    QVERIFY(!buildCharacter(discDesign(Fault(fault)), &error));
    // Named so that whoever drew it can find the frame: the first one that speaks.
    QVERIFY2(error.contains(QStringLiteral("Disc")) && error.contains(QStringLiteral("RestPose")),
             qPrintable(error));
}

void TestCharacterBuilder::sharesRepeatedPicturesAndPlacesTheMouths()
{
    QString error;
    const auto built = buildCharacter(discDesign(Fault::None), &error);
    QVERIFY2(built, qPrintable(error));
    const CharacterFile& c = *built;

    // The rest pose is drawn once, however many animations end on it.
    const Frame& rest = c.findAnimation(u"RestPose")->frames.front();
    const Frame& shown = c.findAnimation(u"Show")->frames.back();
    QCOMPARE(rest.images.size(), 1);
    QCOMPARE(shown.images.front().imageIndex, rest.images.front().imageIndex);
    // Cropped to the disc: radius 30 about (64, 70) with a 2-pixel outline.
    const Image& picture = c.images[int(rest.images.front().imageIndex)];
    QCOMPARE(QRect(rest.images.front().x, rest.images.front().y, picture.width, picture.height),
             QRect(33, 39, 62, 62));

    QCOMPARE(rest.overlays.size(), 7);
    for (const MouthOverlay& mouth : rest.overlays) {
        QCOMPARE(QPoint(mouth.x, mouth.y), QPoint(54, 74));
        QCOMPARE(c.images[mouth.imageIndex].width, quint16(20));
        QCOMPARE(c.images[mouth.imageIndex].height, quint16(12));
        // The closed mouth's picture is all face, so its centre is the box's.
        QCOMPARE(QPoint(mouth.centreX, mouth.centreY), QPoint(64, 80));
    }

    QVERIFY(c.findAnimation(u"Hide")->frames.back().images.isEmpty());
    QCOMPARE(c.sounds, (QVector<QByteArray>{"RIFF-announce", "RIFF-show"}));
    QCOMPARE(c.findAnimation(u"Show")->frames.front().soundIndex, quint16(1));
    int announcing = 0;
    for (const Frame& frame : c.findAnimation(u"Announce")->frames)
        announcing += frame.soundIndex == 0 ? 1 : 0;
    QCOMPARE(announcing, 1);
}

QTEST_MAIN(TestCharacterBuilder)
#include "test_character_builder.moc"
