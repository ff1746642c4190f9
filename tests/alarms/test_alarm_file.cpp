#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "alarms/alarm_file.h"

using hv::alarms::tAlarm;

class TestAlarmFile final : public QObject
{
    Q_OBJECT

private slots:

    void writesAndReadsBackEveryAlarm_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QByteArray>("written"); // the file as we write it back

        const QByteArray three = "\"07:30\",\"Daily\",\"Daily\",\"olwen\",\"Wake up\"\r\n"
                                 "\"12:00\",\"Weekly\",\"Fri\",\"tock\",\"Lunch, then a walk\"\r\n"
                                 "\"23:59\",\"Once\",\"12/31/2026\",\"pim\",\"\"\r\n";
        // Only an entry without a character, time, day or kind is left out.
        const QByteArray incomplete = "\"07:30\",\"Daily\",\"Daily\",\"\",\"a\"\r\n"
                                      "\"\",\"Daily\",\"Daily\",\"olwen\",\"b\"\r\n"
                                      "\"07:32\",\"Weekly\",\"\",\"olwen\",\"c\"\r\n"
                                      "\"07:33\",\"\",\"Mon\",\"olwen\",\"d\"\r\n";
        QTest::newRow("commas inside a message, an empty message, incomplete entries")
            << three + incomplete
            << QStringList{"Wake up", "Lunch, then a walk", "", "a", "b", "c", "d"} << three;
        QTest::newRow("no final line end, blank lines")
            << QByteArray("\r\n\n\"07:30\",\"Daily\",\"Daily\",\"olwen\",\"Tea\"")
            << QStringList{"Tea"}
            << QByteArray("\"07:30\",\"Daily\",\"Daily\",\"olwen\",\"Tea\"\r\n");
        QTest::newRow("Windows code page file")
            << QByteArray("\"07:30\",\"Daily\",\"Daily\",\"olwen\",\"Gr\xfc\xdf"
                          "e, Ren\xe9\"\r\n")
            << QStringList{QStringLiteral(u"Grüße, René")}
            << QByteArray("\"07:30\",\"Daily\",\"Daily\",\"olwen\",\"Gr\xc3\xbc\xc3\x9f"
                          "e, Ren\xc3\xa9\"\r\n");
    }

    void writesAndReadsBackEveryAlarm()
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
        QCOMPARE(hv::alarms::formatAlarmFile(read.alarms.constData(), int(read.alarms.size())),
                 written);
    }

    void keepsEveryRecordNotLoaded()
    {
        const QList<QByteArray> damaged{
            "\"07:30\",\"Daily\",\"Daily\",\"Ren\xe9\"", // four fields, Latin-1 kept as it was
            "\"07:30\",\"Daily\",\"Daily\",\"olwen\",\"Say \"hi\" now\"", // a quote inside
            "\"07:30\",\"Daily\",\"Daily\",\"olwen\",\"No closing quote", // a quote left open
            "07:30,Daily,Daily,olwen,6\" tall",                           // a quote unquoted
        };
        QByteArray file;
        QList<QByteArray> expected = damaged;
        for (int i = 0; i < hv::alarms::MAX_ALARMS + 2; ++i) {
            const QByteArray line =
                "\"07:30\",\"Daily\",\"Daily\",\"olwen\",\"" + QByteArray::number(i) + '"';
            file += line + "\r\n" + (i == 3 ? damaged.join("\r\n") + "\r\n" : QByteArray());
            if (i >= hv::alarms::MAX_ALARMS)
                expected.append(line);
        }
        const hv::alarms::AlarmFileContents read = hv::alarms::parseAlarmFile(file);
        QCOMPARE(read.alarms.size(), hv::alarms::MAX_ALARMS);
        QCOMPARE(read.notLoaded, expected);
    }

    void keepsRecordsInANewFileEachTime()
    {
        QTemporaryDir dir;
        const QString alarmFile = dir.filePath("Alarms.dat");
        const QString first = hv::alarms::keepNotLoadedRecords(alarmFile, {"a\xe9", "\"b\""});
        const QString second = hv::alarms::keepNotLoadedRecords(alarmFile, {"c"});
        QVERIFY(!first.isEmpty() && !second.isEmpty() && first != second);
        QFile firstFile(first);
        QVERIFY(firstFile.open(QIODevice::ReadOnly));
        QCOMPARE(firstFile.readAll(), QByteArray("a\xe9\r\n\"b\"\r\n"));
        const QString message = hv::alarms::notLoadedMessage(2, first);
        QVERIFY(message.startsWith(QLatin1String("2 alarm")) && message.contains(first));
    }
};

QTEST_GUILESS_MAIN(TestAlarmFile)
#include "test_alarm_file.moc"
