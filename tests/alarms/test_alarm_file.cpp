#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "alarms/alarm_file.h"

using hv::alarms::tAlarm;

class TestAlarmFile final : public QObject
{
    Q_OBJECT

private slots:
    void writesAndReadsBackEveryAlarm_data();
    void writesAndReadsBackEveryAlarm();
    void leavesOutEntriesMissingAKeyField();
    void keepsEveryRecordNotLoaded();
    void keepsRecordsInANewFileEachTime();
    void showsRowsWithoutTheYear();
};

void TestAlarmFile::writesAndReadsBackEveryAlarm_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QByteArray>("written"); // the file as we write it back

    const QByteArray three = "\"07:30\",\"Daily\",\"Daily\",\"peedy\",\"Wake up\"\r\n"
                             "\"12:00\",\"Weekly\",\"Fri\",\"genie\",\"Lunch, then a walk\"\r\n"
                             "\"23:59\",\"Once\",\"12/31/2026\",\"merlin\",\"\"\r\n";
    QTest::newRow("commas inside a message, an empty message")
        << three << QStringList{"Wake up", "Lunch, then a walk", ""} << three;
    QTest::newRow("no final line end, blank lines")
        << QByteArray("\r\n\n\"07:30\",\"Daily\",\"Daily\",\"peedy\",\"Tea\"") << QStringList{"Tea"}
        << QByteArray("\"07:30\",\"Daily\",\"Daily\",\"peedy\",\"Tea\"\r\n");
    QTest::newRow("Windows code page file")
        << QByteArray("\"07:30\",\"Daily\",\"Daily\",\"peedy\",\"Gr\xfc\xdf"
                      "e, Ren\xe9\"\r\n")
        << QStringList{QStringLiteral(u"Grüße, René")}
        << QByteArray("\"07:30\",\"Daily\",\"Daily\",\"peedy\",\"Gr\xc3\xbc\xc3\x9f"
                      "e, Ren\xc3\xa9\"\r\n");
    QTest::newRow("empty file") << QByteArray() << QStringList{} << QByteArray();
}

void TestAlarmFile::writesAndReadsBackEveryAlarm()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, messages);
    QFETCH(QByteArray, written);
    const hv::alarms::AlarmFileContents read = hv::alarms::parseAlarmFile(file);
    QStringList readMessages;
    for (const tAlarm& a : read.alarms)
        readMessages.append(a.sMessage);
    QCOMPARE(readMessages, messages);
    QVERIFY(read.notLoaded.isEmpty());
    const QByteArray bytes =
        hv::alarms::formatAlarmFile(read.alarms.constData(), int(read.alarms.size()));
    QCOMPARE(bytes, written);
    QCOMPARE(hv::alarms::parseAlarmFile(bytes).alarms, read.alarms);
}

void TestAlarmFile::leavesOutEntriesMissingAKeyField()
{
    const tAlarm alarms[] = {
        {"07:30", "Daily", "Daily", "", "no character"}, {"07:31", "Daily", "Daily", "peedy", ""},
        {"", "Daily", "Daily", "peedy", "no time"},      {"07:32", "Weekly", "", "peedy", "no day"},
        {"07:33", "", "Mon", "peedy", "no kind"},
    };
    QCOMPARE(hv::alarms::formatAlarmFile(alarms, 5),
             QByteArray("\"07:31\",\"Daily\",\"Daily\",\"peedy\",\"\"\r\n"));
}

void TestAlarmFile::keepsEveryRecordNotLoaded()
{
    const QList<QByteArray> damaged{
        "\"07:30\",\"Daily\",\"Daily\",\"Ren\xe9\"", // four fields, Latin-1 kept as it was
        "\"07:30\",\"Daily\",\"Daily\",\"peedy\",\"Say \"hi\" now\"", // a quote inside
        "\"07:30\",\"Daily\",\"Daily\",\"peedy\",\"No closing quote", // a quote left open
        "07:30,Daily,Daily,peedy,6\" tall",                           // a quote unquoted
    };
    QByteArray file;
    QList<QByteArray> expected = damaged;
    for (int i = 0; i < hv::alarms::MAX_ALARMS + 2; ++i) {
        const QByteArray line =
            "\"07:30\",\"Daily\",\"Daily\",\"peedy\",\"" + QByteArray::number(i) + '"';
        file += line + "\r\n" + (i == 3 ? damaged.join("\r\n") + "\r\n" : QByteArray());
        if (i >= hv::alarms::MAX_ALARMS)
            expected.append(line);
    }
    const hv::alarms::AlarmFileContents read = hv::alarms::parseAlarmFile(file);
    QCOMPARE(read.alarms.size(), hv::alarms::MAX_ALARMS);
    QCOMPARE(read.alarms[4].sMessage, QStringLiteral("4"));
    QCOMPARE(read.notLoaded, expected);
}

void TestAlarmFile::keepsRecordsInANewFileEachTime()
{
    QTemporaryDir dir;
    const QString alarmFile = dir.filePath("Alarms.dat");
    const QString first = hv::alarms::keepNotLoadedRecords(alarmFile, {"a\xe9", "\"b\""});
    const QString second = hv::alarms::keepNotLoadedRecords(alarmFile, {"c"});
    QVERIFY(!first.isEmpty() && !second.isEmpty() && first != second);
    QFile firstFile(first);
    QVERIFY(firstFile.open(QIODevice::ReadOnly));
    QCOMPARE(firstFile.readAll(), QByteArray("a\xe9\r\n\"b\"\r\n"));
    QCOMPARE(QFileInfo(second).dir(), QFileInfo(alarmFile).dir());
    const QString message = hv::alarms::notLoadedMessage(2, first);
    QVERIFY(message.startsWith(QLatin1String("2 alarm")) && message.contains(first));
}

void TestAlarmFile::showsRowsWithoutTheYear()
{
    const tAlarm yearly{"09:05", "Yearly", "12/25/2026", "genie", "Hello, you"};
    QCOMPARE(hv::alarms::alarmRowText(yearly),
             QStringLiteral("09:05\tYearly\t12/25\tgenie\tHello, you"));
    const tAlarm weekly{"09:05", "Weekly", "Thur", "genie", "Hi"};
    QCOMPARE(hv::alarms::alarmRowText(weekly), QStringLiteral("09:05\tWeekly\tThur\tgenie\tHi"));
}

QTEST_GUILESS_MAIN(TestAlarmFile)
#include "test_alarm_file.moc"
