#include <QTest>

#include "character_compare.h"
#include "sample_character.h"

using namespace engine::acs;
using hv::acs_test::sampleCharacter;
using hv::test::firstDifference;

namespace {

// A picture from rows of text: '#' is index 1, anything else index 0.
CharacterFile pictureCharacter(const QStringList& rows)
{
    QImage picture(int(rows.first().size()), int(rows.size()), QImage::Format_Indexed8);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            picture.scanLine(y)[x] = rows[y][x] == u'#' ? 1 : 0;
    }
    CharacterFile c;
    c.info.palette = {qRgb(9, 9, 9), qRgb(200, 100, 50)};
    c.images.append(imageFromIndexed(picture));
    return readCharacterFile(writeCharacterFile(c)).value();
}

} // namespace

class TestAcsFile final : public QObject
{
    Q_OBJECT

private slots:
    void readsBackEveryFieldAndRewritesByteForByte()
    {
        const QByteArray first = writeCharacterFile(sampleCharacter());
        const CharacterFile read = readCharacterFile(first).value();
        QCOMPARE(firstDifference(read, sampleCharacter()), QString());
        QVERIFY(writeCharacterFile(read) == first);
        QVERIFY(read.images[0].packed);  // large transparent areas
        QVERIFY(!read.images[1].packed); // noise would grow

        // Round trips cannot see a mistake the reader and writer share, so some fields are looked
        // for in the bytes as other programs store them: the signature, the localized table at the
        // end, the GUID in memory order, a palette entry as blue, green, red, 0, the balloon fill
        // as red, green, blue, 0, a record's name upper case, counted and terminated, and a
        // directory's as authored.
        QVERIFY(first.startsWith(QByteArray::fromHex("C3ABCDAB")));
        QVERIFY(first.endsWith(QByteArray::fromHex("05000000650078007400720061000000")));
        for (const char* hex : {"78563412BC9AF0DE0102030405060708", "25FE0200", "FFFFE100",
                                "08000000520045005300540050004F00530045000000",
                                "08000000520065007300740050006F00730065000000"})
            QVERIFY2(first.contains(QByteArray::fromHex(hex)), hex);
    }

    void regionIsTheOpaquePixels_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QVector<QRect>>("rects");
        QTest::newRow("nothing") << QStringList{"....", "...."} << QVector<QRect>{};
        QTest::newRow("single pixel at the bottom right")
            << QStringList{"......", "......", ".....#"} << QVector<QRect>{QRect(5, 2, 1, 1)};
        QTest::newRow("hole splits a band") << QStringList{"###", "#.#", "###"}
                                            << QVector<QRect>{QRect(0, 0, 3, 1), QRect(0, 1, 1, 1),
                                                              QRect(2, 1, 1, 1), QRect(0, 2, 3, 1)};
        QTest::newRow("equal rows merge") << QStringList{".##.", ".##.", ".##.", "#..."}
                                          << QVector<QRect>{QRect(1, 0, 2, 3), QRect(0, 3, 1, 1)};
    }

    void regionIsTheOpaquePixels()
    {
        QFETCH(QStringList, rows);
        QFETCH(QVector<QRect>, rects);
        CharacterFile read = pictureCharacter(rows);
        // Decoded top-down, index 0 see-through.
        const QImage image = decodeImage(read, 0).value();
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                QCOMPARE(image.pixel(x, y), rows[y][x] == u'#' ? qRgb(200, 100, 50) : QRgb(0));
        }
        const QRegion stored = imageRegion(read, 0).value();
        QCOMPARE(QVector<QRect>(stored.begin(), stored.end()), rects);
        // Without a stored region the pixels give the same shape.
        read.images[0].region.clear();
        QCOMPARE(imageRegion(read, 0).value(), stored);
    }
};

QTEST_GUILESS_MAIN(TestAcsFile)
#include "test_acs_file.moc"
