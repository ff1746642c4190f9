#include <QTest>

#include "alarms/alarm_check.h"
#include "alarms/alarm_time.h"

class TestAlarmTime final : public QObject
{
    Q_OBJECT

private slots:
    void readsTimeAsTheNumericConversionDoes_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("time"); // empty: refused
        const auto row = [](const char* name, const char* typed, const char* time) {
            QTest::newRow(name) << QString(typed) << QString(time);
        };
        row("single digits", "7:5", "07:05");
        row("blanks around both parts", " 7 : 30 ", "07:30");
        row("signs", "+7:-0", "07:00");
        row("fraction rounds up", "7.5:30", "08:30");
        row("half rounds to even", "6.5:30", "06:30");
        row("fraction rounds out of range", "23.5:00", "");
        row("seconds", "7:30:00", "");
        row("no colon", "730", "");
        row("minute 60", "12:60", "");
        row("negative hour", "-1:00", "");
        row("hour wraps past 16 bits", "65543:00", "");
        row("empty", "", "");
    }
    void readsTimeAsTheNumericConversionDoes()
    {
        QFETCH(QString, typed);
        QFETCH(QString, time);
        const std::optional<QTime> read = hv::alarms::readAlarmTime(typed);
        QCOMPARE(read ? read->toString("HH:mm") : QString(), time);
        // The alarm check reads the file's times the same way.
        const QTime expected = QTime::fromString(time, "HH:mm");
        QCOMPARE(hv::alarms::alarmMinuteOfDay(typed),
                 expected.isValid() ? expected.hour() * 60 + expected.minute() : -1);
    }
};

QTEST_GUILESS_MAIN(TestAlarmTime)
#include "test_alarm_time.moc"
