#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "clock/time_phrase.h"
#include "window_fixture.h"

using hv::testing::WindowFixture;

namespace {

const QDate DAY(2026, 12, 5);

QDateTime at(int hour, int minute, int second = 0)
{
    return QDateTime(DAY, QTime(hour, minute, second));
}

} // namespace

class TestClockTick final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void announcesAtTheChosenMinutesAllDay_data();
    void announcesAtTheChosenMinutesAllDay();
    void synchronisesOnTheMinuteWithoutSpeaking_data();
    void synchronisesOnTheMinuteWithoutSpeaking();
    void testButtonSpeaksWhateverTheInterval_data();
    void testButtonSpeaksWhateverTheInterval();
    // Busy ticks only change the caption; with an alarm on screen its character speaks.
    void dueMinuteTick_data();
    void dueMinuteTick();

private:
    // One tick at `now`. A hide the tick asked for completes, as the engine would report it.
    // Returns the text spoken in this tick, or an empty string.
    QString tickAt(const QDateTime& now);
    // Ticks once a second from `start` until the timer is on the minute; returns that time.
    QDateTime synchronise(QDateTime start);

    std::unique_ptr<WindowFixture> m_f;
    hv::shell::frmHoravox* m_window = nullptr;
};

void TestClockTick::init()
{
    m_f = std::make_unique<WindowFixture>();
    WindowFixture::putFiles(m_f->charsFolder(), {"Peedy.acs"});
    m_window = &m_f->start();
}

void TestClockTick::cleanup()
{
    m_f.reset();
}

QString TestClockTick::tickAt(const QDateTime& now)
{
    m_f->platform.clock = now;
    const agentctl::AgentRequest hideBefore = m_window->reqHide;
    const qsizetype logBefore = m_f->agent.log.size();
    m_window->tmrClock_Timer();
    if (m_window->reqHide != hideBefore)
        m_f->agent.complete(m_window->reqHide);
    const QStringList spoken = m_f->agent.log.mid(logBefore).filter("Speak ");
    return spoken.isEmpty() ? QString() : spoken.first().mid(6);
}

QDateTime TestClockTick::synchronise(QDateTime start)
{
    for (int second = 0; second <= 60; ++second) {
        if (!tickAt(start.addSecs(second)).isEmpty())
            break;
        if (m_window->bSynchronized)
            return start.addSecs(second);
    }
    return {};
}

void TestClockTick::announcesAtTheChosenMinutesAllDay_data()
{
    QTest::addColumn<int>("interval");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("count");
    QTest::newRow("hour") << 0 << 60 << 24;
    QTest::newRow("half hour") << 1 << 30 << 48;
    QTest::newRow("15 minutes") << 2 << 15 << 96;
    QTest::newRow("10 minutes") << 3 << 10 << 144;
    QTest::newRow("5 minutes") << 4 << 5 << 288;
    QTest::newRow("every minute") << 5 << 1 << 1440;
    QTest::newRow("never") << 6 << 0 << 0;
}

void TestClockTick::announcesAtTheChosenMinutesAllDay()
{
    QFETCH(int, interval);
    QFETCH(int, step);
    QFETCH(int, count);
    m_window->mnuInterval_Click(interval);
    const QDateTime midnight = at(0, 0);
    QCOMPARE(synchronise(midnight.addSecs(-3)), midnight);
    QCOMPARE(m_window->tmrClock->interval(), 60000);

    QList<int> expected;
    QList<int> announced;
    for (int minutes = 1; minutes <= 24 * 60; ++minutes) {
        const QDateTime now = midnight.addSecs(60 * minutes);
        if (step > 0 && now.time().minute() % step == 0)
            expected.append(minutes);
        const QString spoken = tickAt(now);
        if (spoken.isEmpty())
            continue;
        announced.append(minutes);
        QCOMPARE(spoken, hv::clock::timePhrase(now.time().hour(), now.time().minute()));
        // The announcing character has hidden and been released.
        QVERIFY(!m_window->objCharacter);
    }
    QCOMPARE(announced.size(), count);
    QCOMPARE(announced, expected);
}

void TestClockTick::synchronisesOnTheMinuteWithoutSpeaking_data()
{
    QTest::addColumn<int>("interval");
    QTest::addColumn<QTime>("first");
    QTest::newRow("every minute") << 5 << QTime(11, 1);
    QTest::newRow("half hour") << 1 << QTime(11, 30);
}

void TestClockTick::synchronisesOnTheMinuteWithoutSpeaking()
{
    QFETCH(int, interval);
    QFETCH(QTime, first);
    m_window->mnuInterval_Click(interval);
    QDateTime now = at(10, 59, 30);
    for (; now.time().minute() == 59; now = now.addSecs(1)) {
        QCOMPARE(tickAt(now), QString());
        QCOMPARE(m_window->windowTitle(), "Horavox - 12/5/2026, " + now.toString("hh:mm:ss AP"));
        QCOMPARE(m_window->tmrClock->interval(), 1000);
    }
    QCOMPARE(tickAt(now), QString());
    QVERIFY(m_window->bSynchronized);
    QCOMPARE(m_window->tmrClock->interval(), 60000);

    QTime spokenAt;
    for (int minutes = 1; minutes <= 60 && !spokenAt.isValid(); ++minutes) {
        if (!tickAt(now.addSecs(60 * minutes)).isEmpty())
            spokenAt = now.addSecs(60 * minutes).time();
    }
    QCOMPARE(spokenAt, first);
}

void TestClockTick::testButtonSpeaksWhateverTheInterval_data()
{
    QTest::addColumn<bool>("synchronised");
    QTest::newRow("synchronised") << true;
    QTest::newRow("before synchronisation") << false;
}

void TestClockTick::testButtonSpeaksWhateverTheInterval()
{
    QFETCH(bool, synchronised);
    m_window->optInterval[6]->click();
    QDateTime now = at(14, 7, 20);
    if (synchronised)
        now = synchronise(now);
    QFile::remove(m_f->settingsPath());
    m_f->platform.clock = now;

    m_window->cmdTest->click();

    QCOMPARE(m_f->agent.log.filter("Speak "),
             QStringList{"Speak " + hv::clock::timePhrase(14, now.time().minute())});
    QCOMPARE(m_window->bSynchronized, synchronised);
    QVERIFY(!m_window->bSpeakNow);
    QCOMPARE(m_window->tmrClock->interval(), synchronised ? 60000 : 1000);
    QFile settings(m_f->settingsPath());
    QVERIFY(settings.open(QIODevice::ReadOnly));
    QCOMPARE(settings.readAll().split(',').value(4), QByteArray("6"));
    // Nothing more is said at the next tick.
    QCOMPARE(tickAt(now.addSecs(synchronised ? 60 : 1)), QString());
}

void TestClockTick::dueMinuteTick_data()
{
    QTest::addColumn<bool>("busy");
    QTest::addColumn<bool>("synchronised");
    QTest::addColumn<QString>("alarm");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("busy") << true << true << "" << QStringList();
    QTest::newRow("busy before synchronisation") << true << false << "" << QStringList();
    // The alarm's character says the time and stays; a character gone is left alone.
    QTest::newRow("alarm character shown")
        << false << true << "Wake up" << QStringList{"Speak The time is, 12:00."};
    QTest::newRow("alarm character gone") << false << true << "gone" << QStringList();
}

void TestClockTick::dueMinuteTick()
{
    QFETCH(bool, busy);
    QFETCH(bool, synchronised);
    QFETCH(QString, alarm);
    QFETCH(QStringList, calls);
    m_window->mnuInterval_Click(5);
    if (synchronised)
        QCOMPARE(synchronise(at(11, 59)), at(11, 59));
    if (!alarm.isEmpty()) {
        m_window->iActiveAlarm = 0;
        if (alarm != "gone")
            m_window->AgentSpeak(alarm);
    }
    m_window->bAgentBusy = busy;
    m_f->agent.log.clear();

    tickAt(at(12, 0));

    QCOMPARE(m_f->agent.log, calls);
    QCOMPARE(m_window->windowTitle(), QString("Horavox - 12/5/2026, 12:00:00 PM"));
    QCOMPARE(m_window->bSynchronized, synchronised);
    QCOMPARE(m_window->tmrClock->interval(), synchronised ? 60000 : 1000);
    QCOMPARE(bool(m_window->objCharacter), alarm == "Wake up");
}

QTEST_MAIN(TestClockTick)
#include "test_clock_tick.moc"
