#include <QLocale>
#include <QTest>

#include "clock/time_phrase.h"

class TestTimePhrase final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void speaksTheHourOnEitherClock_data();
    void speaksTheHourOnEitherClock();
    void captionShowsShortDateAndTwelveHourTime_data();
    void captionShowsShortDateAndTwelveHourTime();

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

void TestTimePhrase::speaksTheHourOnEitherClock_data()
{
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    // The time said on the 12-hour and on the 24-hour clock.
    QTest::addColumn<QStringList>("said");
    QTest::newRow("midnight") << 0 << 0 << QStringList{"12:00", "00:00"};
    QTest::newRow("morning") << 7 << 5 << QStringList{"7:05", "07:05"};
    QTest::newRow("half past noon") << 12 << 30 << QStringList{"12:30", "12:30"};
    QTest::newRow("one in the afternoon") << 13 << 0 << QStringList{"1:00", "13:00"};
    QTest::newRow("last minute of the day") << 23 << 59 << QStringList{"11:59", "23:59"};
}

void TestTimePhrase::speaksTheHourOnEitherClock()
{
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(QStringList, said);
    QCOMPARE(hv::clock::timePhrase(hour, minute), "The time is, " + said[0] + ".");
    QCOMPARE(hv::clock::timePhrase(hour, minute, hv::clock::HourClock::TwentyFour),
             "The time is, " + said[1] + ".");
}

void TestTimePhrase::captionShowsShortDateAndTwelveHourTime_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("caption");
    const QDate day(2026, 12, 5);
    QTest::newRow("midnight") << QDateTime(day, QTime(0, 0)) << "Horavox - 12/5/2026, 12:00:00 AM";
    QTest::newRow("morning") << QDateTime(day, QTime(9, 5, 7))
                             << "Horavox - 12/5/2026, 09:05:07 AM";
    QTest::newRow("afternoon") << QDateTime(day, QTime(13, 0, 1))
                               << "Horavox - 12/5/2026, 01:00:01 PM";
    QTest::newRow("last second of the year")
        << QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)) << "Horavox - 12/31/2026, 11:59:59 PM";
}

void TestTimePhrase::captionShowsShortDateAndTwelveHourTime()
{
    QFETCH(QDateTime, now);
    QFETCH(QString, caption);
    QCOMPARE(hv::clock::captionText(now, QLocale()), caption);
}

QTEST_GUILESS_MAIN(TestTimePhrase)
#include "test_time_phrase.moc"
