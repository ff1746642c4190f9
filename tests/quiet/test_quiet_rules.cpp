#include <QTemporaryDir>
#include <QTest>

#include "quiet/quiet_file.h"
#include "quiet/quiet_rules.h"

using hv::quiet::DesktopState;
using hv::quiet::QuietReason;
using hv::quiet::QuietTimes;

Q_DECLARE_METATYPE(QuietReason)

class TestQuietRules final : public QObject
{
    Q_OBJECT

private slots:
    void announcementIsQuiet_data();
    void announcementIsQuiet();
    void readsPeriodText_data();
    void readsPeriodText();
    void choicesSurviveTheirFile();
};

void TestQuietRules::announcementIsQuiet_data()
{
    // Switches: D do not disturb, F full screen or locked. Desktop: d, f, l as it reports.
    QTest::addColumn<QString>("periods");
    QTest::addColumn<QString>("switches");
    QTest::addColumn<QString>("desktop");
    QTest::addColumn<QTime>("now");
    QTest::addColumn<QuietReason>("reason");
    QTest::addColumn<bool>("alarmsWait");
    const auto none = QuietReason::None;
    const auto hours = QuietReason::QuietHours;
    QTest::newRow("night, late") << "22:00-07:00"
                                 << "DF"
                                 << "" << QTime(23, 30) << hours << false;
    QTest::newRow("night, first minute") << "22:00-07:00"
                                         << "DF"
                                         << "" << QTime(22, 0) << hours << false;
    QTest::newRow("night, before") << "22:00-07:00"
                                   << "DF"
                                   << "" << QTime(21, 59, 59) << none << false;
    QTest::newRow("night, midnight") << "22:00-07:00"
                                     << "DF"
                                     << "" << QTime(0, 0) << hours << false;
    QTest::newRow("night, last minute") << "22:00-07:00"
                                        << "DF"
                                        << "" << QTime(6, 59, 30) << hours << false;
    QTest::newRow("night, end is free") << "22:00-07:00"
                                        << "DF"
                                        << "" << QTime(7, 0) << none << false;
    QTest::newRow("second period") << "22:00-07:00, 12:30-13:30"
                                   << ""
                                   << "" << QTime(13, 0) << hours << false;
    QTest::newRow("between periods") << "22:00-07:00, 12:30-13:30"
                                     << ""
                                     << "" << QTime(13, 30) << none << false;
    QTest::newRow("equal ends are empty") << "09:00-09:00"
                                          << ""
                                          << "" << QTime(9, 0) << none << false;
    QTest::newRow("do not disturb") << ""
                                    << "DF"
                                    << "d" << QTime(12, 0) << QuietReason::DoNotDisturb << false;
    QTest::newRow("do not disturb ignored") << ""
                                            << "F"
                                            << "d" << QTime(12, 0) << none << false;
    QTest::newRow("full screen") << ""
                                 << "DF"
                                 << "f" << QTime(12, 0) << QuietReason::FullScreen << false;
    QTest::newRow("full screen ignored") << ""
                                         << "D"
                                         << "f" << QTime(12, 0) << none << false;
    QTest::newRow("locked") << ""
                            << "DF"
                            << "fl" << QTime(12, 0) << QuietReason::ScreenLocked << true;
    QTest::newRow("locked ignored") << ""
                                    << "D"
                                    << "l" << QTime(12, 0) << none << false;
    QTest::newRow("locked in quiet hours") << "11:00-13:00"
                                           << "DF"
                                           << "l" << QTime(12, 0) << hours << true;
}

void TestQuietRules::announcementIsQuiet()
{
    QFETCH(QString, periods);
    QFETCH(QString, switches);
    QFETCH(QString, desktop);
    QFETCH(QTime, now);
    QFETCH(QuietReason, reason);
    QFETCH(bool, alarmsWait);
    QuietTimes quiet;
    quiet.periods = *hv::quiet::readPeriods(periods);
    quiet.followDoNotDisturb = switches.contains('D');
    quiet.quietWhenFullScreenOrLocked = switches.contains('F');
    const DesktopState state{desktop.contains('d'), desktop.contains('f'), desktop.contains('l')};
    QCOMPARE(hv::quiet::quietReason(quiet, now, state), reason);
    QCOMPARE(hv::quiet::alarmsWait(quiet, state), alarmsWait);
}

void TestQuietRules::readsPeriodText_data()
{
    // Written back as periodsText gives it, or "x" when the text cannot be read.
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("written");
    QTest::newRow("blank") << "  "
                           << "";
    QTest::newRow("one") << "22:00-07:00"
                         << "22:00-07:00";
    QTest::newRow("spaces, dash, one digit") << " 7:05 \u2013 9:30 "
                                             << "07:05-09:30";
    QTest::newRow("two, semicolon") << "22:00-6:00;12:30-13:30"
                                    << "22:00-06:00, 12:30-13:30";
    QTest::newRow("hour 24") << "22:00-24:00"
                             << "x";
    QTest::newRow("minute 60") << "22:00-07:60"
                               << "x";
    QTest::newRow("no end") << "22:00"
                            << "x";
    QTest::newRow("empty part") << "22:00-07:00,"
                                << "x";
    QTest::newRow("words") << "night"
                           << "x";
}

void TestQuietRules::readsPeriodText()
{
    QFETCH(QString, text);
    QFETCH(QString, written);
    const auto periods = hv::quiet::readPeriods(text);
    QCOMPARE(periods ? hv::quiet::periodsText(*periods) : QString("x"), written);
}

void TestQuietRules::choicesSurviveTheirFile()
{
    QTemporaryDir folder;
    const QString path = folder.path() + "/Horavox/Quiet Times.ini";
    const QuietTimes defaults = hv::quiet::readQuietTimes(path);
    QVERIFY(defaults.periods.isEmpty());
    QVERIFY(defaults.followDoNotDisturb && defaults.quietWhenFullScreenOrLocked);
    QVERIFY(!defaults.twentyFourHour);

    QuietTimes chosen;
    chosen.periods = *hv::quiet::readPeriods("22:00-07:00, 12:30-13:30");
    chosen.followDoNotDisturb = false;
    chosen.quietWhenFullScreenOrLocked = false;
    chosen.twentyFourHour = true;
    QVERIFY(hv::quiet::saveQuietTimes(path, chosen));
    const QuietTimes read = hv::quiet::readQuietTimes(path);
    QCOMPARE(hv::quiet::periodsText(read.periods), QString("22:00-07:00, 12:30-13:30"));
    QCOMPARE(read.followDoNotDisturb, false);
    QCOMPARE(read.quietWhenFullScreenOrLocked, false);
    QCOMPARE(read.twentyFourHour, true);
}

QTEST_GUILESS_MAIN(TestQuietRules)
#include "test_quiet_rules.moc"
