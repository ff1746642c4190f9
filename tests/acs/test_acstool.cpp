#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "agentctl/acs/lz_codec.h"
#include "sample_character.h"

using namespace agentctl::acs;
using hv::acs_test::sampleCharacter;

class TestAcstool final : public QObject
{
    Q_OBJECT

private slots:
    void inspectsWhatPlaysAndRefusesTheRest_data();
    void inspectsWhatPlaysAndRefusesTheRest();

private:
    QTemporaryDir m_dir;
};

void TestAcstool::inspectsWhatPlaysAndRefusesTheRest_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("says"); // on standard output when it succeeds, else on errors
    CharacterFile damaged = sampleCharacter();
    damaged.images[0].pixels = compress(imagePixels(damaged.images[0]).value().chopped(1));
    damaged.images[0].packed = true;
    damaged.sounds[0].truncate(8);
    CharacterFile still = sampleCharacter();
    still.animations.clear();
    CharacterFile sizeless = sampleCharacter();
    sizeless.info.width = 0;
    const QString damage = "problems:    2\n"
                           "  image 0: compressed data is shorter than expected\n"
                           "  sound 0: ";
    for (const QString command : {"info", "sheet"}) {
        QTest::addRow("damaged image and sound, %s", qPrintable(command))
            << writeCharacterFile(damaged) << command << 0 << damage;
        QTest::addRow("no animations, %s", qPrintable(command))
            << writeCharacterFile(still) << command << 0
            << "problems:    1\n  it has no animations\n";
        QTest::addRow("cut short, %s", qPrintable(command))
            << writeCharacterFile(still).chopped(1) << command << 1
            << "character info lies outside the file";
        QTest::addRow("no frame size, %s", qPrintable(command))
            << writeCharacterFile(sizeless) << command << 1 << "frame size 0 x 40 is out of range";
    }
}

void TestAcstool::inspectsWhatPlaysAndRefusesTheRest()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, command);
    QFETCH(int, status);
    QFETCH(QString, says);
    const QString path = m_dir.filePath(QStringLiteral("character.acs"));
    const QString sheet = m_dir.filePath(QStringLiteral("sheet.png"));
    QFile::remove(sheet);
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
    out.close();
    QProcess tool;
    tool.start(QStringLiteral(ACSTOOL),
               command == u"info" ? QStringList{command, path} : QStringList{command, path, sheet});
    QVERIFY(tool.waitForFinished());
    QCOMPARE(tool.exitCode(), status);
    const QString said =
        QString::fromUtf8(status == 0 ? tool.readAllStandardOutput() : tool.readAllStandardError());
    QVERIFY2(said.contains(says), qPrintable(said));
    QCOMPARE(QImage(sheet).isNull(), command == u"info" || status != 0);
}

QTEST_GUILESS_MAIN(TestAcstool)
#include "test_acstool.moc"
