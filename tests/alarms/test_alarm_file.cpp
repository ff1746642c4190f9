#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "alarms/alarm_file.h"

using hv::alarms::tAlarm;

namespace {

hv::alarms::AlarmFileContents read(QByteArray bytes, QByteArray* notLoaded = nullptr)
{
    QBuffer file(&bytes);
    QBuffer aside(notLoaded);
    file.open(QIODevice::ReadOnly);
    aside.open(QIODevice::WriteOnly);
    return hv::alarms::readAlarmFile(file, notLoaded ? &aside : nullptr);
}

} // namespace

class TestAlarmFile final : public QObject
{
    Q_OBJECT

private slots:

    void writesAndReadsBackEveryAlarm_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("rows");   // the list's rows of the alarms read
        QTest::addColumn<QByteArray>("written"); // the file as we write it back

        const QByteArray three = "\"07:30\",\"Daily\",\"Daily\",\"olwen\",\"Wake up\"\r\n"
                                 "\"12:00\",\"Weekly\",\"Fri\",\"tock\",\"Lunch, then a walk\"\r\n"
                                 "\"23:59\",\"Once\",\"12/31/2026\",\"pim\",\"\"\r\n"
                                 "\"06:00\",\"weekly\",\"fri\",\"tock\",\"As written\"\r\n";
        // Only an entry without a character, time, day or kind is left out.
        const QByteArray incomplete = "\"07:30\",\"Daily\",\"Daily\",\"\",\"a\"\r\n"
                                      "\"\",\"Daily\",\"Daily\",\"olwen\",\"b\"\r\n"
                                      "\"07:32\",\"Weekly\",\"\",\"olwen\",\"c\"\r\n"
                                      "\"07:33\",\"\",\"Mon\",\"olwen\",\"d\"\r\n";
        QTest::newRow("commas inside a message, an empty message, incomplete entries")
            << three + incomplete
            << QStringList{"07:30\tDaily\tDaily\tolwen\tWake up",
                           "12:00\tWeekly\tFri\ttock\tLunch, then a walk",
                           "23:59\tOnce\t12/31\tpim\t",
                           "06:00\tweekly\tfri\ttock\tAs written",
                           "07:30\tDaily\tDaily\t\ta",
                           "\tDaily\tDaily\tolwen\tb",
                           "07:32\tWeekly\t\tolwen\tc",
                           "07:33\t\tMon\tolwen\td"}
            << three;
        QTest::newRow("no final line end, blank lines")
            << QByteArray("\r\n\n\"07:30\",\"Daily\",\"Daily\",\"olwen\",\"Tea\"")
            << QStringList{"07:30\tDaily\tDaily\tolwen\tTea"}
            << QByteArray("\"07:30\",\"Daily\",\"Daily\",\"olwen\",\"Tea\"\r\n");
        QTest::newRow("Windows code page file")
            << QByteArray("\"07:30\",\"Daily\",\"Daily\",\"olwen\",\"Gr\xfc\xdf"
                          "e, Ren\xe9\"\r\n")
            << QStringList{QStringLiteral(u"07:30\tDaily\tDaily\tolwen\tGrüße, René")}
            << QByteArray("\"07:30\",\"Daily\",\"Daily\",\"olwen\",\"Gr\xc3\xbc\xc3\x9f"
                          "e, Ren\xc3\xa9\"\r\n");
    }

    void writesAndReadsBackEveryAlarm()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, rows);
        QFETCH(QByteArray, written);
        const hv::alarms::AlarmFileContents contents = read(file);
        QStringList readRows;
        for (const tAlarm& a : contents.alarms)
            readRows.append(hv::alarms::alarmRowText(a));
        QCOMPARE(readRows, rows);
        QCOMPARE(contents.unreadable + contents.overLimit, 0);
        QCOMPARE(
            hv::alarms::formatAlarmFile(contents.alarms.constData(), int(contents.alarms.size())),
            written);
    }

    void keepsEveryRecordNotLoaded()
    {
        const QList<QByteArray> damaged{
            "\"07:30\",\"Daily\",\"Daily\",\"Ren\xe9\"", // four fields, Latin-1 kept as it was
            "\"07:30\",\"Daily\",\"Daily\",\"olwen\",\"Say \"hi\" now\"", // a quote inside
            "\"07:30\",\"Daily\",\"Daily\",\"olwen\",\"No closing quote", // a quote left open
            "07:30,Daily,Daily,olwen,6\" tall",                           // a quote unquoted
            "\"07:30\",\"Daily\",\"" + QByteArray(200000, 'x') + '"',     // longer than any record
        };
        QByteArray file;
        QByteArray expected = damaged.join("\r\n") + "\r\n";
        for (int i = 0; i < hv::alarms::MAX_ALARMS + 2; ++i) {
            const QByteArray line =
                "\"07:30\",\"Daily\",\"Daily\",\"olwen\",\"" + QByteArray::number(i) + '"';
            file += line + "\r\n" + (i == 3 ? damaged.join("\r\n") + "\r\n" : QByteArray());
            if (i >= hv::alarms::MAX_ALARMS)
                expected.append(line + "\r\n");
        }
        QByteArray notLoaded;
        const hv::alarms::AlarmFileContents contents = read(file, &notLoaded);
        QCOMPARE(contents.alarms.size(), hv::alarms::MAX_ALARMS);
        QCOMPARE(contents.unreadable, damaged.size());
        QCOMPARE(contents.overLimit, 2);
        QCOMPARE(notLoaded, expected);

        // Kept aside in a new file each time, and the message tells the two apart.
        QTemporaryDir dir;
        const QString alarmFile = dir.filePath("Alarms.dat");
        QFile out(alarmFile);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
        out.close();
        const QString first = hv::alarms::keepNotLoadedRecords(alarmFile);
        const QString second = hv::alarms::keepNotLoadedRecords(alarmFile);
        QVERIFY(!first.isEmpty() && !second.isEmpty() && first != second);
        QCOMPARE(QFile(first).size(), expected.size()); // what the reading above kept aside
        const QString message = hv::alarms::notLoadedMessage(contents, first);
        QVERIFY(message.contains(first) &&
                message.startsWith("5 alarm record(s) in Alarms.dat could not be read.\r\n"
                                   "2 alarm record(s) in Alarms.dat came after the limit of 75"));
    }
};

QTEST_GUILESS_MAIN(TestAlarmFile)
#include "test_alarm_file.moc"
