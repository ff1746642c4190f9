#include <QFile>
#include <QTest>

#include "character_compare.h"
#include "sample_character.h"

using namespace agentctl::acs;
using hv::acs_test::sampleCharacter;
using hv::test::firstDifference;

namespace {

CharacterFile readBack(const QByteArray& bytes)
{
    Result<CharacterFile> read = readCharacterFile(bytes);
    if (!read)
        qFatal("read failed: %s at %lld", qPrintable(read.error().what), read.error().offset);
    return std::move(read).value();
}

// The pixels of a decoded image that are not transparent, a rectangle for each run in a row.
QRegion opaquePixels(const QImage& picture)
{
    QRegion region;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width();) {
            const int start = x;
            const bool opaque = qAlpha(picture.pixel(x, y)) != 0;
            while (x < picture.width() && (qAlpha(picture.pixel(x, y)) != 0) == opaque)
                ++x;
            if (opaque)
                region += QRect(start, y, x - start, 1);
        }
    }
    return region;
}

QImage indexedPicture(const QStringList& rows)
{
    QImage picture(int(rows.first().size()), int(rows.size()), QImage::Format_Indexed8);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            picture.scanLine(y)[x] = rows[y][x] == u'#' ? 1 : 0;
    }
    return picture;
}

} // namespace

class TestAcsFile final : public QObject
{
    Q_OBJECT

private slots:
    void readsBackEveryFieldAndRewritesByteForByte();
    void storesFieldsInTheirDiskForm_data();
    void storesFieldsInTheirDiskForm();
    void storesRastersCompressedOnlyWhenShorter();
    void decodesImagesTopDownWithTransparency();
    void regionIsTheOpaquePixels_data();
    void regionIsTheOpaquePixels();
    void findsNamesWithoutRegardToCase_data();
    void findsNamesWithoutRegardToCase();
    void fallsBackToNeutralEnglish_data();
    void fallsBackToNeutralEnglish();
    void setsExactlyOneFlagOfEachPair_data();
    void setsExactlyOneFlagOfEachPair();
    void centresTheClosedMouth_data();
    void centresTheClosedMouth();
    void readsARealCharacterWhenGiven();
};

void TestAcsFile::readsBackEveryFieldAndRewritesByteForByte()
{
    const QByteArray first = writeCharacterFile(sampleCharacter());
    const CharacterFile read = readBack(first);
    QCOMPARE(firstDifference(read, sampleCharacter()), QString());
    QVERIFY(writeCharacterFile(read) == first);
}

// Round trips cannot see a mistake the reader and writer share, so a few fields are looked for
// in the bytes as other programs store them.
void TestAcsFile::storesFieldsInTheirDiskForm_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("where"); // 0 at the start, 1 anywhere, 2 at the end
    QTest::newRow("signature") << QByteArray::fromHex("C3ABCDAB") << 0;
    QTest::newRow("GUID in memory order")
        << QByteArray::fromHex("78563412BC9AF0DE0102030405060708") << 1;
    QTest::newRow("palette entry blue, green, red, 0") << QByteArray::fromHex("25FE0200") << 1;
    QTest::newRow("balloon fill as red, green, blue, 0") << QByteArray::fromHex("FFFFE100") << 1;
    QTest::newRow("record name upper case, counted, terminated")
        << QByteArray::fromHex("08000000520045005300540050004F00530045000000") << 1;
    QTest::newRow("directory name as authored")
        << QByteArray::fromHex("08000000520065007300740050006F00730065000000") << 1;
    QTest::newRow("localized table ends the file")
        << QByteArray::fromHex("05000000650078007400720061000000") << 2;
}

void TestAcsFile::storesFieldsInTheirDiskForm()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, where);
    const QByteArray file = writeCharacterFile(sampleCharacter());
    const bool found = where == 0   ? file.startsWith(bytes)
                       : where == 2 ? file.endsWith(bytes)
                                    : file.contains(bytes);
    QVERIFY(found);
}

void TestAcsFile::storesRastersCompressedOnlyWhenShorter()
{
    const CharacterFile read = readBack(writeCharacterFile(sampleCharacter()));
    QVERIFY(read.images[0].packed);  // large transparent areas
    QVERIFY(!read.images[1].packed); // noise
    QVERIFY(read.images[2].isEmpty());
    // Every stored region decodes to the pixels' shape.
    for (int i = 0; i < read.images.size(); ++i) {
        if (read.images[i].isEmpty())
            continue;
        QVERIFY(!read.images[i].region.isEmpty());
        const QRegion opaque = opaquePixels(decodeImage(read, i).value());
        QVERIFY(imageRegion(read, i).value().xored(opaque).isEmpty());
    }
}

void TestAcsFile::decodesImagesTopDownWithTransparency()
{
    CharacterFile c;
    c.info.transparentIndex = 0;
    c.info.palette = {qRgb(9, 9, 9), qRgb(200, 100, 50)}; // index 2 and up lie past the end
    QImage picture = indexedPicture({"#..", "...", "..."});
    picture.scanLine(2)[2] = 2;
    c.images.append(imageFromIndexed(picture));
    const Result<QImage> decoded = decodeImage(readBack(writeCharacterFile(c)), 0);
    QVERIFY(decoded.ok());
    const QImage& image = decoded.value();
    QCOMPARE(image.format(), QImage::Format_ARGB32);
    QCOMPARE(image.size(), QSize(3, 3));
    QCOMPARE(image.pixel(0, 0), qRgb(200, 100, 50));
    QCOMPARE(image.pixel(1, 0), QRgb(0));
    QCOMPARE(image.pixel(0, 2), QRgb(0));
    QCOMPARE(image.pixel(2, 2), qRgb(0, 0, 0));
    QVERIFY(!decodeImage(c, 1).ok());
    QVERIFY(!decodeImage(c, -1).ok());
}

void TestAcsFile::regionIsTheOpaquePixels_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QVector<QRect>>("rects");
    QTest::newRow("nothing") << QStringList{"....", "...."} << QVector<QRect>{};
    QTest::newRow("everything") << QStringList{"#####", "#####"}
                                << QVector<QRect>{QRect(0, 0, 5, 2)};
    QTest::newRow("single pixel at the bottom right")
        << QStringList{"......", "......", ".....#"} << QVector<QRect>{QRect(5, 2, 1, 1)};
    QTest::newRow("hole splits a band") << QStringList{"###", "#.#", "###"}
                                        << QVector<QRect>{QRect(0, 0, 3, 1), QRect(0, 1, 1, 1),
                                                          QRect(2, 1, 1, 1), QRect(0, 2, 3, 1)};
    QTest::newRow("equal rows merge") << QStringList{".##.", ".##.", ".##.", "#..."}
                                      << QVector<QRect>{QRect(1, 0, 2, 3), QRect(0, 3, 1, 1)};
}

void TestAcsFile::regionIsTheOpaquePixels()
{
    QFETCH(QStringList, rows);
    QFETCH(QVector<QRect>, rects);
    CharacterFile c;
    c.info.palette = {qRgb(0, 0, 0), qRgb(1, 1, 1)};
    c.images.append(imageFromIndexed(indexedPicture(rows)));
    const CharacterFile read = readBack(writeCharacterFile(c));
    const Result<QRegion> stored = imageRegion(read, 0);
    QVERIFY(stored.ok());
    const QVector<QRect> got(stored.value().begin(), stored.value().end());
    QCOMPARE(got, rects);
    // Without a stored region the pixels give the same shape.
    CharacterFile bare = read;
    bare.images[0].region.clear();
    QCOMPARE(imageRegion(bare, 0).value(), stored.value());
}

void TestAcsFile::findsNamesWithoutRegardToCase_data()
{
    QTest::addColumn<QString>("animation");
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("found");
    QTest::newRow("as written") << u"RestPose"_qs << u"SPEAKING"_qs << true;
    QTest::newRow("lower case") << u"restpose"_qs << u"speaking"_qs << true;
    QTest::newRow("mixed case") << u"rEsTpOsE"_qs << u"Speaking"_qs << true;
    QTest::newRow("prefix only") << u"Rest"_qs << u"SPEAK"_qs << false;
    QTest::newRow("empty") << QString() << QString() << false;
}

void TestAcsFile::findsNamesWithoutRegardToCase()
{
    QFETCH(QString, animation);
    QFETCH(QString, state);
    QFETCH(bool, found);
    const CharacterFile c = readBack(writeCharacterFile(sampleCharacter()));
    const Animation* a = c.findAnimation(animation);
    const State* s = c.info.findState(state);
    QCOMPARE(a != nullptr, found);
    QCOMPARE(s != nullptr, found);
    if (found) {
        QCOMPARE(a->name, QStringLiteral("RestPose"));
        QCOMPARE(s->name, QStringLiteral("SPEAKING"));
    }
}

void TestAcsFile::fallsBackToNeutralEnglish_data()
{
    QTest::addColumn<QVector<quint16>>("languages");
    QTest::addColumn<int>("wanted");
    QTest::addColumn<int>("expected"); // the language found, or -1 for none
    const QVector<quint16> both{0x0407, LANGID_ENGLISH_NEUTRAL};
    QTest::newRow("exact") << both << 0x0407 << 0x0407;
    QTest::newRow("same primary language") << both << 0x0807 << 0x0407;
    QTest::newRow("other language") << both << 0x0411 << int(LANGID_ENGLISH_NEUTRAL);
    QTest::newRow("US English finds neutral") << both << 0x0409 << int(LANGID_ENGLISH_NEUTRAL);
    QTest::newRow("no English at all") << QVector<quint16>{0x040C, 0x0407} << 0x0411 << 0x040C;
    QTest::newRow("no entries") << QVector<quint16>{} << 0x0409 << -1;
}

void TestAcsFile::fallsBackToNeutralEnglish()
{
    QFETCH(QVector<quint16>, languages);
    QFETCH(int, wanted);
    QFETCH(int, expected);
    CharacterFile c;
    for (const quint16 language : languages)
        c.info.localized.append({language, QString::number(language), QString(), QString()});
    const CharacterInfo info = readBack(writeCharacterFile(c)).info;
    const LocalizedInfo* found = info.findLocalizedInfo(quint16(wanted));
    QCOMPARE(found ? int(found->languageId) : -1, expected);
}

void TestAcsFile::setsExactlyOneFlagOfEachPair_data()
{
    QTest::addColumn<quint32>("flags");
    QTest::addColumn<bool>("voice");
    QTest::addColumn<bool>("balloon");
    QTest::addColumn<quint32>("written");
    QTest::newRow("both blocks") << quint32(0) << true << true << quint32(0x220);
    QTest::newRow("neither block, stale bits")
        << quint32(0x230 | FLAG_STANDARD_ANIMATION_SET) << false << false << quint32(0x100110);
    QTest::newRow("balloon only") << quint32(0x10) << false << true << quint32(0x210);
    QTest::newRow("other bits kept") << quint32(0x70000) << true << false << quint32(0x70120);
}

void TestAcsFile::setsExactlyOneFlagOfEachPair()
{
    QFETCH(quint32, flags);
    QFETCH(bool, voice);
    QFETCH(bool, balloon);
    QFETCH(quint32, written);
    CharacterFile c = sampleCharacter();
    c.info.flags = flags;
    if (!voice)
        c.info.voice.reset();
    if (!balloon)
        c.info.balloon.reset();
    const CharacterInfo info = readBack(writeCharacterFile(c)).info;
    QCOMPARE(info.flags, written);
    QCOMPARE(info.voice.has_value(), voice);
    QCOMPARE(info.balloon.has_value(), balloon);
    QCOMPARE(info.palette, c.info.palette); // the blocks before it were skipped correctly
}

void TestAcsFile::centresTheClosedMouth_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<QPoint>("centre"); // (-1, -1) for none
    QTest::newRow("even box") << QStringList{"....", ".##.", ".##.", "...."} << QPoint(10, 20)
                              << QPoint(12, 22);
    QTest::newRow("single pixel") << QStringList{"#...", "...."} << QPoint(0, 0) << QPoint(0, 0);
    QTest::newRow("odd box rounds down")
        << QStringList{"..###", "..#..", "....."} << QPoint(-4, 3) << QPoint(-1, 4);
    QTest::newRow("holes do not matter")
        << QStringList{"#...#", ".....", "#...."} << QPoint(0, 0) << QPoint(2, 1);
    QTest::newRow("no opaque pixel") << QStringList{"...", "..."} << QPoint(5, 5) << QPoint(-1, -1);
}

void TestAcsFile::centresTheClosedMouth()
{
    QFETCH(QStringList, rows);
    QFETCH(QPoint, offset);
    QFETCH(QPoint, centre);
    CharacterFile c;
    c.images.append(imageFromIndexed(indexedPicture(rows)));
    MouthOverlay closed;
    closed.x = qint16(offset.x());
    closed.y = qint16(offset.y());
    QCOMPARE(mouthCentre(c, closed).value_or(QPoint(-1, -1)), centre);
}

// Real characters cannot be committed; HORAVOX_REAL_ACS may name one kept locally.
void TestAcsFile::readsARealCharacterWhenGiven()
{
    const QString path = qEnvironmentVariable("HORAVOX_REAL_ACS");
    if (path.isEmpty())
        QSKIP("HORAVOX_REAL_ACS names no character file");
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    const Result<CharacterFile> read = readCharacterFile(file.readAll());
    QVERIFY2(read.ok(), qPrintable(read.ok() ? QString() : read.error().what));
    const CharacterFile& c = read.value();
    for (int i = 0; i < c.images.size(); ++i) {
        const Result<QImage> picture = decodeImage(c, i);
        QVERIFY(picture.ok());
        // The stored region, drawn top-down, must be the opaque pixels exactly.
        QVERIFY(imageRegion(c, i).value().xored(opaquePixels(picture.value())).isEmpty());
    }
    QCOMPARE(firstDifference(readBack(writeCharacterFile(c)), c), QString());
}

QTEST_GUILESS_MAIN(TestAcsFile)
#include "test_acs_file.moc"
