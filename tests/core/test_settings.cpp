#include <QTest>

#include "core/settings.h"

using hv::core::SettingsRecord;

class TestSettings final : public QObject
{
    Q_OBJECT

private slots:
    void writesTheExactLine_data();
    void writesTheExactLine();
    void takesWhatReadsWellFromDamagedFiles_data();
    void takesWhatReadsWellFromDamagedFiles();
};

void TestSettings::writesTheExactLine_data()
{
    QTest::addColumn<SettingsRecord>("settings");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("defaults before the folder is known")
        << SettingsRecord{} << QByteArray("\"Olwen\",1,1,2,1,#FALSE#,\"\"\r\n");
    const SettingsRecord chosen{
        QStringLiteral("Zoë"), 0, 0, 4, 6, true, QStringLiteral("/home/a, user/my chars/")};
    QTest::newRow("every field changed, folder with spaces")
        << chosen << QString("\"Zoë\",0,0,4,6,#TRUE#,\"/home/a, user/my chars/\"\r\n").toUtf8();
}

void TestSettings::writesTheExactLine()
{
    QFETCH(SettingsRecord, settings);
    QFETCH(QByteArray, line);
    QCOMPARE(hv::core::formatSettingsLine(settings), line);
    QCOMPARE(hv::core::parseSettingsLine(line), settings);
}

void TestSettings::takesWhatReadsWellFromDamagedFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<SettingsRecord>("expected");

    const SettingsRecord defaults;
    QTest::newRow("empty") << QByteArray() << defaults;
    QTest::newRow("binary noise") << QByteArray("\xff\xfe\x00\x01,,,\x80", 9) << defaults;

    SettingsRecord shortOne;
    shortOne.sAgentName = QStringLiteral("pim");
    shortOne.iAlarmsOption = 0;
    QTest::newRow("two items") << QByteArray("\"pim\",0") << shortOne;

    SettingsRecord wrongKinds;
    wrongKinds.iPosition = 3;
    wrongKinds.sAgentPath = QStringLiteral("/x/");
    QTest::newRow("words where numbers belong")
        << QByteArray("\"Olwen\",on,\"1\",3,half,#FALSE#,\"/x/\"\r\n") << wrongKinds;

    SettingsRecord outOfRange;
    outOfRange.iBalloonOption = 0;
    QTest::newRow("indexes out of range")
        << QByteArray("\"Olwen\",2,0,5,7,#FALSE#,\"\"\r\n") << outOfRange;
    QTest::newRow("negative indexes")
        << QByteArray("\"Olwen\",-1,0,-3,-1,#FALSE#,\"\"\r\n") << outOfRange;

    SettingsRecord reserved;
    reserved.bReserved = true;
    reserved.iInterval = 6;
    QTest::newRow("only the first line counts")
        << QByteArray("\"Olwen\",1,1,2,6,#TRUE#,\"\"\r\n\"tock\",0,0,0,0,#FALSE#,\"/y/\"\r\n")
        << reserved;

    SettingsRecord unclosed;
    unclosed.sAgentName = QStringLiteral("olwen,1,1,2,1");
    QTest::newRow("quote never closed") << QByteArray("\"olwen,1,1,2,1") << unclosed;
}

void TestSettings::takesWhatReadsWellFromDamagedFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(SettingsRecord, expected);
    const SettingsRecord read = hv::core::parseSettingsLine(file);
    QCOMPARE(read, expected);
    // Whatever was read, the next save writes a line that reads back the same.
    QCOMPARE(hv::core::parseSettingsLine(hv::core::formatSettingsLine(read)), read);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
