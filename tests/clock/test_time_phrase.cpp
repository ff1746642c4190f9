#include <QLocale>
#include <QTest>

#include "clock/time_phrase.h"

using hv::clock::HourClock;
Q_DECLARE_METATYPE(HourClock)

class TestTimePhrase final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void speaksTheHourOnEitherClock_data();
    void speaksTheHourOnEitherClock();
    void captionShowsShortDateAndTime_data();
    void captionShowsShortDateAndTime();

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
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<QString>("phrase24");
    QTest::newRow("midnight") << 0 << 0 << "The time is, 12:00."
                              << "The time is, 00:00.";
    QTest::newRow("morning") << 7 << 5 << "The time is, 7:05."
                             << "The time is, 07:05.";
    QTest::newRow("half past noon") << 12 << 30 << "The time is, 12:30."
                                    << "The time is, 12:30.";
    QTest::newRow("one in the afternoon") << 13 << 0 << "The time is, 1:00."
                                          << "The time is, 13:00.";
    QTest::newRow("evening") << 19 << 5 << "The time is, 7:05."
                             << "The time is, 19:05.";
    QTest::newRow("last minute of the day") << 23 << 59 << "The time is, 11:59."
                                            << "The time is, 23:59.";
}

void TestTimePhrase::speaksTheHourOnEitherClock()
{
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(QString, phrase);
    QFETCH(QString, phrase24);
    QCOMPARE(hv::clock::timePhrase(hour, minute), phrase);
    QCOMPARE(hv::clock::timePhrase(hour, minute, HourClock::TwentyFour), phrase24);
}

void TestTimePhrase::captionShowsShortDateAndTime_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<HourClock>("hourClock");
    const QDate day(2026, 12, 5);
    QTest::newRow("midnight") << QDateTime(day, QTime(0, 0)) << "Horavox - 12/5/2026, 12:00:00 AM"
                              << HourClock::Twelve;
    QTest::newRow("noon") << QDateTime(day, QTime(12, 0)) << "Horavox - 12/5/2026, 12:00:00 PM"
                          << HourClock::Twelve;
    QTest::newRow("24-hour midnight") << QDateTime(day, QTime(0, 0, 9))
                                      << "Horavox - 12/5/2026, 00:00:09" << HourClock::TwentyFour;
    QTest::newRow("24-hour evening") << QDateTime(day, QTime(19, 5, 7))
                                     << "Horavox - 12/5/2026, 19:05:07" << HourClock::TwentyFour;
    QTest::newRow("morning") << QDateTime(day, QTime(9, 5, 7)) << "Horavox - 12/5/2026, 09:05:07 AM"
                             << HourClock::Twelve;
    QTest::newRow("afternoon") << QDateTime(day, QTime(13, 0, 1))
                               << "Horavox - 12/5/2026, 01:00:01 PM" << HourClock::Twelve;
    QTest::newRow("last second of the year")
        << QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)) << "Horavox - 12/31/2026, 11:59:59 PM"
        << HourClock::Twelve;
    QTest::newRow("new year") << QDateTime(QDate(2027, 1, 1), QTime(0, 0, 0))
                              << "Horavox - 1/1/2027, 12:00:00 AM" << HourClock::Twelve;
}

void TestTimePhrase::captionShowsShortDateAndTime()
{
    QFETCH(QDateTime, now);
    QFETCH(QString, caption);
    QFETCH(HourClock, hourClock);
    QCOMPARE(hv::clock::captionText(now, QLocale(), hourClock), caption);
}

QTEST_GUILESS_MAIN(TestTimePhrase)
#include "test_time_phrase.moc"
