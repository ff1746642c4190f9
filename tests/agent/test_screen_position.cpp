#include <QTest>

#include "agent/screen_position.h"

class TestScreenPosition final : public QObject
{
    Q_OBJECT

private slots:
    void placesTheCharacter_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QRect>("workArea");
        QTest::addColumn<QPoint>("expected");

        // The character is 128 pixels square; every corner leaves it 5 pixels to the area's edges.
        const QRect xga(0, 0, 1024, 768);
        QTest::newRow("bottom right") << 3 << xga << QPoint(891, 635);
        QTest::newRow("centre, halves down to even")
            << 4 << QRect(0, 0, 1025, 769) << QPoint(448, 320);
        QTest::newRow("centre, halves up to even")
            << 4 << QRect(0, 0, 1027, 771) << QPoint(450, 322);
        // Panels: 48 pixels on the left, 24 at the top.
        const QRect leftPanel(48, 0, 976, 768);
        QTest::newRow("top left beside a left panel") << 0 << leftPanel << QPoint(53, 5);
        QTest::newRow("centre beside a left panel") << 4 << leftPanel << QPoint(472, 320);
        const QRect topPanel(0, 24, 1920, 1056);
        QTest::newRow("top right under a top panel") << 1 << topPanel << QPoint(1787, 29);
        QTest::newRow("bottom left under a top panel") << 2 << topPanel << QPoint(5, 947);
    }

    void placesTheCharacter()
    {
        QFETCH(int, position);
        QFETCH(QRect, workArea);
        QFETCH(QPoint, expected);
        QCOMPARE(hv::agent::agentPosition(position, workArea), expected);
    }
};

QTEST_GUILESS_MAIN(TestScreenPosition)
#include "test_screen_position.moc"
