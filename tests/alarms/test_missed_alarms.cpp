#include <QTest>

#include "alarms/missed_alarms.h"

using Action = hv::alarms::MissedAlarmAction;

class TestMissedAlarms final : public QObject
{
    Q_OBJECT

private slots:

    void reportsAndRemovesPastDates()
    {
        hv::alarms::AlarmTable table;
        table.iAlarmCount = 6;
        table.Alarms = {{{"09:00", "Once", "12/1/2026", "olwen", "Pay rent"},
                         {"10:00", "Once", "12/2/2026", "tock", "Call Bob, then Ann"},
                         {"11:00", "Once", "next week", "tock", "Unreadable"},
                         {"12:00", "Daily", "Daily", "tock", "Every day"},
                         {"07:00", "Yearly", "3/1/2024", "pim", "Birthday"},
                         {"00:01", "Once", "12/5/2026", "pim", "Today, already past"}}};
        const hv::alarms::MissedAlarmReport report = hv::alarms::planMissedAlarmReport(
            table, QDate(2026, 12, 5), QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(report.text, QStringLiteral("Horavox - Missed Alarms!\r\n\r\n"
                                             "Once Alarm for: 12/1/2026 Missed!\r\n"
                                             "Message: Pay rent\r\n"
                                             "Once Alarm for: 12/2/2026 Missed!\r\n"
                                             "Message: Call Bob, then Ann\r\n"
                                             "Yearly Alarm for: 3/1/2024 Missed!\r\n"
                                             "Message: Birthday\r\n"));
        QCOMPARE(report.title, QStringLiteral("3 Missed Alarm(s)!"));
        // Each deletion moves the later entries up: the second one-time alarm is then row 0.
        const QList<Action> actions{{Action::Kind::DeleteRow, 0},
                                    {Action::Kind::DeleteRow, 0},
                                    {Action::Kind::AdvanceYearly, 2}};
        QCOMPARE(report.actions, actions);
    }
};

QTEST_GUILESS_MAIN(TestMissedAlarms)
#include "test_missed_alarms.moc"
