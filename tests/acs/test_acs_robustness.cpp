#include <functional>

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include "engine/acs/frame_render.h"
#include "engine/acs/lz_codec.h"
#include "sample_character.h"

using namespace engine::acs;
using hv::acs_test::sampleCharacter;

namespace {

using Change = std::function<void(CharacterFile&, Frame&)>;

quint32 u32At(const QByteArray& bytes, qsizetype offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

// A refused character says why and where.
void verifyRead(const Result<CharacterFile>& read, qsizetype size, bool loads)
{
    QCOMPARE(read.ok(), loads);
    QVERIFY(loads || !read.error().what.isEmpty());
    QVERIFY(loads || (read.error().offset >= 0 && read.error().offset <= size));
}

} // namespace

class TestAcsRobustness final : public QObject
{
    Q_OBJECT

    const QByteArray m_file = writeCharacterFile(sampleCharacter());

private slots:
    void rejectsEveryTruncatedPrefix()
    {
        for (qsizetype size = 0; size < m_file.size(); ++size)
            verifyRead(readCharacterFile(QByteArrayView(m_file).first(size)), size, false);
    }

    void checksFieldsAndReferences_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("loads");
        // RestPose's second frame's after reading: a missing one plays as silence.
        QTest::addColumn<int>("sound");
        const auto row = [](const char* name, const QByteArray& file, bool loads,
                            int sound = NO_SOUND) {
            QTest::newRow(name) << file << loads << sound;
        };
        const auto setAt = [this](qsizetype at, auto value) {
            QByteArray bytes = m_file;
            qToLittleEndian(value, bytes.data() + at);
            return bytes;
        };
        // Changes to the second frame of RestPose, of four.
        const auto withFrame = [](const Change& change) {
            CharacterFile c = sampleCharacter();
            change(c, c.animations[1].frames[1]);
            return writeCharacterFile(c);
        };
        const qsizetype size = m_file.size();
        // The header's locators, in file order: character info, animations, images, sounds.
        const auto locatorField = [](int block) { return 4 + 8 * block; };
        const qsizetype info = u32At(m_file, locatorField(0));
        row("signature", setAt(0, quint8(0xC4)), false);
        row("version 3.0", setAt(info, quint32(0x30000)), false);
        row("version 1.30 of the older format", setAt(info, quint32(0x1001E)), true);
        // The info block runs to the end of the file: its size is at the limit.
        row("info size limit", setAt(locatorField(0) + 4, quint32(size - info)), true);
        row("info size limit + 1", setAt(locatorField(0) + 4, quint32(size - info + 1)), false);
        for (int block = 1; block < 4; ++block) {
            const qsizetype directory = u32At(m_file, locatorField(block));
            row(qPrintable(QStringLiteral("directory %1 count + 1").arg(block)),
                setAt(directory, u32At(m_file, directory) + 1), false);
        }
        // Directory entries: offset, size and checksum of each image or sound.
        const qsizetype images = u32At(m_file, locatorField(2)) + 4;
        // Damage inside an image's record costs that image only.
        row("image one byte short", setAt(images + 4, u32At(m_file, images + 4) - 1), true);
        const qsizetype sounds = u32At(m_file, locatorField(3)) + 4;
        const quint32 soundSize = u32At(m_file, sounds + 4);
        row("sound ending at the end", setAt(sounds, quint32(size - soundSize)), true);
        row("sound ending past the end", setAt(sounds, quint32(size - soundSize + 1)), false);
        row("voice flag cleared", setAt(info + 0x21, quint8(0x10)), false);
        row("image past the last", withFrame([](CharacterFile& c, Frame& f) {
                f.images[0].imageIndex = quint32(c.images.size());
            }),
            false);
        row("last sound", withFrame([](CharacterFile&, Frame& f) { f.soundIndex = 0; }), true, 0);
        row("sound one past the last",
            withFrame([](CharacterFile&, Frame& f) { f.soundIndex = 1; }), true);
        row("exit past the last frame",
            withFrame([](CharacterFile&, Frame& f) { f.exitFrame = 4; }), false);
        row("branch past the last frame",
            withFrame([](CharacterFile&, Frame& f) { f.branches[0].frameIndex = 4; }), false);
        row("mouth shape 7", withFrame([](CharacterFile& c, Frame&) {
                c.animations[1].frames[3].overlays[0].shape = MouthShape(7);
            }),
            false);
    }

    void checksFieldsAndReferences()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, loads);
        QFETCH(int, sound);
        const Result<CharacterFile> read = readCharacterFile(file);
        verifyRead(read, file.size(), loads);
        if (loads)
            QCOMPARE(read.value().animations[1].frames[1].soundIndex, quint16(sound));
    }

    void damagedPartsCostOnlyThemselves_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("status");   // of acstool info and sheet
        QTest::addColumn<QString>("says"); // on standard output, or errors when refused
        const auto with = [](const std::function<void(CharacterFile&, QByteArray&)>& change) {
            CharacterFile c = sampleCharacter();
            QByteArray raster = imagePixels(c.images[0]).value();
            change(c, raster);
            c.images[0].pixels = compress(raster);
            c.images[0].packed = true;
            return writeCharacterFile(c);
        };
        const QString none = QStringLiteral("problems:    0\n");
        QTest::newRow("pixels short of the raster")
            << with([](CharacterFile&, QByteArray& raster) { raster.chop(10); }) << 0
            << "problems:    1\n  image 0: compressed data is shorter than expected\n";
        QByteArray pastRecord = m_file;
        const qsizetype imageDirectory = u32At(m_file, 4 + 8 * 2);
        // Present flag, width, height and compressed flag come before the data size.
        qToLittleEndian(quint32(0x7FFFFFFF),
                        pastRecord.data() + u32At(m_file, imageDirectory + 4) + 6);
        QTest::newRow("data past its record")
            << pastRecord << 0 << "problems:    1\n  image 0: its data runs past its record\n";
        QTest::newRow("spare bytes after the pixels")
            << with([](CharacterFile&, QByteArray& raster) { raster += "spare"; }) << 0 << none;
        QTest::newRow("a match running past the pixels")
            << with([](CharacterFile&, QByteArray& raster) { raster += raster; }) << 0 << none;
        QTest::newRow("sound cut short")
            << with([](CharacterFile& c, QByteArray&) { c.sounds[0].truncate(8); }) << 0
            << "problems:    1\n  sound 0: ";
        QTest::newRow("no animations")
            << with([](CharacterFile& c, QByteArray&) { c.animations.clear(); }) << 0
            << "problems:    1\n  it has no animations\n";
        QTest::newRow("no frame size")
            << with([](CharacterFile& c, QByteArray&) { c.info.width = 0; }) << 1
            << "0 x 40 is out of range";
        QTest::newRow("refused") << m_file.chopped(1) << 1
                                 << "character info lies outside the file (at byte offset 36)";
    }

    void damagedPartsCostOnlyThemselves()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, status);
        QFETCH(QString, says);
        const Result<CharacterFile> read = readCharacterFile(file);
        if (status == 0 && !read.value().animations.isEmpty()) {
            // Show's first frame: the noise image 1 at (-3, 2) over the body, image 0.
            const QImage frame =
                renderFrame(read.value(), read.value().animations[0].frames[0]).value();
            QCOMPARE(frame.pixel(0, 5), decodeImage(read.value(), 1).value().pixel(3, 3));
            QCOMPARE(frame.pixel(20, 20),
                     says.contains(u"image 0") ? QRgb(0) : sampleCharacter().info.palette[40]);
        }
        const QTemporaryDir dir;
        QFile out(dir.filePath(QStringLiteral("c.acs")));
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
        out.close();
        const QString sheet = dir.filePath(QStringLiteral("sheet.png"));
        for (const QStringList& args :
             {QStringList{"info", out.fileName()}, QStringList{"sheet", out.fileName(), sheet}}) {
            QProcess tool;
            tool.start(QStringLiteral(ACSTOOL), args);
            QVERIFY(tool.waitForFinished());
            QCOMPARE(tool.exitCode(), status);
            const QByteArray said =
                status == 0 ? tool.readAllStandardOutput() : tool.readAllStandardError();
            QVERIFY2(said.contains(says.toUtf8()), said.constData());
        }
        QCOMPARE(QFile::exists(sheet), status == 0);
    }
};

QTEST_GUILESS_MAIN(TestAcsRobustness)
#include "test_acs_robustness.moc"
