#include <algorithm>
#include <memory>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "core/talking_clock.h"
#include "recording_agent.h"
#include "test_files.h"

using hv::core::TalkingClock;
using hv::testing::alarmLines;
using hv::testing::readFile;
using hv::testing::writeFile;

namespace {

const QDate DAY(2026, 12, 5); // a Saturday

class FakeDesktop final : public hv::core::Desktop
{
public:
    QDateTime clock{DAY, QTime(9, 0)};
    bool doNotDisturb = false;
    bool fullScreen = false;
    bool locked = false;

    QDateTime now() const override { return clock; }
    QRect workArea() const override { return {0, 0, 1024, 768}; }
    bool notificationsInhibited() const override { return doNotDisturb; }
    bool activeWindowFullScreen() const override { return fullScreen; }
    bool screenLocked() const override { return locked; }
};

} // namespace

// The clock, the alarms and the character on screen without any window: events in, requests
// to the character, reports and file bytes out.
class TestTalkingClock final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void scripts_data();
    void scripts();
    void announcesAtTheChosenMinutes_data();
    void announcesAtTheChosenMinutes();
    void appearanceCallsInOrder_data();
    void appearanceCallsInOrder();
    void onlyTheLatestHideReleasesTheCharacter();
    void choosesTheStoredCharacterAndThePresenter_data();
    void choosesTheStoredCharacterAndThePresenter();
    void startUpReportsMissedAndUnreadAlarms();
    void failedSaveIsToldOnceUntilASaveWorks();

private:
    // The clock as the program starts it, with these files in its folder and these characters.
    TalkingClock& start(const QByteArray& settings = {}, const QByteArray& alarms = {},
                        const QByteArray& quietTimes = {},
                        const QStringList& characters = {"Olwen.acs", "tock.acs"});
    // Carries out one step of a script and returns what it brought about.
    QString step(const QString& event);
    QString charsFolder() const { return m_folder->path() + "/chars/"; }
    QString alarmsPath() const { return m_folder->path() + "/Alarms.dat"; }
    QString settingsPath() const { return m_folder->path() + "/Settings.ini"; }

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<FakeDesktop> m_desktop;
    std::unique_ptr<hv::testing::RecordingAgent> m_agent;
    std::unique_ptr<TalkingClock> m_clock;
    // What the clock told the user, "box Title" or "notice Title", since the last step.
    QStringList m_told;
    // The character's Hide is left pending instead of completing after each step.
    bool m_hidesWait = false;
};

void TestTalkingClock::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    m_desktop = std::make_unique<FakeDesktop>();
    m_agent = std::make_unique<hv::testing::RecordingAgent>();
    m_told.clear();
    m_hidesWait = false;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestTalkingClock::cleanup()
{
    m_clock.reset();
    QLocale::setDefault(QLocale::c());
}

TalkingClock& TestTalkingClock::start(const QByteArray& settings, const QByteArray& alarms,
                                      const QByteArray& quietTimes, const QStringList& characters)
{
    QDir().mkpath(charsFolder());
    for (const QString& character : characters)
        writeFile(charsFolder() + character, "character");
    if (!settings.isEmpty())
        writeFile(settingsPath(), settings);
    if (!alarms.isEmpty())
        writeFile(alarmsPath(), alarms);
    const QString quietFile = m_folder->path() + "/Quiet Times.ini";
    writeFile(quietFile, "[General]\n" + quietTimes + "\n");
    m_clock = std::make_unique<TalkingClock>(*m_desktop, *m_agent, m_folder->path(), quietFile);
    connect(m_clock.get(), &TalkingClock::tell, this,
            [this](const QString& title, const QString&, hv::core::Telling how) {
                m_told.append((how == hv::core::Telling::Box ? "box " : "notice ") + title);
            });
    m_clock->ReadSettings();
    m_clock->ReadQuietTimes();
    m_clock->LoadAlarms();
    m_clock->setAgentPath(charsFolder());
    m_clock->setCharacterFiles(characters);
    m_clock->startClock();
    return *m_clock;
}

QString TestTalkingClock::step(const QString& event)
{
    const qsizetype logBefore = m_agent->log.size();
    QStringList happened;
    QString reached;
    const engine::AgentRequest hideBefore = m_clock->reqHide();
    m_told.clear();
    const QRegularExpressionMatch time =
        QRegularExpression("^(sync |test )?(\\d\\d:\\d\\d(:\\d\\d)?)$").match(event);
    if (time.hasMatch()) {
        m_desktop->clock =
            QDateTime(DAY, QTime::fromString(time.captured(2),
                                             time.capturedLength(3) ? "HH:mm:ss" : "HH:mm"));
        if (time.captured(1) == "sync ") {
            // Once a second until the timer is on the minute; what it reached is the result.
            for (int second = 0; second <= 60 && !m_clock->bSynchronized(); ++second) {
                m_desktop->clock = m_desktop->clock.addSecs(second ? 1 : 0);
                m_clock->tmrClock_Timer();
            }
            reached = m_desktop->clock.toString("HH:mm:ss");
        } else if (time.captured(1) == "test ")
            m_clock->speakNow();
        else
            m_clock->tmrClock_Timer();
    } else if (event == "click") {
        m_clock->Agent1_Click();
    } else if (event == "double-click") {
        m_clock->Agent1_DblClick();
    } else if (event.startsWith("alarm test ")) {
        m_clock->testAlarm(event.section(' ', 2).toInt());
    } else if (event == "present") {
        m_clock->present(QPoint(700, 100), [](engine::AgentCharacter& presenter) {
            presenter.Play("Greet");
            return presenter.Hide();
        });
    } else if (event.startsWith("fail ")) {
        // A character file that cannot be opened, or the call at which the character fails.
        for (const QString& what : event.split(' ').mid(1)) {
            if (what.endsWith(".acs"))
                m_agent->failingPaths.append(charsFolder() + what);
            else
                m_agent->failingCall = what;
        }
    } else if (event == "hides wait") {
        m_hidesWait = true;
    } else if (event == "mend") {
        m_agent->failingCall.clear();
        m_agent->failingPaths.clear();
    } else if (event.startsWith("desktop")) {
        m_desktop->doNotDisturb = event.contains("do-not-disturb");
        m_desktop->fullScreen = event.contains("full-screen");
        m_desktop->locked = event.contains("locked");
    } else if (event.startsWith("delete ")) {
        m_clock->deleteAlarm(event.section(' ', 1).toInt());
    } else if (event == "file") {
        return QString::fromUtf8(readFile(alarmsPath())).replace("\r\n", "|");
    } else if (event == "interval") {
        return QString::number(m_clock->tmrClock().interval());
    } else if (event == "state") {
        static const char* const stages[] = {"away", "announcing", "alarm on screen", "presenting"};
        return QString("%1, alarm %2, alarms %3")
            .arg(stages[int(m_clock->characterStage())])
            .arg(m_clock->iActiveAlarm())
            .arg(m_clock->bAlarmsOn() ? "on" : "off");
    } else {
        qFatal("unknown step %s", qPrintable(event));
    }
    // A hide the step asked for completes, as the engine reports once the character has left.
    if (!m_hidesWait && m_clock->reqHide() != hideBefore &&
        m_clock->reqHide() != engine::AgentRequest())
        m_clock->Agent1_RequestComplete(m_clock->reqHide());

    // What the user would notice: who comes, what it does, and what is told.
    if (!reached.isEmpty())
        happened.append(reached);
    for (const QString& call : m_agent->log.mid(logBefore)) {
        if (call.startsWith("Load "))
            happened.append("Load " + call.section('/', -1).chopped(4));
        else if (QRegularExpression("^(Play|Speak|Hide|Stop)").match(call).hasMatch())
            happened.append(call);
    }
    return (happened + m_told).join("; ");
}

void TestTalkingClock::scripts_data()
{
    // Settings.ini, Alarms.dat and Quiet Times.ini at start-up, then the steps: an event, and
    // after "=>" what it brings about (nothing when no arrow). Events: a time is a run of the
    // clock at that time of 5 December 2026, a Saturday; "sync" runs it each second from there
    // until it is on the minute; "test" presses Test at that time.
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QByteArray>("alarms");
    QTest::addColumn<QByteArray>("quietTimes");
    QTest::addColumn<QStringList>("script");
    const QByteArray everyFive = "\"Olwen\",0,1,2,4,#FALSE#,\"\"\r\n";
    const QByteArray never = "\"Olwen\",0,1,2,6,#FALSE#,\"\"\r\n";
    const QString announce = "Load Olwen; Play Explain; Speak The time is, %1.; Hide";

    QTest::newRow("synchronising")
        << everyFive << QByteArray() << QByteArray()
        << QStringList{"sync 10:58:30 => 10:59:00", "interval => 60000",
                       "11:00 => " + announce.arg("11:00"), "11:01",
                       // The machine slept; a late run, an early one.
                       "11:20:30 => " + announce.arg("11:20"), "interval => 30000", "11:20:59",
                       "11:25:01 => " + announce.arg("11:25"), "interval => 59000",
                       // Set back: the time it is, said again.
                       "11:10 => " + announce.arg("11:10")};
    QTest::newRow("silent until on the minute")
        << everyFive << QByteArray() << QByteArray()
        << QStringList{"10:59:58", "interval => 1000",  "10:59:59",
                       "11:00:00", "interval => 60000", "11:05 => " + announce.arg("11:05")};
    QTest::newRow("Test before synchronising")
        << never << QByteArray() << QByteArray()
        << QStringList{"14:07:20", "test 14:07:21 => " + announce.arg("2:07"), "interval => 1000",
                       "14:07:22"};
    QTest::newRow("Test on the minute")
        << never << QByteArray() << QByteArray()
        << QStringList{"sync 14:07:58 => 14:08:00", "test 14:08:05 => " + announce.arg("2:08"),
                       "14:09", "interval => 60000"};

    const QByteArray morning = "\"07:30\",\"Daily\",\"Daily\",\"tock\",\"First\"\r\n"
                               "\"07:30\",\"Daily\",\"Daily\",\"olwen\",\"Second\"\r\n"
                               "\"07:31\",\"Weekly\",\"Sat\",\"olwen\",\"Third\"\r\n"
                               "\"07:34\",\"xx\",\"Daily\",\"olwen\",\"Never\"\r\n";
    const QString repeat = "Play Surprised; Speak Third";
    const QString third = "Load Olwen; Play Explain; Speak Third; Play Idle1_1";
    QTest::newRow("alarms fire and repeat until double-clicked")
        << everyFive << morning << QByteArray()
        << QStringList{"sync 07:28:58 => 07:29:00",
                       // The first of two alarms in a minute; its own character stays.
                       "07:30 => Load tock; Play Explain; Speak First; Play Idle1_1",
                       "state => alarm on screen, alarm 0, alarms on",
                       // The next alarm is said by the character on screen, and repeated.
                       "07:31 => Speak Third", "07:32 => " + repeat, "click => Speak Third",
                       "07:33 => " + repeat, "07:34 => " + repeat,
                       // Six minutes at once: the minute it is repeats, Test in it too.
                       "07:40:30 => " + repeat, "test 07:40:31 => " + repeat,
                       "double-click => Stop; Hide", "state => away, alarm -1, alarms on",
                       // Test's request waits for the next run that may speak.
                       "07:41 => " + announce.arg("7:41"), "07:42"};
    QTest::newRow("an alarm's test or the About scene takes the alarm's place")
        << everyFive << morning << QByteArray()
        << QStringList{"sync 07:30:58 => 07:31:00; " + third,
                       "alarm test 0 => Load tock; Speak First; Hide",
                       "state => away, alarm 2, alarms on",
                       // The next minute brings the alarm back.
                       "07:32 => " + third, "present => Load Olwen; Play Greet; Hide", "click",
                       // With alarms off nothing brings it back: the alarm is over.
                       "delete 0", "delete 0", "delete 0", "delete 0",
                       "07:35 => " + announce.arg("7:35"), "state => away, alarm -1, alarms off"};
    QTest::newRow("the alarm character says the time and stays")
        << everyFive << morning << QByteArray()
        << QStringList{"sync 07:30:58 => 07:31:00; " + third,
                       "delete 0",
                       "delete 0",
                       "delete 0",
                       "delete 0",
                       "state => alarm on screen, alarm 2, alarms off",
                       "07:35 => Speak The time is, 7:35.",
                       "double-click => Stop; Hide"};
    QTest::newRow("a single click while announcing")
        << everyFive << QByteArray() << QByteArray()
        << QStringList{"sync 07:29:58 => 07:30:00", "hides wait",
                       "07:35 => " + announce.arg("7:35"), "click",
                       "state => announcing, alarm -1, alarms on"};

    const QString birthday = "\"08:00\",\"Yearly\",\"12/5/%1\",\"olwen\",\"Birthday\"";
    QTest::newRow("yearly moves a year on")
        << never << birthday.arg(2026).toUtf8() + "\r\n"
        << QByteArray()
        << QStringList{"sync 07:58:59 => 07:59:00",
                       "08:00 => Load Olwen; Play Explain; Speak Birthday; Play Idle1_1",
                       "file => " + birthday.arg(2027) + "|",
                       "08:01 => Play Surprised; Speak Birthday"};
    QTest::newRow("once goes, and the alarms with the last one")
        << never << QByteArray("\"08:00\",\"Once\",\"12/5/2026\",\"olwen\",\"Dentist\"\r\n")
        << QByteArray()
        << QStringList{"sync 07:58:59 => 07:59:00",
                       "08:00 => Load Olwen; Play Explain; Speak Dentist; Play Idle1_1", "file => ",
                       "state => alarm on screen, alarm 0, alarms off", "08:01"};
    QTest::newRow("a character from another computer")
        << never << QByteArray("\"08:00\",\"Daily\",\"Daily\",\"zak\",\"Stand up\"\r\n")
        << QByteArray()
        << QStringList{"sync 07:58:59 => 07:59:00",
                       "08:00 => Load Olwen; Play Explain; Speak Stand up; Play Idle1_1"};
    QTest::newRow("a character that cannot be opened")
        << never
        << QByteArray("\"08:00\",\"Daily\",\"Daily\",\"tock\",\"Stand up\"\r\n"
                      "\"08:01\",\"Daily\",\"Daily\",\"tock\",\"Sit down\"\r\n")
        << QByteArray()
        << QStringList{"sync 07:58:59 => 07:59:00", "fail tock.acs",
                       // The clock's own says the alarm.
                       "08:00 => Load tock; Load Olwen; Play Explain; Speak Stand up; "
                       "Play Idle1_1; notice Horavox",
                       "double-click => Stop; Hide", "fail Olwen.acs",
                       // Nobody can: the alarm ends rather than failing every minute.
                       "08:01 => Load tock; Load Olwen; notice Horavox; notice Horavox",
                       "state => away, alarm -1, alarms on", "mend", "08:02"};
    QTest::newRow("a failure ends the appearance only")
        << everyFive << QByteArray() << QByteArray()
        << QStringList{"sync 07:58:59 => 07:59:00",
                       "fail Speak",
                       "08:00 => Load Olwen; Play Explain; Speak The time is, 8:00.",
                       "state => away, alarm -1, alarms on",
                       "mend",
                       "08:05 => " + announce.arg("8:05")};

    // Quiet times keep announcements back, never alarms; a locked screen holds the alarms.
    const QByteArray bedtime = "\"23:00\",\"Daily\",\"Daily\",\"olwen\",\"Bedtime\"\r\n"
                               "\"23:01\",\"Daily\",\"Daily\",\"olwen\",\"Lights out\"\r\n";
    const QString bed = " => Load Olwen; Play Explain; Speak Bedtime; Play Idle1_1";
    const QString lights = "23:01 => Speak Lights out";
    const QString sync = "sync 22:53:58 => 22:54:00";
    QTest::newRow("quiet hours") << everyFive << bedtime
                                 << QByteArray("Periods=\"20:00-23:59, 6:00-7:00\"")
                                 << QStringList{sync, "22:55", "23:00" + bed, lights};
    QTest::newRow("do not disturb")
        << everyFive << bedtime << QByteArray()
        << QStringList{sync, "desktop do-not-disturb", "22:55", "23:00" + bed, lights};
    QTest::newRow("do not disturb ignored")
        << everyFive << bedtime << QByteArray("FollowDoNotDisturb=false")
        << QStringList{sync, "desktop do-not-disturb", "22:55 => " + announce.arg("10:55")};
    QTest::newRow("full screen") << everyFive << bedtime << QByteArray()
                                 << QStringList{sync, "desktop full-screen", "22:55", "23:00" + bed,
                                                lights};
    QTest::newRow("24-hour voice") << everyFive << bedtime << QByteArray("TwentyFourHour=true")
                                   << QStringList{sync, "22:55 => " + announce.arg("22:55")};
    QTest::newRow("locked: the alarms wait for the unlock, then ring one a minute")
        << everyFive << bedtime << QByteArray()
        << QStringList{sync,
                       "desktop locked",
                       "22:55",
                       "23:00",
                       "23:01",
                       "desktop",
                       "23:02" + bed,
                       "23:03 => Speak Lights out",
                       "23:04 => Play Surprised; Speak Lights out"};
    QTest::newRow("lock and full screen ignored")
        << everyFive << bedtime << QByteArray("QuietWhenFullScreenOrLocked=false")
        << QStringList{sync, "desktop locked full-screen", "22:55 => " + announce.arg("10:55"),
                       "23:00" + bed, lights};
    QTest::newRow("a forward step fires the minutes passed over")
        << never << bedtime << QByteArray()
        << QStringList{"sync 22:58:58 => 22:59:00", "23:01:30" + bed + "; Speak Lights out"};
    QTest::newRow("a suspend is reported, not rung")
        << never << QByteArray("\"23:00\",\"Once\",\"12/5/2026\",\"olwen\",\"Bedtime\"\r\n")
        << QByteArray()
        << QStringList{"sync 22:58:58 => 22:59:00", "23:30 => notice 1 Missed Alarm(s)!",
                       "file => ", "state => away, alarm -1, alarms off"};
}

void TestTalkingClock::scripts()
{
    QFETCH(QByteArray, settings);
    QFETCH(QByteArray, alarms);
    QFETCH(QByteArray, quietTimes);
    QFETCH(QStringList, script);
    start(settings, alarms, quietTimes);
    for (const QString& line : script) {
        const QString expected = line.section(" => ", 1);
        QCOMPARE(line.section(" => ", 0, 0) + " => " + step(line.section(" => ", 0, 0)),
                 line.section(" => ", 0, 0) + " => " + expected);
    }
}

void TestTalkingClock::announcesAtTheChosenMinutes_data()
{
    QTest::addColumn<int>("interval");
    QTest::addColumn<QList<int>>("minutes");
    QTest::newRow("hour") << 0 << QList<int>{0};
    QTest::newRow("half hour") << 1 << QList<int>{0, 30};
    QTest::newRow("15 minutes") << 2 << QList<int>{0, 15, 30, 45};
    QTest::newRow("10 minutes") << 3 << QList<int>{0, 10, 20, 30, 40, 50};
    QTest::newRow("5 minutes") << 4 << QList<int>{0, 5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55};
    QTest::newRow("never") << 6 << QList<int>{};
}

void TestTalkingClock::announcesAtTheChosenMinutes()
{
    QFETCH(int, interval);
    QFETCH(QList<int>, minutes);
    start().setInterval(interval);
    QCOMPARE(step("sync 22:59:57"), "23:00:00");
    // From 23:01 over midnight to 00:00: the hour rolls over into the next day.
    QList<int> announced;
    for (int minute = 1; minute <= 60; ++minute) {
        const QTime time = QTime(23, 0).addSecs(60 * minute);
        const QString happened = step(time.toString("HH:mm"));
        if (happened.isEmpty())
            continue;
        announced.append(time.minute());
        QVERIFY(happened.contains(time.minute() == 0 ? "The time is, 12:00" : "The time is, 11:"));
        // The announcing character has left.
        QVERIFY(!m_clock->objCharacter());
    }
    std::sort(announced.begin(), announced.end());
    QCOMPARE(announced, minutes);
}

void TestTalkingClock::appearanceCallsInOrder_data()
{
    QTest::addColumn<int>("balloon");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("event");
    QTest::addColumn<QString>("calls");
    // The character brings style bits 2 and 4; only bit 1 is the program's. One that hides is
    // released once the hide is done.
    const QString shown = "Unload CharacterID|Load CharacterID CHARS%1|LanguageID 1033|"
                          "Balloon.Style %2|AutoPopupMenu False|MoveTo %3|Show|";
    QTest::newRow("announcing with the balloon")
        << 0 << 2 << "10:00"
        << shown.arg("Olwen.acs", "7", "5 635") +
               "Play Explain|Speak The time is, 10:00.|Hide|Unload CharacterID";
    QTest::newRow("announcing without it, top right")
        << 1 << 1 << "10:00"
        << shown.arg("Olwen.acs", "6", "891 5") +
               "Play Explain|Speak The time is, 10:00.|Hide|Unload CharacterID";
    QTest::newRow("an alarm stays, in the centre")
        << 1 << 4 << "10:01"
        << shown.arg("tock.acs", "6", "448 320") + "Play Explain|Speak Wake up|Play Idle1_1";
    QTest::newRow("an alarm's test leaves")
        << 0 << 3 << "alarm test 0"
        << shown.arg("tock.acs", "7", "891 635") + "Speak Wake up|Hide|Unload CharacterID";
}

void TestTalkingClock::appearanceCallsInOrder()
{
    QFETCH(int, balloon);
    QFETCH(int, position);
    QFETCH(QString, event);
    QFETCH(QString, calls);
    start(QString("\"Olwen\",0,%1,%2,0,#FALSE#,\"\"\r\n").arg(balloon).arg(position).toUtf8(),
          "\"10:01\",\"Daily\",\"Daily\",\"tock\",\"Wake up\"\r\n");
    step("sync 09:58:58");
    m_agent->log.clear();
    step(event);
    QCOMPARE(m_agent->log.join('|').replace(charsFolder(), "CHARS"), calls);
}

void TestTalkingClock::onlyTheLatestHideReleasesTheCharacter()
{
    start("\"Olwen\",0,1,2,4,#FALSE#,\"\"\r\n");
    step("sync 08:59:59");
    m_desktop->clock = QDateTime(DAY, QTime(9, 0));
    m_clock->speakNow();
    // A second announcement in quick succession unloads the first character at once.
    m_clock->speakNow();
    m_agent->log.clear();
    for (const engine::AgentRequest& request : m_agent->requests) {
        if (request != m_clock->reqHide())
            m_clock->Agent1_RequestComplete(request);
    }
    QVERIFY(m_agent->log.isEmpty() && m_clock->objCharacter());
    m_clock->Agent1_RequestComplete(m_clock->reqHide());
    QCOMPARE(m_agent->log, QStringList{"Unload CharacterID"});
    QVERIFY(!m_clock->objCharacter());
    QCOMPARE(m_clock->characterStage(), hv::core::CharacterStage::Away);
}

void TestTalkingClock::choosesTheStoredCharacterAndThePresenter_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QString>("agentName");
    QTest::addColumn<QString>("presenter");
    QTest::newRow("kept in its own case") << QStringList{"Olwen.acs"} << "OLWEN" << 0 << "OLWEN"
                                          << "olwen";
    QTest::newRow("tock before pim") << QStringList{"pim.acs", "Tock.ACS"} << "pim" << 0 << "pim"
                                     << "tock";
    QTest::newRow("olwen first") << QStringList{"olwen.acs", "pim.acs", "tock.acs", "wren.acs"}
                                 << "wren" << 3 << "wren"
                                 << "olwen";
    QTest::newRow("the later of two alike")
        << QStringList{"Wren.acs", "wren.acs"} << "wren" << 1 << "wren"
        << "";
    QTest::newRow("stored one gone") << QStringList{"zak.acs", "finch.acs"} << "Olwen" << 0 << "zak"
                                     << "";
}

void TestTalkingClock::choosesTheStoredCharacterAndThePresenter()
{
    QFETCH(QStringList, files);
    QFETCH(QString, stored);
    QFETCH(int, chosen);
    QFETCH(QString, agentName);
    QFETCH(QString, presenter);
    TalkingClock& clock =
        start(QString("\"%1\",1,1,2,1,#FALSE#,\"\"\r\n").arg(stored).toUtf8(), {}, {}, {});
    QCOMPARE(clock.setCharacterFiles(files), chosen);
    QCOMPARE(clock.settings().sAgentName, agentName);
    QCOMPARE(clock.sDefaultAgent(), presenter);
    // Without a presenter the About scene has nobody to step out.
    QCOMPARE(clock.present({}, [](engine::AgentCharacter& c) { return c.Hide(); }),
             !presenter.isEmpty());
}

void TestTalkingClock::startUpReportsMissedAndUnreadAlarms()
{
    // Two one-time alarms of earlier days, one with a date nobody can read, then one record
    // more than fit and one unreadable.
    const QByteArray left = "\"07:00\",\"Once\",\"12/5/2026\",\"olwen\",\"Today\"\r\n"
                            "\"07:00\",\"Once\",\"13/13/2026\",\"olwen\",\"Never\"\r\n" +
                            alarmLines(71);
    const QByteArray aside =
        "\"00:00\",\"Daily\",\"Daily\",\"olwen\",\"Alarm 71\"\r\n\"bad\"line\r\n";
    TalkingClock& clock = start({}, "\"07:00\",\"Once\",\"12/3/2026\",\"olwen\",\"One\"\r\n"
                                    "\"07:00\",\"Once\",\"12/4/2026\",\"olwen\",\"Two\"\r\n" +
                                        left + aside);

    QCOMPARE(readFile(alarmsPath()), left);
    QCOMPARE(clock.alarmList().rowCount(), 74);
    QCOMPARE(clock.alarmList().index(0).data().toString(), "07:00\tOnce\t12/5\tolwen\tToday");
    QCOMPARE(m_told, QStringList({"box Alarms Not Loaded", "box 2 Missed Alarm(s)!",
                                  "notice Alarm Dates Not Understood"}));
    QCOMPARE(readFile(m_folder->path() + "/Alarms not loaded.dat"), aside);
}

void TestTalkingClock::failedSaveIsToldOnceUntilASaveWorks()
{
    TalkingClock& clock = start({}, alarmLines(1));
    QStringList told;
    connect(&clock, &TalkingClock::noticeOver, this,
            [&told](const QString& title) { told.append("over " + title); });
    // A folder in a file's place makes its save fail, logged each time.
    for (const bool blocked : {true, false, true, true}) {
        m_told.clear();
        for (const QString& path : {settingsPath(), alarmsPath()}) {
            QVERIFY(blocked ? QDir().mkpath(path) || (QFile::remove(path) && QDir().mkdir(path))
                            : QDir().rmdir(path));
            if (blocked)
                QTest::ignoreMessage(
                    QtWarningMsg, QRegularExpression("could not save .*" + path.section('/', -1)));
        }
        clock.saveEverything();
        told += m_told;
    }
    // Told, taken back by a save that works, told again, and not a second time.
    QCOMPARE(told, QStringList({"notice Settings Not Saved", "notice Alarms Not Saved",
                                "over Settings Not Saved", "over Alarms Not Saved",
                                "notice Settings Not Saved", "notice Alarms Not Saved"}));
}

QTEST_GUILESS_MAIN(TestTalkingClock)
#include "test_talking_clock.moc"
