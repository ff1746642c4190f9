#include <QTest>

#include "alarms/alarm_check.h"
#include "alarms/alarm_file.h"

using hv::alarms::FiredEntry;
using hv::alarms::TickStep;

class TestAlarmCheck final : public QObject
{
    Q_OBJECT

private slots:

    void firesTheFirstDueAlarm_data()
    {
        QTest::addColumn<QStringList>("alarms"); // time, kind, day, character, message
        QTest::addColumn<QString>("now");        // Saturday 5 December 2026
        QTest::addColumn<bool>("alarmsOn");
        QTest::addColumn<bool>("onScreen");
        QTest::addColumn<TickStep>("step");
        QTest::addColumn<int>("index");
        QTest::addColumn<FiredEntry>("fired");

        const QStringList two{"07:30,Daily,Daily,olwen,First", "07:30,Daily,Daily,tock,Second"};
        QTest::newRow("two in one minute")
            << two << "07:30:59" << true << false << TickStep::FireAlarm << 0 << FiredEntry::Kept;
        QTest::newRow("19:30 is not 07:30, one on screen")
            << QStringList{"19:30,Daily,Daily,olwen,Evening"} << "07:30" << true << true
            << TickStep::RepeatOnScreen << -1 << FiredEntry::Kept;
        QTest::newRow("alarms off")
            << two << "07:30" << false << true << TickStep::GoOn << -1 << FiredEntry::Kept;
        QTest::newRow("unreadable time ends the check")
            << QStringList{"7h30,Daily,Daily,olwen,Tea", two[0]} << "07:30" << true << true
            << TickStep::EndTick << -1 << FiredEntry::Kept;
        QTest::newRow("entries before it still fire")
            << QStringList{two[0], "25:00,Daily,Daily,olwen,Tea"} << "07:30" << true << false
            << TickStep::FireAlarm << 0 << FiredEntry::Kept;
        const QStringList midnight{"00:00,Daily,Daily,olwen,Midnight"};
        QTest::newRow("00:00 at midnight")
            << midnight << "00:00" << true << false << TickStep::FireAlarm << 0 << FiredEntry::Kept;
        QTest::newRow("00:00 not at noon")
            << midnight << "12:00" << true << false << TickStep::GoOn << -1 << FiredEntry::Kept;
        QTest::newRow("empty fields never fire")
            << QStringList{"08:00,Daily,Daily,olwen,", "08:00,Daily,Daily,,Hi",
                           "08:00,Daily,,tock,Hi", "8:00,Once,12/5/2026,tock,Go"}
            << "08:00" << true << false << TickStep::FireAlarm << 3 << FiredEntry::DeleteAfter;
        QTest::newRow("yearly, other days and kinds skipped")
            << QStringList{"08:00,Once,12/6/2026,tock,Go",   "08:00,Weekly,Sun,tock,Go",
                           "08:00,fwdm,fwdm,tock,Go",        "08:00,lwdm,lwdm,tock,Go",
                           "08:00,daily,daily,tock,Go",      "08:00,Yearly,12/5/2025,tock,Go",
                           "08:00,Yearly,12/05/2026,tock,Go"}
            << "08:00" << true << false << TickStep::FireAlarm << 6 << FiredEntry::AdvanceFirst;
    }

    void firesTheFirstDueAlarm()
    {
        QFETCH(QStringList, alarms);
        QFETCH(QString, now);
        QFETCH(bool, alarmsOn);
        QFETCH(bool, onScreen);
        hv::alarms::AlarmTable table;
        for (const QString& line : alarms) {
            const QStringList f = line.split(u',');
            table.Alarms[table.iAlarmCount++] =
                hv::alarms::alarmFromFileWords(f[0], f[1], f[2], f[3], f[4]);
        }
        const QDateTime at(QDate(2026, 12, 5), QTime::fromString(now, Qt::ISODate));
        const hv::alarms::AlarmCheck check =
            hv::alarms::checkAlarms(table, at, alarmsOn, onScreen, QLocale(QLocale::English));
        QTEST(check.step, "step");
        QTEST(check.index, "index");
        QTEST(check.fired, "fired");
    }
};

QTEST_GUILESS_MAIN(TestAlarmCheck)
#include "test_alarm_check.moc"
