#include <QTest>

#include "alarms/alarm_check.h"
#include "alarms/alarm_file.h"
#include "alarms/alarm_time.h"
#include "alarms/missed_alarms.h"
#include "alarms/schedule_rules.h"
#include "clock/short_date.h"

using hv::alarms::FiredEntry;
using hv::alarms::ScheduleKind;
using hv::alarms::tAlarm;
using hv::alarms::TickStep;
using Action = hv::alarms::MissedAlarmAction;

namespace {

const QLocale US(QLocale::English, QLocale::UnitedStates);

QDate scanForWeekday(const QDate& day, int step) // from the 1st (step 1) or the last day (-1)
{
    QDate d(day.year(), day.month(), step > 0 ? 1 : day.daysInMonth());
    while (d.dayOfWeek() > 5)
        d = d.addDays(step);
    return d;
}

} // namespace

// When alarms ring: the day rules of each kind, how times are read, the minute's check and the
// report of those missed.
class TestAlarmCheck final : public QObject
{
    Q_OBJECT

private slots:
    void findsTheFirstAndLastWeekdayOfEveryMonth()
    {
        for (QDate d(2000, 1, 1); d.year() <= 2100; d = d.addDays(1)) {
            const bool first = d == scanForWeekday(d, 1), last = d == scanForWeekday(d, -1);
            QVERIFY2(hv::alarms::IsFirstWeekday(d) == first && hv::alarms::IsLastWeekday(d) == last,
                     qPrintable(d.toString(Qt::ISODate)));
        }
    }

    void matchesOnlyTheDayWords()
    {
        // 7 to 13 December 2026 run from Monday to Sunday; the words after "Sun" never fire.
        const QStringList words{"Mon", "Tues", "Wed", "Thur", "Fri", "Sat",
                                "Sun", "Tue",  "Thu", "mon",  ""};
        for (int w = 0; w < words.size(); ++w) {
            const tAlarm alarm =
                hv::alarms::alarmFromFileWords("07:00", "Weekly", words[w], "olwen", "Bins");
            for (int d = 0; d < 7; ++d)
                QVERIFY2(hv::alarms::IsAlarmWeekday(alarm, QDate(2026, 12, 7 + d)) == (w == d),
                         qPrintable(words[w]));
        }
    }

    void readsTheDateInTheLocalesOrder_data()
    {
        QTest::addColumn<QString>("text"); // in the US
        QTest::addColumn<QDate>("date");   // invalid: cannot be read, so never today
        QTest::newRow("month first") << "12/5/2026" << QDate(2026, 12, 5);
        QTest::newRow("day first is not a date") << "25/12/2026" << QDate();
        QTest::newRow("a word") << "Daily" << QDate();
    }

    void readsTheDateInTheLocalesOrder()
    {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QCOMPARE(hv::clock::readShortDate(text, US), date);
        const tAlarm alarm{"07:00", ScheduleKind::Once, text, "olwen", "Go"};
        for (const QDate& today : {date, QDate(2026, 12, 5), QDate(2026, 1, 2), QDate()})
            QCOMPARE(hv::alarms::IsAlarmToday(alarm, today, US), date.isValid() && today == date);
    }

    void readsBackItsOwnDatesInEveryLocale()
    {
        // The locale is made again from the tag kept beside the alarm file.
        const QList<QDate> dates{QDate(2026, 3, 1), QDate(2026, 12, 2), QDate(2028, 2, 29),
                                 QDate(2099, 12, 31)};
        QStringList wrong;
        for (const QLocale& writer : QLocale::matchingLocales(
                 QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
            const QLocale reader(hv::clock::localeTag(writer));
            for (const QDate& date : dates) {
                const QString text = hv::clock::shortDateText(date, writer);
                if (hv::clock::readShortDate(text, reader) != date)
                    wrong.append(writer.name() + ' ' + text);
            }
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(", ")));
    }

    void movesAYearlyAlarm365DaysOn_data()
    {
        QTest::addColumn<QStringList>("dates"); // in the US, each 365 days after the one before
        QTest::newRow("over a 29 February")
            << QStringList{"3/1/2027", "2/29/2028", "2/28/2029", "2/28/2030"};
        QTest::newRow("unreadable date stays") << QStringList{"3/1/202x", "3/1/202x"};
    }

    void movesAYearlyAlarm365DaysOn()
    {
        QFETCH(QStringList, dates);
        tAlarm alarm{"07:00", ScheduleKind::Yearly, dates.first(), "olwen", "Birthday"};
        for (qsizetype i = 1; i < dates.size(); ++i) {
            QCOMPARE(hv::alarms::AdvanceYearlyAlarm(alarm, US), dates[i] != dates[0]);
            QCOMPARE(hv::alarms::fileText(alarm.sDay), dates[i]);
        }
    }

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
        QTest::newRow("00:00 at midnight")
            << QStringList{"00:00,Daily,Daily,olwen,Midnight"} << "00:00" << true << false
            << TickStep::FireAlarm << 0 << FiredEntry::Kept;
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
            hv::alarms::checkAlarms(table, at, alarmsOn, onScreen, US);
        QTEST(check.step, "step");
        QTEST(check.index, "index");
        QTEST(check.fired, "fired");
    }

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
    }
    void readsTimeAsTheNumericConversionDoes()
    {
        QFETCH(QString, typed);
        QFETCH(QString, time);
        const std::optional<QTime> read = hv::alarms::readAlarmTime(typed);
        QCOMPARE(read.has_value(), !time.isEmpty()); // never an invalid time
        QCOMPARE(read ? read->toString("HH:mm") : QString(), time);
    }

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
        const hv::alarms::MissedAlarmReport report =
            hv::alarms::planMissedAlarmReport(table, from, until, US);
        QCOMPARE(report.text, "Horavox - Missed Alarms!\r\n\r\n" + text);
        QCOMPARE(report.title, QString::number(actions.size()) + " Missed Alarm(s)!");
        QCOMPARE(report.actions, actions);
        QCOMPARE(report.unreadableDates, QStringList{"next week (Message: Unreadable)"});
    }
};

QTEST_GUILESS_MAIN(TestAlarmCheck)
#include "test_alarm_check.moc"
