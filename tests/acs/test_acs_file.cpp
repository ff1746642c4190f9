#include <QTest>

#include "sample_character.h"

using namespace agentctl::acs;
using hv::acs_test::sampleCharacter;

namespace {

CharacterFile readBack(const QByteArray& bytes)
{
    Result<CharacterFile> read = readCharacterFile(bytes);
    if (!read)
        qFatal("read failed: %s at %lld", qPrintable(read.error().what), read.error().offset);
    return std::move(read).value();
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
    void readsBackEveryField();
    void rewritesByteForByte();
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
};

void TestAcsFile::readsBackEveryField()
{
    const CharacterFile original = sampleCharacter();
    const CharacterFile read = readBack(writeCharacterFile(original));

    const CharacterInfo& a = original.info;
    const CharacterInfo& b = read.info;
    QCOMPARE(b.guid, a.guid);
    QCOMPARE(b.width, a.width);
    QCOMPARE(b.height, a.height);
    QCOMPARE(b.transparentIndex, a.transparentIndex);
    QCOMPARE(b.flags, a.flags);
    QCOMPARE(b.palette, a.palette);
    QVERIFY(b.voice && b.balloon && b.trayIcon);
    QCOMPARE(b.voice->engineId, a.voice->engineId);
    QCOMPARE(b.voice->modeId, a.voice->modeId);
    QCOMPARE(b.voice->speed, a.voice->speed);
    QCOMPARE(b.voice->dialect, a.voice->dialect);
    QCOMPARE(b.voice->gender, a.voice->gender);
    QCOMPARE(b.voice->age, a.voice->age);
    QCOMPARE(b.voice->style, a.voice->style);
    QCOMPARE(b.balloon->fontName, a.balloon->fontName);
    QCOMPARE(b.balloon->fontHeight, a.balloon->fontHeight);
    QCOMPARE(b.balloon->fontWeight, a.balloon->fontWeight);
    QCOMPARE(b.balloon->fillColor, a.balloon->fillColor);
    QCOMPARE(b.trayIcon->mask, a.trayIcon->mask);
    QCOMPARE(b.trayIcon->color, a.trayIcon->color);
    QCOMPARE(b.states.size(), a.states.size());
    for (qsizetype i = 0; i < a.states.size(); ++i) {
        QCOMPARE(b.states[i].name, a.states[i].name);
        QCOMPARE(b.states[i].animations, a.states[i].animations);
    }
    QCOMPARE(b.localized.size(), a.localized.size());
    for (qsizetype i = 0; i < a.localized.size(); ++i) {
        QCOMPARE(b.localized[i].languageId, a.localized[i].languageId);
        QCOMPARE(b.localized[i].name, a.localized[i].name);
        QCOMPARE(b.localized[i].description, a.localized[i].description);
        QCOMPARE(b.localized[i].extraData, a.localized[i].extraData);
    }

    QCOMPARE(read.animations.size(), original.animations.size());
    for (qsizetype i = 0; i < original.animations.size(); ++i) {
        const Animation& x = original.animations[i];
        const Animation& y = read.animations[i];
        QCOMPARE(y.name, x.name);
        QCOMPARE(y.transition, x.transition);
        QCOMPARE(y.returnAnimation, x.returnAnimation);
        QCOMPARE(y.frames.size(), x.frames.size());
        for (qsizetype f = 0; f < x.frames.size(); ++f) {
            const Frame& p = x.frames[f];
            const Frame& q = y.frames[f];
            QCOMPARE(q.images.size(), p.images.size());
            for (qsizetype k = 0; k < p.images.size(); ++k) {
                QCOMPARE(q.images[k].imageIndex, p.images[k].imageIndex);
                QCOMPARE(q.images[k].x, p.images[k].x);
                QCOMPARE(q.images[k].y, p.images[k].y);
            }
            QCOMPARE(q.soundIndex, p.soundIndex);
            QCOMPARE(q.duration, p.duration);
            QCOMPARE(q.exitFrame, p.exitFrame);
            QCOMPARE(q.branches.size(), p.branches.size());
            for (qsizetype k = 0; k < p.branches.size(); ++k) {
                QCOMPARE(q.branches[k].frameIndex, p.branches[k].frameIndex);
                QCOMPARE(q.branches[k].probability, p.branches[k].probability);
            }
            QCOMPARE(q.overlays.size(), p.overlays.size());
            for (qsizetype k = 0; k < p.overlays.size(); ++k) {
                QCOMPARE(q.overlays[k].shape, p.overlays[k].shape);
                QCOMPARE(q.overlays[k].replaceTopImage, p.overlays[k].replaceTopImage);
                QCOMPARE(q.overlays[k].imageIndex, p.overlays[k].imageIndex);
                QCOMPARE(q.overlays[k].x, p.overlays[k].x);
                QCOMPARE(q.overlays[k].y, p.overlays[k].y);
                QCOMPARE(q.overlays[k].centreX, p.overlays[k].centreX);
                QCOMPARE(q.overlays[k].centreY, p.overlays[k].centreY);
            }
        }
    }

    QCOMPARE(read.images.size(), original.images.size());
    for (qsizetype i = 0; i < original.images.size(); ++i) {
        QCOMPARE(read.images[i].width, original.images[i].width);
        QCOMPARE(read.images[i].height, original.images[i].height);
        const Result<QByteArray> pixels = imagePixels(read.images[i]);
        QVERIFY(pixels.ok());
        QCOMPARE(pixels.value(), original.images[i].pixels);
    }
    QCOMPARE(read.sounds, original.sounds);
}

void TestAcsFile::rewritesByteForByte()
{
    const QByteArray first = writeCharacterFile(sampleCharacter());
    const QByteArray second = writeCharacterFile(readBack(first));
    QCOMPARE(second.size(), first.size());
    QVERIFY(second == first);
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
        const QImage picture = decodeImage(read, i).value();
        QRegion opaque;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                if (qAlpha(picture.pixel(x, y)) != 0)
                    opaque += QRect(x, y, 1, 1);
            }
        }
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
    QTest::newRow("as written") << "RestPose"
                                << "SPEAKING" << true;
    QTest::newRow("lower case") << "restpose"
                                << "speaking" << true;
    QTest::newRow("mixed case") << "rEsTpOsE"
                                << "Speaking" << true;
    QTest::newRow("prefix only") << "Rest"
                                 << "SPEAK" << false;
    QTest::newRow("empty") << ""
                           << "" << false;
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

QTEST_GUILESS_MAIN(TestAcsFile)
#include "test_acs_file.moc"
