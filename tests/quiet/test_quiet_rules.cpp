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
    void announcementIsQuiet_data()
    {
        // State: the switches D do not disturb and F full screen or locked; what the desktop
        // reports, d do not disturb, f full screen, l locked.
        QTest::addColumn<QString>("state");
        QTest::addColumn<QTime>("now");
        QTest::addColumn<QString>("periods");
        QTest::addColumn<QuietReason>("reason");
        QTest::addColumn<bool>("alarmsWait");
        const auto none = QuietReason::None;
        const auto hours = QuietReason::QuietHours;
        const QString night = "22:00-07:00";
        const QString two = "22:00-07:00, 12:30-13:30";
        QTest::newRow("night, first minute") << "DF" << QTime(22, 0) << night << hours << false;
        QTest::newRow("night, before") << "DF" << QTime(21, 59, 59) << night << none << false;
        QTest::newRow("night, last minute") << "" << QTime(6, 59, 30) << night << hours << false;
        QTest::newRow("night, end is free") << "DF" << QTime(7, 0) << night << none << false;
        QTest::newRow("second period") << "" << QTime(13, 0) << two << hours << false;
        QTest::newRow("between periods") << "" << QTime(13, 30) << two << none << false;
        QTest::newRow("equal ends") << "" << QTime(9, 0) << QString("09:00-09:00") << none << false;
        // At noon without quiet hours the desktop decides.
        const auto noon = [](const char* name, const char* state, QuietReason reason, bool wait) {
            QTest::newRow(name) << QString(state) << QTime(12, 0) << QString() << reason << wait;
        };
        noon("do not disturb", "DFd", QuietReason::DoNotDisturb, false);
        noon("full screen", "DFf", QuietReason::FullScreen, false);
        noon("locked before full screen", "DFfl", QuietReason::ScreenLocked, true);
        noon("locked", "DFl", QuietReason::ScreenLocked, true);
        QTest::newRow("locked in quiet hours") << "DFl" << QTime(0, 0) << night << hours << true;
    }

    void announcementIsQuiet()
    {
        QFETCH(QString, state);
        QFETCH(QTime, now);
        QFETCH(QString, periods);
        QFETCH(QuietReason, reason);
        QFETCH(bool, alarmsWait);
        QuietTimes quiet;
        quiet.periods = *hv::quiet::readPeriods(periods);
        quiet.followDoNotDisturb = state.contains('D');
        quiet.quietWhenFullScreenOrLocked = state.contains('F');
        const DesktopState desktop{state.contains('d'), state.contains('f'), state.contains('l')};
        QCOMPARE(hv::quiet::quietReason(quiet, now, desktop), reason);
        QCOMPARE(hv::quiet::alarmsWait(quiet, desktop), alarmsWait);
    }

    void readsPeriodText_data()
    {
        // Written back as periodsText gives it, or "x" when the text cannot be read.
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");
        const auto row = [](const char* text, const char* written) {
            QTest::newRow(text) << QString::fromUtf8(text) << QString(written);
        };
        row("  ", "");
        row("22:00-07:00", "22:00-07:00");
        row(" 7:05 \u2013 9:30 ", "07:05-09:30");
        row("22:00-6:00;12:30-13:30", "22:00-06:00, 12:30-13:30");
        row("22:00-24:00", "x");
        row("22:00", "x");
        row("22:00-07:00,", "x");
    }

    void readsPeriodText()
    {
        QFETCH(QString, text);
        QFETCH(QString, written);
        const auto periods = hv::quiet::readPeriods(text);
        QCOMPARE(periods ? hv::quiet::periodsText(*periods) : QString("x"), written);
    }

    void choicesSurviveTheirFile()
    {
        QTemporaryDir folder;
        const QString path = folder.path() + "/Horavox/Quiet Times.ini";
        const QuietTimes chosen{*hv::quiet::readPeriods("22:00-07:00, 12:30-13:30"), false, false,
                                true};
        QVERIFY(hv::quiet::saveQuietTimes(path, chosen));
        const QuietTimes read = hv::quiet::readQuietTimes(path);
        QCOMPARE(hv::quiet::periodsText(read.periods), QString("22:00-07:00, 12:30-13:30"));
        QCOMPARE((QList<bool>{read.followDoNotDisturb, read.quietWhenFullScreenOrLocked,
                              read.twentyFourHour}),
                 (QList<bool>{false, false, true}));
    }
};

QTEST_GUILESS_MAIN(TestQuietRules)
#include "test_quiet_rules.moc"
