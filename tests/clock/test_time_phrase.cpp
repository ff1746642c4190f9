#include <QLocale>
#include <QTest>

#include "clock/time_phrase.h"

class TestTimePhrase final : public QObject
{
    Q_OBJECT

private slots:
    void saysAndShowsTheTime_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QStringList>("said"); // on the 12-hour and on the 24-hour clock
        QTest::addColumn<QString>("caption");  // on 5 December 2026 in the US
        QTest::newRow("midnight") << QTime(0, 0) << QStringList{"12:00", "00:00"}
                                  << "Horavox - 12/5/2026, 12:00:00 AM";
        QTest::newRow("morning") << QTime(7, 5, 7) << QStringList{"7:05", "07:05"}
                                 << "Horavox - 12/5/2026, 07:05:07 AM";
        QTest::newRow("half past noon")
            << QTime(12, 30) << QStringList{"12:30", "12:30"} << "Horavox - 12/5/2026, 12:30:00 PM";
        QTest::newRow("afternoon") << QTime(13, 0, 1) << QStringList{"1:00", "13:00"}
                                   << "Horavox - 12/5/2026, 01:00:01 PM";
    }
    void saysAndShowsTheTime()
    {
        QFETCH(QTime, time);
        QFETCH(QStringList, said);
        QCOMPARE(hv::clock::timePhrase(time.hour(), time.minute()),
                 "The time is, " + said[0] + ".");
        QCOMPARE(
            hv::clock::timePhrase(time.hour(), time.minute(), hv::clock::HourClock::TwentyFour),
            "The time is, " + said[1] + ".");
        QTEST(hv::clock::captionText(QDateTime(QDate(2026, 12, 5), time),
                                     QLocale(QLocale::English, QLocale::UnitedStates)),
              "caption");
    }
};

QTEST_GUILESS_MAIN(TestTimePhrase)
#include "test_time_phrase.moc"
