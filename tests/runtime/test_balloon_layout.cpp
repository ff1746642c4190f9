#include <QTest>

#include "agentctl/runtime/balloon_layout.h"

using agentctl::runtime::placeBalloon;
using agentctl::runtime::wrapWords;

class TestBalloonLayout final : public QObject
{
    Q_OBJECT

private slots:
    void wrapsWordsIntoLines_data();
    void wrapsWordsIntoLines();
    void placesTheBalloonOnScreenBesideTheCharacter_data();
    void placesTheBalloonOnScreenBesideTheCharacter();
};

void TestBalloonLayout::wrapsWordsIntoLines_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<int>("charsPerLine");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("nothing") << QStringList() << 28 << QStringList();
    QTest::newRow("one line") << QStringList{"The", "time", "is"} << 28
                              << QStringList{"The time is"};
    QTest::newRow("exactly full") << QStringList{"abcd", "efg"} << 8 << QStringList{"abcd efg"};
    QTest::newRow("one over") << QStringList{"abcd", "efgh"} << 8 << QStringList{"abcd", "efgh"};
    QTest::newRow("long word cut")
        << QStringList{"abcdefghij"} << 4 << QStringList{"abcd", "efgh", "ij"};
    QTest::newRow("long word after a short one")
        << QStringList{"ab", "abcdefghij", "c"} << 4 << QStringList{"ab", "abcd", "efgh", "ij c"};
    QTest::newRow("zero width takes one character")
        << QStringList{"ab"} << 0 << QStringList{"a", "b"};
}

void TestBalloonLayout::wrapsWordsIntoLines()
{
    QFETCH(QStringList, words);
    QFETCH(int, charsPerLine);
    QFETCH(QStringList, lines);

    QCOMPARE(wrapWords(words, charsPerLine), lines);
}

void TestBalloonLayout::placesTheBalloonOnScreenBesideTheCharacter_data()
{
    QTest::addColumn<QRect>("character");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QRect>("body");
    QTest::addColumn<QPoint>("tailTip");
    QTest::addColumn<bool>("above");

    // A 100 x 40 body with a 14-pixel tail.
    const QRect screen(0, 0, 800, 600);
    QTest::newRow("room above, centred")
        << QRect(100, 300, 32, 32) << screen << QRect(65, 246, 100, 40) << QPoint(115, 300) << true;
    QTest::newRow("at the top edge, below")
        << QRect(100, 20, 32, 32) << screen << QRect(65, 66, 100, 40) << QPoint(115, 52) << false;
    QTest::newRow("at the left edge, tail still at the middle")
        << QRect(0, 300, 32, 32) << screen << QRect(0, 246, 100, 40) << QPoint(15, 300) << true;
    QTest::newRow("at the right edge, tail clear of the corner")
        << QRect(780, 300, 32, 32) << screen << QRect(700, 246, 100, 40) << QPoint(785, 300)
        << true;
    QTest::newRow("no room either way stays on screen")
        << QRect(50, 30, 32, 32) << QRect(0, 0, 200, 100) << QRect(15, 60, 100, 40)
        << QPoint(65, 46) << false;
}

void TestBalloonLayout::placesTheBalloonOnScreenBesideTheCharacter()
{
    QFETCH(QRect, character);
    QFETCH(QRect, screen);
    QFETCH(QRect, body);
    QFETCH(QPoint, tailTip);
    QFETCH(bool, above);

    const auto geometry = placeBalloon(character, QSize(100, 40), 14, screen);
    QCOMPARE(geometry.body, body);
    QCOMPARE(geometry.tailTip, tailTip);
    QCOMPARE(geometry.above, above);
    QVERIFY(screen.contains(geometry.body));
}

QTEST_GUILESS_MAIN(TestBalloonLayout)
#include "test_balloon_layout.moc"
