#include <QLocale>
#include <QTest>

#include "clock/minute_steps.h"
#include "clock/time_phrase.h"

class TestTimePhrase final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void speaksTheHourOnTheTwelveHourClock_data();
    void speaksTheHourOnTheTwelveHourClock();
    void captionShowsShortDateAndTwelveHourTime_data();
    void captionShowsShortDateAndTwelveHourTime();
    void checksEveryMinutePassedOnce_data();
    void checksEveryMinutePassedOnce();

private:
    QLocale m_savedLocale;
};

void TestTimePhrase::init()
{
    m_savedLocale = QLocale();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestTimePhrase::cleanup()
{
    QLocale::setDefault(m_savedLocale);
}

void TestTimePhrase::speaksTheHourOnTheTwelveHourClock_data()
{
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<QString>("phrase");
    QTest::newRow("midnight") << 0 << 0 << "The time is, 12:00.";
    QTest::newRow("morning") << 7 << 5 << "The time is, 7:05.";
    QTest::newRow("half past noon") << 12 << 30 << "The time is, 12:30.";
    QTest::newRow("one in the afternoon") << 13 << 0 << "The time is, 1:00.";
    QTest::newRow("evening") << 19 << 5 << "The time is, 7:05.";
    QTest::newRow("last minute of the day") << 23 << 59 << "The time is, 11:59.";
}

void TestTimePhrase::speaksTheHourOnTheTwelveHourClock()
{
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(QString, phrase);
    QCOMPARE(hv::clock::timePhrase(hour, minute), phrase);
}

void TestTimePhrase::captionShowsShortDateAndTwelveHourTime_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("caption");
    const QDate day(2026, 12, 5);
    QTest::newRow("midnight") << QDateTime(day, QTime(0, 0)) << "Horavox - 12/5/2026, 12:00:00 AM";
    QTest::newRow("noon") << QDateTime(day, QTime(12, 0)) << "Horavox - 12/5/2026, 12:00:00 PM";
    QTest::newRow("morning") << QDateTime(day, QTime(9, 5, 7))
                             << "Horavox - 12/5/2026, 09:05:07 AM";
    QTest::newRow("afternoon") << QDateTime(day, QTime(13, 0, 1))
                               << "Horavox - 12/5/2026, 01:00:01 PM";
    QTest::newRow("last second of the year")
        << QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)) << "Horavox - 12/31/2026, 11:59:59 PM";
    QTest::newRow("new year") << QDateTime(QDate(2027, 1, 1), QTime(0, 0, 0))
                              << "Horavox - 1/1/2027, 12:00:00 AM";
}

void TestTimePhrase::captionShowsShortDateAndTwelveHourTime()
{
    QFETCH(QDateTime, now);
    QFETCH(QString, caption);
    QCOMPARE(hv::clock::captionText(now, QLocale()), caption);
}

void TestTimePhrase::checksEveryMinutePassedOnce_data()
{
    QTest::addColumn<qint64>("checkedUpTo");
    QTest::addColumn<qint64>("lastSeen");
    QTest::addColumn<qint64>("now");
    QTest::addColumn<QList<qint64>>("alarmMinutes");
    QTest::addColumn<qint64>("gapMinutes"); // from checkedUpTo + 1
    QTest::addColumn<bool>("newMinute");
    const qint64 m = 29'000'000; // a minute in 2025
    QTest::newRow("same minute") << m << m << m << QList<qint64>{} << 0LL << false;
    QTest::newRow("next minute") << m << m << m + 1 << QList<qint64>{m + 1} << 0LL << true;
    QTest::newRow("a step of three minutes")
        << m << m << m + 3 << QList<qint64>{m + 1, m + 2, m + 3} << 0LL << true;
    QTest::newRow("the longest step caught up")
        << m << m << m + 15
        << QList<qint64>{m + 1, m + 2,  m + 3,  m + 4,  m + 5,  m + 6,  m + 7, m + 8,
                         m + 9, m + 10, m + 11, m + 12, m + 13, m + 14, m + 15}
        << 0LL << true;
    QTest::newRow("a suspend") << m << m << m + 16 << QList<qint64>{m + 16} << 15LL << true;
    // Set back five minutes: nothing is checked twice, the time may still be said.
    QTest::newRow("backward") << m << m << m - 5 << QList<qint64>{} << 0LL << true;
    QTest::newRow("back again at the checked minute")
        << m << m - 1 << m << QList<qint64>{} << 0LL << true;
    QTest::newRow("past it") << m << m << m + 1 << QList<qint64>{m + 1} << 0LL << true;
}

void TestTimePhrase::checksEveryMinutePassedOnce()
{
    QFETCH(qint64, checkedUpTo);
    QFETCH(qint64, lastSeen);
    QFETCH(qint64, now);
    QFETCH(QList<qint64>, alarmMinutes);
    QFETCH(qint64, gapMinutes);
    QFETCH(bool, newMinute);
    const hv::clock::MinuteSteps steps = hv::clock::stepMinutes(checkedUpTo, lastSeen, now);
    QCOMPARE(steps.alarmMinutes, alarmMinutes);
    QCOMPARE(steps.gapTo - steps.gapFrom, gapMinutes);
    if (gapMinutes > 0)
        QCOMPARE(steps.gapFrom, checkedUpTo + 1);
    QCOMPARE(steps.newMinute, newMinute);
    // Minutes counted from the epoch: a minute starts on second 0 whatever the time zone.
    QCOMPARE(hv::clock::minuteOf(hv::clock::startOfMinute(now).addSecs(59)), now);
    QCOMPARE(hv::clock::startOfMinute(now).time().second(), 0);
}

QTEST_GUILESS_MAIN(TestTimePhrase)
#include "test_time_phrase.moc"
