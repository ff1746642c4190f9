#include <functional>

#include <QRandomGenerator>
#include <QTest>
#include <QtEndian>

#include "sample_character.h"

using namespace agentctl::acs;
using hv::acs_test::sampleCharacter;

namespace {

using Patch = std::function<void(QByteArray&)>;
using Change = std::function<void(CharacterFile&)>;

quint32 u32At(const QByteArray& bytes, qsizetype offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

void setU32(QByteArray& bytes, qsizetype offset, quint32 value)
{
    qToLittleEndian(value, bytes.data() + offset);
}

// The header's locators, in file order: character info, animations, images, sounds.
qsizetype locatorField(int block)
{
    return 4 + 8 * block;
}

// Where a string with this text is stored, at its length field.
qsizetype stringAt(const QByteArray& bytes, const QString& text)
{
    QByteArray stored(4, '\0');
    qToLittleEndian(quint32(text.size()), stored.data());
    for (const QChar c : text)
        stored.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    const qsizetype at = bytes.indexOf(stored);
    Q_ASSERT(at >= 0);
    return at;
}

// Every decodable part is decoded, so a fault anywhere in a read character shows up here.
void useEverything(const CharacterFile& c)
{
    for (int i = 0; i < c.images.size(); ++i) {
        (void)decodeImage(c, i);
        (void)imageRegion(c, i);
    }
}

void verifyCleanError(const Result<CharacterFile>& read, qsizetype size)
{
    QVERIFY(!read.ok());
    QVERIFY(!read.error().what.isEmpty());
    QVERIFY(read.error().offset >= 0);
    QVERIFY(read.error().offset <= size);
}

} // namespace

class TestAcsRobustness final : public QObject
{
    Q_OBJECT

private slots:
    void rejectsEveryTruncatedPrefix();
    void checksCorruptFields_data();
    void checksCorruptFields();
    void checksReferencesAndEnums_data();
    void checksReferencesAndEnums();
    void playsAMissingSoundAsSilence_data();
    void playsAMissingSoundAsSilence();
    void survivesRandomDamage();

private:
    const QByteArray m_file = writeCharacterFile(sampleCharacter());
};

void TestAcsRobustness::rejectsEveryTruncatedPrefix()
{
    for (qsizetype size = 0; size < m_file.size(); ++size) {
        const Result<CharacterFile> read = readCharacterFile(QByteArrayView(m_file).first(size));
        verifyCleanError(read, size);
    }
}

void TestAcsRobustness::checksCorruptFields_data()
{
    QTest::addColumn<Patch>("patch");
    QTest::addColumn<bool>("loads");
    const qsizetype size = m_file.size();
    const qsizetype info = u32At(m_file, locatorField(0));

    QTest::newRow("untouched") << Patch([](QByteArray&) {}) << true;
    QTest::newRow("signature") << Patch([](QByteArray& b) { b[0] = char(0xC4); }) << false;
    QTest::newRow("version 3.0") << Patch([info](QByteArray& b) { setU32(b, info, 0x30000); })
                                 << false;
    QTest::newRow("version 1.0") << Patch([info](QByteArray& b) { setU32(b, info, 0x10000); })
                                 << false;
    QTest::newRow("version 1.30 of the older format")
        << Patch([info](QByteArray& b) { setU32(b, info, 0x1001E); }) << true;
    QTest::newRow("version 2.5") << Patch([info](QByteArray& b) { setU32(b, info, 0x20005); })
                                 << true;
    // The info block runs to the end of the file: its size is at the limit.
    QTest::newRow("info size limit")
        << Patch([=](QByteArray& b) { setU32(b, locatorField(0) + 4, quint32(size - info)); })
        << true;
    QTest::newRow("info size limit + 1")
        << Patch([=](QByteArray& b) { setU32(b, locatorField(0) + 4, quint32(size - info + 1)); })
        << false;
    QTest::newRow("info offset at the end")
        << Patch([=](QByteArray& b) { setU32(b, locatorField(0), quint32(size)); }) << false;
    QTest::newRow("info offset wraps")
        << Patch([=](QByteArray& b) { setU32(b, locatorField(0), 0xFFFFFFF0); }) << false;
    for (int block = 1; block < 4; ++block) {
        const qsizetype directory = u32At(m_file, locatorField(block));
        const quint32 count = u32At(m_file, directory);
        QTest::addRow("directory %d count huge", block)
            << Patch([=](QByteArray& b) { setU32(b, directory, 0x7FFFFFFF); }) << false;
        QTest::addRow("directory %d count + 1", block)
            << Patch([=](QByteArray& b) { setU32(b, directory, count + 1); }) << false;
        QTest::addRow("directory %d past the end", block)
            << Patch([=](QByteArray& b) { setU32(b, locatorField(block) + 4, quint32(size)); })
            << false;
    }
    // Directory entries: offset, size and checksum of each image.
    const qsizetype images = u32At(m_file, locatorField(2)) + 4;
    const quint32 firstImage = u32At(m_file, images);
    const quint32 firstImageSize = u32At(m_file, images + 4);
    QTest::newRow("image beyond the end")
        << Patch([=](QByteArray& b) { setU32(b, images, quint32(size) - 1); }) << false;
    QTest::newRow("image one byte short")
        << Patch([=](QByteArray& b) { setU32(b, images + 4, firstImageSize - 1); }) << false;
    QTest::newRow("images claiming the whole file each") << Patch([=](QByteArray& b) {
        for (int i = 0; i < 3; ++i) {
            setU32(b, images + 12 * i, 0);
            setU32(b, images + 12 * i + 4, quint32(size));
        }
    }) << false;
    QTest::newRow("image pixel size huge")
        << Patch([=](QByteArray& b) { setU32(b, firstImage + 6, 0xFFFFFFFF); }) << false;
    QTest::newRow("image raster needs more than stored")
        << Patch([=](QByteArray& b) { b[firstImage + 1] = char(0x7F); }) << true;
    // The sound is moved so that it ends one byte before, at, and one byte past the end.
    const qsizetype sounds = u32At(m_file, locatorField(3)) + 4;
    const quint32 soundSize = u32At(m_file, sounds + 4);
    for (const int past : {-1, 0, 1}) {
        QTest::addRow("sound ending %d after the end", past)
            << Patch([=](QByteArray& b) { setU32(b, sounds, quint32(size - soundSize + past)); })
            << (past <= 0);
    }
    QTest::newRow("state name length huge")
        << Patch([=](QByteArray& b) { setU32(b, stringAt(b, "SPEAKING"), 0x40000000); }) << false;
    QTest::newRow("localized name length over by one") << Patch([=](QByteArray& b) {
        const qsizetype at = stringAt(b, "Uhri");
        setU32(b, at, quint32((size - at - 4) / 2));
    }) << false;
    QTest::newRow("dialect length huge")
        << Patch([=](QByteArray& b) { setU32(b, stringAt(b, "US English"), 0xFFFFFFFF); }) << false;
    QTest::newRow("voice flag cleared")
        << Patch([=](QByteArray& b) { b[info + 0x21] = char(0x10); }) << false;
}

void TestAcsRobustness::checksCorruptFields()
{
    QFETCH(Patch, patch);
    QFETCH(bool, loads);
    QByteArray bytes = m_file;
    patch(bytes);
    const Result<CharacterFile> read = readCharacterFile(bytes);
    if (loads) {
        QVERIFY2(read.ok(), qPrintable(read.ok() ? QString() : read.error().what));
        useEverything(read.value());
    } else {
        verifyCleanError(read, bytes.size());
    }
}

void TestAcsRobustness::checksReferencesAndEnums_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<bool>("loads");
    const auto frame = [](CharacterFile& c) -> Frame& { return c.animations[1].frames[1]; };
    const auto edge = [](CharacterFile& c) { return int(c.animations[1].frames.size()); };

    QTest::newRow("last image") << Change([=](CharacterFile& c) {
        frame(c).images[0].imageIndex = quint32(c.images.size() - 1);
    }) << true;
    QTest::newRow("image past the last") << Change([=](CharacterFile& c) {
        frame(c).images[0].imageIndex = quint32(c.images.size());
    }) << false;
    QTest::newRow("last sound") << Change([=](CharacterFile& c) { frame(c).soundIndex = 0; })
                                << true;
    QTest::newRow("exit to the last frame")
        << Change([=](CharacterFile& c) { frame(c).exitFrame = qint16(edge(c) - 1); }) << true;
    QTest::newRow("exit past the last frame")
        << Change([=](CharacterFile& c) { frame(c).exitFrame = qint16(edge(c)); }) << false;
    QTest::newRow("exit -3") << Change([=](CharacterFile& c) { frame(c).exitFrame = -3; }) << false;
    QTest::newRow("branch to the last frame")
        << Change([=](CharacterFile& c) { frame(c).branches[0].frameIndex = quint16(edge(c) - 1); })
        << true;
    QTest::newRow("branch past the last frame")
        << Change([=](CharacterFile& c) { frame(c).branches[0].frameIndex = quint16(edge(c)); })
        << false;
    QTest::newRow("transition type 3")
        << Change([](CharacterFile& c) { c.animations[0].transition = Transition(3); }) << false;
    QTest::newRow("mouth shape 7") << Change([](CharacterFile& c) {
        c.animations[1].frames[3].overlays[0].shape = MouthShape(7);
    }) << false;
    QTest::newRow("mouth image past the last") << Change([](CharacterFile& c) {
        c.animations[1].frames[3].overlays[0].imageIndex = quint16(c.images.size());
    }) << false;
    QTest::newRow("no animations at all")
        << Change([](CharacterFile& c) { c.animations.clear(); }) << true;
    QTest::newRow("animation without frames")
        << Change([](CharacterFile& c) { c.animations[0].frames.clear(); }) << true;
    QTest::newRow("overlay with its own region") << Change([](CharacterFile& c) {
        c.animations[1].frames[3].overlays[2].region = QByteArray(48, '\0');
    }) << true;
    QTest::newRow("empty palette")
        << Change([](CharacterFile& c) { c.info.palette.clear(); }) << true;
}

void TestAcsRobustness::checksReferencesAndEnums()
{
    QFETCH(Change, change);
    QFETCH(bool, loads);
    CharacterFile c = sampleCharacter();
    change(c);
    const QByteArray bytes = writeCharacterFile(c);
    const Result<CharacterFile> read = readCharacterFile(bytes);
    if (loads) {
        QVERIFY2(read.ok(), qPrintable(read.ok() ? QString() : read.error().what));
        useEverything(read.value());
        QVERIFY(writeCharacterFile(read.value()) == bytes);
    } else {
        verifyCleanError(read, bytes.size());
    }
}

void TestAcsRobustness::playsAMissingSoundAsSilence_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("one past the last") << 1;
    QTest::newRow("0xFFFE, the other no-sound mark") << 0xFFFE;
    QTest::newRow("far past the last") << 0x7FFF;
}

void TestAcsRobustness::playsAMissingSoundAsSilence()
{
    QFETCH(int, index);
    CharacterFile c = sampleCharacter();
    c.animations[1].frames[1].soundIndex = quint16(index);
    const Result<CharacterFile> read = readCharacterFile(writeCharacterFile(c));
    QVERIFY(read.ok());
    QCOMPARE(read.value().animations[1].frames[1].soundIndex, NO_SOUND);
    QCOMPARE(read.value().animations[0].frames[0].soundIndex, quint16(0));
}

void TestAcsRobustness::survivesRandomDamage()
{
    QRandomGenerator random(20261205);
    int loaded = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes = m_file;
        const int hits = 1 + int(random.bounded(4));
        for (int i = 0; i < hits; ++i)
            bytes[random.bounded(int(bytes.size()))] = char(random.bounded(256));
        const Result<CharacterFile> read = readCharacterFile(bytes);
        if (read.ok()) {
            ++loaded;
            useEverything(read.value());
        } else {
            verifyCleanError(read, bytes.size());
        }
    }
    // Most single-byte damage lands in pixels or names, which still load.
    QVERIFY(loaded > 0);
}

QTEST_GUILESS_MAIN(TestAcsRobustness)
#include "test_acs_robustness.moc"
