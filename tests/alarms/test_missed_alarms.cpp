#include <QTest>

#include "alarms/missed_alarms.h"

using hv::alarms::ScheduleKind;
using Action = hv::alarms::MissedAlarmAction;

class TestMissedAlarms final : public QObject
{
    Q_OBJECT

private slots:

    void reportsAndRemovesPastDates_data()
    {
        QTest::addColumn<QDateTime>("from");
        QTest::addColumn<QDateTime>("until");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<Action>>("actions");
        const QDate today(2026, 12, 5);
        // Each deletion moves the later entries up: the second one-time alarm is then row 0.
        QTest::newRow("start-up: earlier days")
            << QDateTime() << today.startOfDay()
            << QStringLiteral("Once Alarm for: 12/1/2026 Missed!\r\nMessage: Pay rent\r\n"
                              "Once Alarm for: 12/2/2026 Missed!\r\nMessage: Call Bob, then "
                              "Ann\r\nYearly Alarm for: 3/1/2024 Missed!\r\nMessage: Birthday\r\n")
            << QList<Action>{{Action::Kind::DeleteRow, 0},
                             {Action::Kind::DeleteRow, 0},
                             {Action::Kind::AdvanceYearly, 2}};
        // The clock passed from 00:01 to 09:00 unchecked: the minutes before it were seen.
        QTest::newRow("a gap today")
            << QDateTime(today, QTime(0, 1)) << QDateTime(today, QTime(9, 0))
            << QStringLiteral("Once Alarm for: 12/5/2026 Missed!\r\nMessage: Today\r\n")
            << QList<Action>{{Action::Kind::DeleteRow, 6}};
    }

    void reportsAndRemovesPastDates()
    {
        QFETCH(QDateTime, from);
        QFETCH(QDateTime, until);
        QFETCH(QString, text);
        QFETCH(QList<Action>, actions);
        hv::alarms::AlarmTable table;
        table.iAlarmCount = 9;
        table.Alarms = {{{"09:00", ScheduleKind::Once, "12/1/2026", "olwen", "Pay rent"},
                         {"10:00", ScheduleKind::Once, "12/2/2026", "tock", "Call Bob, then Ann"},
                         {"11:00", ScheduleKind::Once, "next week", "tock", "Unreadable"},
                         {"12:00", ScheduleKind::Daily, "Daily", "tock", "Every day"},
                         {"07:00", ScheduleKind::Yearly, "3/1/2024", "pim", "Birthday"},
                         {"00:00", ScheduleKind::Once, "12/5/2026", "pim", "Before the gap"},
                         {"08:59", ScheduleKind::Once, "12/5/2026", "pim", "Today"},
                         {"09:00", ScheduleKind::Once, "12/5/2026", "pim", "Now"},
                         {"09:00", "once", "12/1/2026", "pim", "No kind of ours"}}};
        const hv::alarms::MissedAlarmReport report = hv::alarms::planMissedAlarmReport(
            table, from, until, QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(report.text, "Horavox - Missed Alarms!\r\n\r\n" + text);
        QCOMPARE(report.title, QString::number(actions.size()) + " Missed Alarm(s)!");
        QCOMPARE(report.actions, actions);
        QCOMPARE(report.unreadableDates, QStringList{"next week (Message: Unreadable)"});
    }
};

QTEST_GUILESS_MAIN(TestMissedAlarms)
#include "test_missed_alarms.moc"
