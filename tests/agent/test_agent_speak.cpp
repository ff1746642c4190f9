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
    void clicksOnTheCharacter_data();
    void clicksOnTheCharacter();
    void onlyTheLatestHideReleasesTheCharacter();

private:
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

void TestAgentSpeak::callsInOrderForEachKindOfAppearance_data()
{
    QTest::addColumn<int>("balloon");
    QTest::addColumn<bool>("alarm");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("afterShow");
    const QStringList announce{"Play Explain", "Speak The time is, 9:00.", "Hide"};
    QTest::newRow("announce with balloon") << 0 << false << false << announce[1].mid(6) << announce;
    QTest::newRow("announce without balloon")
        << 1 << false << false << announce[1].mid(6) << announce;
    QTest::newRow("alarm stays on screen")
        << 1 << true << false << "Wake up"
        << QStringList{"Play Explain", "Speak Wake up", "Play Idle1_1"};
    QTest::newRow("busy caller drives it") << 0 << false << true << "" << QStringList();
    QTest::newRow("empty text") << 1 << false << false << "" << QStringList{"Play Explain", "Hide"};
}

void TestAgentSpeak::callsInOrderForEachKindOfAppearance()
{
    QFETCH(int, balloon);
    QFETCH(bool, alarm);
    QFETCH(bool, busy);
    QFETCH(QString, text);
    QFETCH(QStringList, afterShow);
    m_window->mnuBalloonOpt_Click(balloon);
    m_window->bAgentBusy = busy;
    m_window->iActiveAlarm = alarm ? 3 : -1;

    m_window->AgentSpeak(text);

    // The character brings style bits 2 and 4; only bit 1 is the program's.
    const QStringList upToShow{"Unload CharacterID",
                               "Load CharacterID " + m_f->charsFolder() + "Peedy.acs",
                               "LanguageID 1033",
                               QString("Balloon.Style %1").arg(balloon == 0 ? 7 : 6),
                               "AutoPopupMenu False",
                               "MoveTo 5 615",
                               "Show"};
    QCOMPARE(log(), upToShow + afterShow);
    QCOMPARE(m_window->iBalloonOption, balloon);
    QVERIFY(m_window->objCharacter);
    const bool hides = afterShow.endsWith("Hide");
    QCOMPARE(m_window->reqHide, hides ? m_f->agent.requests.last() : agentctl::AgentRequest());
}

void TestAgentSpeak::failureEndsTheAppearance_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("failingCall");
    QTest::newRow("missing file") << "Nobody"
                                  << "Load";
    QTest::newRow("moving fails") << "Peedy"
                                  << "MoveTo";
    QTest::newRow("speaking fails") << "Peedy"
                                    << "Speak";
}

void TestAgentSpeak::failureEndsTheAppearance()
{
    QFETCH(QString, name);
    QFETCH(QString, failingCall);
    const QString path = m_f->charsFolder() + name + ".acs";
    const bool loadFails = failingCall == "Load";
    if (loadFails)
        m_f->agent.failingPaths.append(path);
    else
        m_f->agent.failingCall = failingCall;
    m_window->sAgentName = name;

    m_window->AgentSpeak("The time is, 9:00.");

    QVERIFY(log().last().startsWith(failingCall));
    QVERIFY(!m_window->objCharacter);
    // Only a character that cannot be opened is worth a message.
    QCOMPARE(m_f->platform.messageBoxes.size(), loadFails ? 1 : 0);
    if (loadFails) {
        const auto& box = m_f->platform.messageBoxes.first();
        QCOMPARE(box.text, "There was an error opening the Agent file \r\n" + path);
        QCOMPARE(box.title, QString("Horavox"));
        QCOMPARE(box.icon, hv::platform::MessageIcon::None);
        QCOMPARE(box.buttons, hv::platform::MessageButtons::Ok);
    }
    // The next call tries afresh.
    m_f->agent.failingPaths.clear();
    m_f->agent.failingCall.clear();
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

void TestAgentSpeak::clicksOnTheCharacter_data()
{
    QTest::addColumn<bool>("alarm");
    QTest::addColumn<bool>("twice");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("click on an alarm") << true << false << QStringList{"Speak Wake up"};
    QTest::newRow("click while announcing") << false << false << QStringList();
    QTest::newRow("double-click on an alarm") << true << true << QStringList{"Stop", "Hide"};
    QTest::newRow("double-click while announcing") << false << true << QStringList{"Stop", "Hide"};
}

void TestAgentSpeak::clicksOnTheCharacter()
{
    QFETCH(bool, alarm);
    QFETCH(bool, twice);
    QFETCH(QStringList, calls);
    m_window->iActiveAlarm = alarm ? 0 : -1;
    m_window->sAlarmMessage = alarm ? "Wake up" : "";
    m_window->AgentSpeak(alarm ? "Wake up" : "The time is, 9:00.");
    m_window->imgAgents->hide();
    log().clear();

    if (twice)
        m_f->agent.doubleClickCharacter();
    else
        m_f->agent.clickCharacter();

    QCOMPARE(log(), calls);
    QCOMPARE(m_window->iActiveAlarm, alarm && !twice ? 0 : -1);
    QCOMPARE(m_window->sAlarmMessage.isEmpty(), !alarm || twice);
    if (twice) {
        QCOMPARE(m_window->reqHide, m_f->agent.requests.last());
        m_f->agent.complete(m_window->reqHide);
        QCOMPARE(log().last(), QString("Unload CharacterID"));
        QVERIFY(!m_window->objCharacter);
        QVERIFY(!m_window->imgAgents->isHidden());
    }
}

void TestAgentSpeak::onlyTheLatestHideReleasesTheCharacter()
{
    m_window->AgentSpeak("The time is, 9:00.");
    log().clear();
    // A second announcement in quick succession unloads the first character at once.
    m_window->AgentSpeak("The time is, 9:01.");
    QCOMPARE(log().first(), QString("Unload CharacterID"));
    log().clear();

    for (const agentctl::AgentRequest& request : m_f->agent.requests) {
        if (request != m_window->reqHide)
            m_f->agent.complete(request);
    }
    QVERIFY(log().isEmpty());
    QVERIFY(m_window->objCharacter);

    m_f->agent.complete(m_window->reqHide);
    QCOMPARE(log(), QStringList{"Unload CharacterID"});
    QVERIFY(!m_window->objCharacter);
}

QTEST_MAIN(TestAgentSpeak)
#include "test_agent_speak.moc"
