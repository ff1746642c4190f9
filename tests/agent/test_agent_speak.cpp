#include <QLabel>
#include <QTest>

#include "window_fixture.h"

using hv::testing::WindowFixture;

class TestAgentSpeak final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void callsInOrderForEachKindOfAppearance_data();
    void callsInOrderForEachKindOfAppearance();
    void failureEndsTheAppearance_data();
    void failureEndsTheAppearance();
    void findsTheFileWhateverTheLetterCase_data();
    void findsTheFileWhateverTheLetterCase();
    void doubleClickSendsTheCharacterAway_data();
    void doubleClickSendsTheCharacterAway();
    void clickRepeatsOnlyAnAlarmMessage_data();
    void clickRepeatsOnlyAnAlarmMessage();
    void onlyTheHideReleasesTheCharacter();
    void aSecondAnnouncementReplacesTheFirstAtOnce();

private:
    // An alarm puts its message on screen the way the alarm check does.
    void showAlarm(const QString& message);

    std::unique_ptr<WindowFixture> m_f;
    hv::shell::frmHoravox* m_window = nullptr;
    QStringList& log() { return m_f->agent.log; }
};

void TestAgentSpeak::init()
{
    m_f = std::make_unique<WindowFixture>();
    WindowFixture::putFiles(m_f->charsFolder(), {"Peedy.acs"});
    m_window = &m_f->start();
}

void TestAgentSpeak::cleanup()
{
    m_f.reset();
}

void TestAgentSpeak::showAlarm(const QString& message)
{
    m_window->iActiveAlarm = 0;
    m_window->sAlarmMessage = message;
    m_window->AgentSpeak(message);
}

void TestAgentSpeak::callsInOrderForEachKindOfAppearance_data()
{
    QTest::addColumn<int>("balloon");
    QTest::addColumn<bool>("alarm");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("tail");
    // The character brings style bits 2 and 4; only bit 1 is the program's.
    QTest::newRow("announce with balloon")
        << 0 << false << false << "The time is, 9:00."
        << QStringList{"Balloon.Style 7", "AutoPopupMenu False",      "MoveTo 5 615", "Show",
                       "Play Explain",    "Speak The time is, 9:00.", "Hide"};
    QTest::newRow("announce without balloon")
        << 1 << false << false << "The time is, 9:00."
        << QStringList{"Balloon.Style 6", "AutoPopupMenu False",      "MoveTo 5 615", "Show",
                       "Play Explain",    "Speak The time is, 9:00.", "Hide"};
    QTest::newRow("alarm stays on screen")
        << 1 << true << false << "Wake up"
        << QStringList{"Balloon.Style 6", "AutoPopupMenu False", "MoveTo 5 615", "Show",
                       "Play Explain",    "Speak Wake up",       "Play Idle1_1"};
    QTest::newRow("busy caller drives it")
        << 0 << false << true << ""
        << QStringList{"Balloon.Style 7", "AutoPopupMenu False", "MoveTo 5 615", "Show"};
    QTest::newRow("empty text") << 1 << false << false << ""
                                << QStringList{"Balloon.Style 6", "AutoPopupMenu False",
                                               "MoveTo 5 615",    "Show",
                                               "Play Explain",    "Hide"};
}

void TestAgentSpeak::callsInOrderForEachKindOfAppearance()
{
    QFETCH(int, balloon);
    QFETCH(bool, alarm);
    QFETCH(bool, busy);
    QFETCH(QString, text);
    QFETCH(QStringList, tail);
    m_window->mnuBalloonOpt_Click(balloon);
    m_window->bAgentBusy = busy;
    if (alarm)
        m_window->iActiveAlarm = 3;

    m_window->AgentSpeak(text);

    const QStringList head{"Unload CharacterID",
                           "Load CharacterID " + m_f->charsFolder() + "Peedy.acs",
                           "LanguageID 1033"};
    QCOMPARE(log(), head + tail);
    QCOMPARE(m_window->iBalloonOption, balloon);
    QVERIFY(m_window->objCharacter);
    const bool hides = tail.last() == "Hide";
    QCOMPARE(m_window->reqHide, hides ? m_f->agent.requests.last() : agentctl::AgentRequest());
}

void TestAgentSpeak::failureEndsTheAppearance_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("failingCall");
    QTest::addColumn<QString>("lastCall");
    QTest::addColumn<bool>("message");
    QTest::newRow("missing file") << "Nobody"
                                  << ""
                                  << "Load CharacterID" << true;
    QTest::newRow("moving fails") << "Peedy"
                                  << "MoveTo"
                                  << "MoveTo" << false;
    QTest::newRow("speaking fails") << "Peedy"
                                    << "Speak"
                                    << "Speak" << false;
}

void TestAgentSpeak::failureEndsTheAppearance()
{
    QFETCH(QString, name);
    QFETCH(QString, failingCall);
    QFETCH(QString, lastCall);
    QFETCH(bool, message);
    const QString path = m_f->charsFolder() + name + ".acs";
    if (message)
        m_f->agent.failingPaths.append(path);
    m_f->agent.failingCall = failingCall;
    m_window->sAgentName = name;

    m_window->AgentSpeak("The time is, 9:00.");

    QVERIFY(log().last().startsWith(lastCall));
    QVERIFY(!m_window->objCharacter);
    QCOMPARE(m_f->platform.messageBoxes.size(), message ? 1 : 0);
    if (message) {
        const auto& box = m_f->platform.messageBoxes.first();
        QCOMPARE(box.text, "There was an error opening the Agent file \r\n" + path);
        QCOMPARE(box.title, QString("Horavox"));
        QCOMPARE(box.icon, hv::platform::MessageIcon::None);
        QCOMPARE(box.buttons, hv::platform::MessageButtons::Ok);
    }
    // The next call tries afresh.
    m_f->agent.failingPaths.clear();
    m_f->agent.failingCall.clear();
    WindowFixture::putFiles(m_f->charsFolder(), {name + ".acs"});
    m_window->AgentSpeak("The time is, 9:01.");
    QCOMPARE(log().last(), QString("Hide"));
    QVERIFY(m_window->objCharacter);
}

void TestAgentSpeak::findsTheFileWhateverTheLetterCase_data()
{
    QTest::addColumn<QString>("onDisk");
    QTest::addColumn<QString>("name");
    QTest::newRow("lower-case file") << "peedy.acs"
                                     << "Peedy";
    QTest::newRow("capitalised file") << "Genie.acs"
                                      << "genie";
    QTest::newRow("upper-case extension") << "Merlin.ACS"
                                          << "merlin";
}

void TestAgentSpeak::findsTheFileWhateverTheLetterCase()
{
    QFETCH(QString, onDisk);
    QFETCH(QString, name);
    QFile::remove(m_f->charsFolder() + "Peedy.acs");
    WindowFixture::putFiles(m_f->charsFolder(), {onDisk});
    // Only the file as it is named on disk can be opened.
    m_f->agent.failingPaths.append(m_f->charsFolder() + name + ".acs");
    m_window->sAgentName = name;

    m_window->AgentSpeak("The time is, 9:00.");

    QVERIFY(log().contains("Load CharacterID " + m_f->charsFolder() + onDisk));
    QVERIFY(m_window->objCharacter);
    QVERIFY(m_f->platform.messageBoxes.isEmpty());
}

void TestAgentSpeak::doubleClickSendsTheCharacterAway_data()
{
    QTest::addColumn<bool>("alarm");
    QTest::newRow("speaking the time") << false;
    QTest::newRow("alarm on screen") << true;
}

void TestAgentSpeak::doubleClickSendsTheCharacterAway()
{
    QFETCH(bool, alarm);
    if (alarm)
        showAlarm("Wake up");
    else
        m_window->AgentSpeak("The time is, 9:00.");
    m_window->imgAgents->hide();
    log().clear();

    m_f->agent.doubleClickCharacter();

    QCOMPARE(log(), (QStringList{"Stop", "Hide"}));
    QCOMPARE(m_window->reqHide, m_f->agent.requests.last());
    QCOMPARE(m_window->iActiveAlarm, -1);
    QVERIFY(m_window->sAlarmMessage.isEmpty());

    m_f->agent.complete(m_window->reqHide);
    QCOMPARE(log().last(), QString("Unload CharacterID"));
    QVERIFY(!m_window->objCharacter);
    QVERIFY(!m_window->imgAgents->isHidden());
}

void TestAgentSpeak::clickRepeatsOnlyAnAlarmMessage_data()
{
    QTest::addColumn<bool>("alarm");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("alarm on screen") << true << QStringList{"Speak Wake up"};
    QTest::newRow("announcing the time") << false << QStringList();
}

void TestAgentSpeak::clickRepeatsOnlyAnAlarmMessage()
{
    QFETCH(bool, alarm);
    QFETCH(QStringList, calls);
    if (alarm)
        showAlarm("Wake up");
    else
        m_window->AgentSpeak("The time is, 9:00.");
    log().clear();

    m_f->agent.clickCharacter();

    QCOMPARE(log(), calls);
}

void TestAgentSpeak::onlyTheHideReleasesTheCharacter()
{
    m_window->AgentSpeak("The time is, 9:00.");
    const QList<agentctl::AgentRequest> requests = m_f->agent.requests;
    log().clear();
    for (const agentctl::AgentRequest& request : requests) {
        if (request != m_window->reqHide)
            m_f->agent.complete(request);
    }
    QVERIFY(log().isEmpty());
    QVERIFY(m_window->objCharacter);

    m_f->agent.complete(m_window->reqHide);
    QCOMPARE(log(), QStringList{"Unload CharacterID"});
    QVERIFY(!m_window->objCharacter);
}

void TestAgentSpeak::aSecondAnnouncementReplacesTheFirstAtOnce()
{
    m_window->AgentSpeak("The time is, 9:00.");
    const agentctl::AgentRequest firstHide = m_window->reqHide;
    log().clear();

    m_window->AgentSpeak("The time is, 9:01.");
    QCOMPARE(log().first(), QString("Unload CharacterID"));
    QCOMPARE(m_f->agent.character(), m_window->objCharacter.data());

    // The first character's hide can no longer release the second one.
    log().clear();
    m_f->agent.complete(firstHide);
    QVERIFY(log().isEmpty());
    QVERIFY(m_window->objCharacter);
}

QTEST_MAIN(TestAgentSpeak)
#include "test_agent_speak.moc"
