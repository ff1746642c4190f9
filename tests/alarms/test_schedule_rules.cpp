#include <QTest>

#include "alarms/alarm_file.h"
#include "alarms/schedule_rules.h"
#include "clock/short_date.h"

using hv::alarms::tAlarm;

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

class TestScheduleRules final : public QObject
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
        const tAlarm alarm{"07:00", hv::alarms::ScheduleKind::Once, text, "olwen", "Go"};
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
        tAlarm alarm{"07:00", hv::alarms::ScheduleKind::Yearly, dates.first(), "olwen", "Birthday"};
        for (qsizetype i = 1; i < dates.size(); ++i) {
            QCOMPARE(hv::alarms::AdvanceYearlyAlarm(alarm, US), dates[i] != dates[0]);
            QCOMPARE(hv::alarms::fileText(alarm.sDay), dates[i]);
        }
    }
};

QTEST_GUILESS_MAIN(TestScheduleRules)
#include "test_schedule_rules.moc"
