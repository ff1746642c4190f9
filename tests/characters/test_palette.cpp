#include <QImage>
#include <QTest>

#include "characters/palette.h"

using hv::characters::buildPalette;
using hv::characters::Quantiser;
using hv::characters::TRANSPARENT_INDEX;

namespace {

const QRgb INK = qRgb(0x20, 0x20, 0x30);
const QRgb RED = qRgb(0xe0, 0x50, 0x40);
const QRgb CREAM = qRgb(0xff, 0xf4, 0xdc);

QVector<QRgb> manyKeys(int count)
{
    QVector<QRgb> keys;
    for (int i = 0; i < count; ++i)
        keys.append(qRgb((i * 37) % 256, (i * 91) % 256, (i * 53) % 256));
    return keys;
}

} // namespace

class TestPalette final : public QObject
{
    Q_OBJECT

private slots:
    void quantisesEachPixel_data();
    void quantisesEachPixel();
    void paletteKeepsEveryKeyAndOneBackground_data();
    void paletteKeepsEveryKeyAndOneBackground();
};

void TestPalette::quantisesEachPixel_data()
{
    QTest::addColumn<QRgb>("pixel");
    QTest::addColumn<bool>("seeThrough");
    // 0 when any opaque colour will do.
    QTest::addColumn<QRgb>("expected");
    QTest::newRow("nothing drawn") << qRgba(0, 0, 0, 0) << true << QRgb(0);
    QTest::newRow("faint edge") << qRgba(0xe0, 0x50, 0x40, 100) << true << QRgb(0);
    QTest::newRow("edge just under half") << qRgba(0xe0, 0x50, 0x40, 127) << true << QRgb(0);
    QTest::newRow("edge half covered") << qRgba(0xe0, 0x50, 0x40, 128) << false << RED;
    QTest::newRow("key colour") << RED << false << RED;
    QTest::newRow("near a key") << qRgb(0xdd, 0x52, 0x43) << false << RED;
    QTest::newRow("blend of two keys") << qRgb(0xf0, 0xa2, 0x8e) << false << qRgb(0xf0, 0xa2, 0x8e);
    QTest::newRow("the background's own green") << qRgb(0, 255, 0) << false << QRgb(0);
}

void TestPalette::quantisesEachPixel()
{
    QFETCH(QRgb, pixel);
    QFETCH(bool, seeThrough);
    QFETCH(QRgb, expected);
    Quantiser quantiser(buildPalette({INK, RED, CREAM}));
    QImage picture(2, 1, QImage::Format_ARGB32);
    picture.setPixel(0, 0, pixel);
    picture.setPixel(1, 0, CREAM);

    const QImage out = quantiser.quantise(picture);
    QCOMPARE(out.format(), QImage::Format_Indexed8);
    QCOMPARE(out.colorCount(), 256);
    const int index = out.pixelIndex(0, 0);
    QCOMPARE(index == TRANSPARENT_INDEX, seeThrough);
    if (expected != 0)
        QCOMPARE(out.color(index), expected);
    // The neighbour is unaffected by whatever the first pixel was.
    QCOMPARE(out.color(out.pixelIndex(1, 0)), CREAM);
}

void TestPalette::paletteKeepsEveryKeyAndOneBackground_data()
{
    QTest::addColumn<int>("keys");
    QTest::newRow("none") << 0;
    QTest::newRow("three") << 3;
    QTest::newRow("as many as a character uses") << 19;
    QTest::newRow("too many for every blend") << 40;
}

void TestPalette::paletteKeepsEveryKeyAndOneBackground()
{
    QFETCH(int, keys);
    const QVector<QRgb> keyColours = manyKeys(keys);
    const QVector<QRgb> palette = buildPalette(keyColours);
    QVERIFY(palette.size() <= 256);
    QCOMPARE(palette.count(palette[TRANSPARENT_INDEX]), 1);
    for (QRgb key : keyColours) {
        const int at = int(palette.indexOf(key | 0xff000000));
        QVERIFY2(at >= 0 && at != TRANSPARENT_INDEX, qPrintable(QString::number(key, 16)));
    }
}

QTEST_GUILESS_MAIN(TestPalette)
#include "test_palette.moc"
