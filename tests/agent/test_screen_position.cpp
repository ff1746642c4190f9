#include <QTest>

#include "agent/screen_position.h"

class TestScreenPosition final : public QObject
{
    Q_OBJECT

private slots:
    void placesTheCharacter_data();
    void placesTheCharacter();
};

void TestScreenPosition::placesTheCharacter_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QPoint>("expected");

    const QSize xga(1024, 768);
    QTest::newRow("top left") << 0 << xga << QPoint(5, 5);
    QTest::newRow("top right") << 1 << xga << QPoint(864, 5);
    QTest::newRow("bottom left") << 2 << xga << QPoint(5, 615);
    QTest::newRow("bottom right") << 3 << xga << QPoint(864, 615);
    QTest::newRow("centre") << 4 << xga << QPoint(432, 320);
    QTest::newRow("centre, halves down to even") << 4 << QSize(1025, 769) << QPoint(432, 320);
    QTest::newRow("centre, halves up to even") << 4 << QSize(1027, 771) << QPoint(434, 322);
    QTest::newRow("full HD bottom right") << 3 << QSize(1920, 1080) << QPoint(1760, 927);
}

void TestScreenPosition::placesTheCharacter()
{
    QFETCH(int, position);
    QFETCH(QSize, screen);
    QFETCH(QPoint, expected);
    QCOMPARE(hv::agent::agentPosition(position, screen), expected);
}

QTEST_GUILESS_MAIN(TestScreenPosition)
#include "test_screen_position.moc"
