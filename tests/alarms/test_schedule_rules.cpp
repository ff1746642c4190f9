#include <QTest>

#include "alarms/schedule_rules.h"
#include "clock/short_date.h"

using hv::alarms::tAlarm;

class TestScheduleRules final : public QObject
{
    Q_OBJECT

private slots:
    void findsTheFirstAndLastWeekdayOfEveryMonth();
    void firesOnTheMonthsEdgeWeekdays_data();
    void firesOnTheMonthsEdgeWeekdays();
    void matchesOnlyTheDayWords();
    void readsTheDateInTheLocalesOrder_data();
    void readsTheDateInTheLocalesOrder();
    void movesAYearlyAlarm365DaysOn_data();
    void movesAYearlyAlarm365DaysOn();
};

namespace {

QDate scanForWeekday(const QDate& day, int step) // from the 1st (step 1) or the last day (-1)
{
    QDate d(day.year(), day.month(), step > 0 ? 1 : day.daysInMonth());
    while (d.dayOfWeek() > 5)
        d = d.addDays(step);
    return d;
}

} // namespace

void TestScheduleRules::findsTheFirstAndLastWeekdayOfEveryMonth()
{
    for (QDate d(2000, 1, 1); d.year() <= 2100; d = d.addDays(1)) {
        QVERIFY2(hv::alarms::IsFirstWeekday(d) == (d == scanForWeekday(d, 1)),
                 qPrintable(d.toString(Qt::ISODate)));
        QVERIFY2(hv::alarms::IsLastWeekday(d) == (d == scanForWeekday(d, -1)),
                 qPrintable(d.toString(Qt::ISODate)));
    }
}

void TestScheduleRules::firesOnTheMonthsEdgeWeekdays_data()
{
    QTest::addColumn<QDate>("day");
    QTest::addColumn<bool>("first");
    QTest::addColumn<bool>("last");
    QTest::newRow("month begins on a Saturday") << QDate(2025, 2, 1) << false << false;
    QTest::newRow("its Monday the 3rd") << QDate(2025, 2, 3) << true << false;
    QTest::newRow("month begins on a Sunday: Monday the 2nd") << QDate(2025, 6, 2) << true << false;
    QTest::newRow("29 February 2032, a Sunday") << QDate(2032, 2, 29) << false << false;
    QTest::newRow("Friday 27 February 2032") << QDate(2032, 2, 27) << false << true;
    QTest::newRow("30-day month ends Saturday: Friday 29") << QDate(2023, 9, 29) << false << true;
}

void TestScheduleRules::firesOnTheMonthsEdgeWeekdays()
{
    QFETCH(QDate, day);
    QFETCH(bool, first);
    QFETCH(bool, last);
    QCOMPARE(hv::alarms::IsFirstWeekday(day), first);
    QCOMPARE(hv::alarms::IsLastWeekday(day), last);
}

void TestScheduleRules::matchesOnlyTheDayWords()
{
    // 7 to 13 December 2026 run from Monday to Sunday; the words after "Sun" never fire.
    const QStringList words{"Mon", "Tues", "Wed", "Thur", "Fri", "Sat",
                            "Sun", "Tue",  "Thu", "mon",  ""};
    for (int w = 0; w < words.size(); ++w) {
        const tAlarm alarm{"07:00", "Weekly", words[w], "peedy", "Bins"};
        for (int d = 0; d < 7; ++d)
            QVERIFY2(hv::alarms::IsAlarmWeekday(alarm, QDate(2026, 12, 7 + d)) == (w == d),
                     qPrintable(words[w]));
    }
}

void TestScheduleRules::readsTheDateInTheLocalesOrder_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date"); // invalid: cannot be read, so never today
    QTest::newRow("US") << "en_US"
                        << "12/5/2026" << QDate(2026, 12, 5);
    QTest::newRow("US, two-digit year") << "en_US"
                                        << "01/02/26" << QDate(2026, 1, 2);
    QTest::newRow("US, day first is not a date") << "en_US"
                                                 << "25/12/2026" << QDate();
    QTest::newRow("German") << "de_DE"
                            << "05.12.2026" << QDate(2026, 12, 5);
    QTest::newRow("German, single digits") << "de_DE"
                                           << "1.2.2026" << QDate(2026, 2, 1);
    QTest::newRow("no 29 February 2027") << "en_US"
                                         << "2/29/2027" << QDate();
    QTest::newRow("a word") << "en_US"
                            << "Daily" << QDate();
}

void TestScheduleRules::readsTheDateInTheLocalesOrder()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(QDate, date);
    QCOMPARE(hv::clock::readShortDate(text, QLocale(locale)), date);
    const tAlarm alarm{"07:00", "Once", text, "peedy", "Go"};
    for (const QDate& today : {date, QDate(2026, 12, 5), QDate(2026, 1, 2), QDate()})
        QCOMPARE(hv::alarms::IsAlarmToday(alarm, today, QLocale(locale)),
                 date.isValid() && today == date);
}

void TestScheduleRules::movesAYearlyAlarm365DaysOn_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("dates"); // each one 365 days after the one before
    QTest::newRow("US, over a 29 February")
        << "en_US" << QStringList{"3/1/2027", "2/29/2028", "2/28/2029", "2/28/2030"};
    QTest::newRow("German") << "de_DE" << QStringList{"15.03.2027", "14.03.2028", "14.03.2029"};
    QTest::newRow("unreadable date stays") << "en_US" << QStringList{"3/1/202x", "3/1/202x"};
}

void TestScheduleRules::movesAYearlyAlarm365DaysOn()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, dates);
    tAlarm alarm{"07:00", "Yearly", dates.first(), "peedy", "Birthday"};
    for (qsizetype i = 1; i < dates.size(); ++i) {
        QCOMPARE(hv::alarms::AdvanceYearlyAlarm(alarm, QLocale(locale)), dates[i] != dates[0]);
        QCOMPARE(alarm.sDay, dates[i]);
    }
}

QTEST_GUILESS_MAIN(TestScheduleRules)
#include "test_schedule_rules.moc"
