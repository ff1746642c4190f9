#include <QTest>

#include "alarms/alarm_file.h"

using hv::alarms::tAlarm;

class TestAlarmFile final : public QObject
{
    Q_OBJECT

private slots:
    void readsEveryWellFormedLine_data();
    void readsEveryWellFormedLine();
    void leavesOutEntriesMissingAKeyField();
    void keepsAtMostTheTableLimit();
    void showsRowsWithoutTheYear_data();
    void showsRowsWithoutTheYear();
};

void TestAlarmFile::readsEveryWellFormedLine_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("messages");

    const QByteArray three = "\"07:30\",\"Daily\",\"Daily\",\"peedy\",\"Wake up\"\r\n"
                             "\"12:00\",\"Weekly\",\"Fri\",\"genie\",\"Lunch, then a walk\"\r\n"
                             "\"23:59\",\"Once\",\"12/31/2026\",\"merlin\",\"\"\r\n";
    QTest::newRow("three alarms, commas inside a message")
        << three << QStringList{"Wake up", "Lunch, then a walk", ""};
    QTest::newRow("no final line end")
        << QByteArray("\"07:30\",\"Daily\",\"Daily\",\"peedy\",\"Wake up\"")
        << QStringList{"Wake up"};
    QTest::newRow("blank lines and a damaged line are skipped")
        << QByteArray("\r\n\"07:30\",\"Daily\",\"Daily\",\"peedy\"\r\n\r\n"
                      "\"08:00\",\"Daily\",\"Daily\",\"peedy\",\"Tea\"\r\n")
        << QStringList{"Tea"};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
}

void TestAlarmFile::readsEveryWellFormedLine()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, messages);
    const QList<tAlarm> alarms = hv::alarms::parseAlarmFile(file);
    QStringList read;
    for (const tAlarm& a : alarms)
        read.append(a.sMessage);
    QCOMPARE(read, messages);
    // What was read is written back byte for byte when every line was whole.
    if (!file.isEmpty() && file.endsWith("\r\n") && !file.startsWith("\r\n"))
        QCOMPARE(hv::alarms::formatAlarmFile(alarms.constData(), int(alarms.size())), file);
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
    QCOMPARE(hv::alarms::formatAlarmFile(alarms, 0), QByteArray());
}

void TestAlarmFile::keepsAtMostTheTableLimit()
{
    QByteArray file;
    for (int i = 0; i < hv::alarms::MAX_ALARMS + 5; ++i)
        file += "\"07:30\",\"Daily\",\"Daily\",\"peedy\",\"" + QByteArray::number(i) + "\"\r\n";
    const QList<tAlarm> alarms = hv::alarms::parseAlarmFile(file);
    QCOMPARE(alarms.size(), hv::alarms::MAX_ALARMS);
    QCOMPARE(alarms.last().sMessage, QString::number(hv::alarms::MAX_ALARMS - 1));
}

void TestAlarmFile::showsRowsWithoutTheYear_data()
{
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("shown");
    QTest::newRow("US date") << "12/25/2026"
                             << "12/25";
    QTest::newRow("weekday") << "Thur"
                             << "Thur";
    QTest::newRow("daily") << "Daily"
                           << "Daily";
    QTest::newRow("first weekday") << "fwdm"
                                   << "fwdm";
    QTest::newRow("dotted date keeps its year") << "25.12.2026"
                                                << "25.12.2026";
}

void TestAlarmFile::showsRowsWithoutTheYear()
{
    QFETCH(QString, day);
    QFETCH(QString, shown);
    const tAlarm alarm{"09:05", "Yearly", day, "genie", "Hello, you"};
    QCOMPARE(hv::alarms::alarmRowText(alarm),
             QStringLiteral("09:05\tYearly\t%1\tgenie\tHello, you").arg(shown));
}

QTEST_GUILESS_MAIN(TestAlarmFile)
#include "test_alarm_file.moc"
