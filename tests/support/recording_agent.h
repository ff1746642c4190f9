#pragma once

#include <memory>

#include <QStringList>

#include "engine/control/agent_control.h"

namespace hv::testing {

class RecordingAgent;

// A character that only writes down what it is asked, one line per call, in the agent's log.
class RecordedCharacter final : public engine::AgentCharacter
{
    Q_OBJECT

public:
    explicit RecordedCharacter(RecordingAgent& agent) : m_agent(agent) {}

    int LanguageID() const override { return m_languageId; }
    void setLanguageID(int languageId) override;
    bool AutoPopupMenu() const override { return m_autoPopupMenu; }
    void setAutoPopupMenu(bool on) override;
    int BalloonStyle() const override { return m_balloonStyle; }
    void setBalloonStyle(int style) override;
    engine::AgentRequest MoveTo(int x, int y) override;
    engine::AgentRequest Show() override;
    engine::AgentRequest Play(const QString& animation) override;
    engine::AgentRequest Speak(const QString& text) override;
    void Stop() override;
    engine::AgentRequest Hide() override;

private:
    engine::AgentRequest record(const QString& call);

    RecordingAgent& m_agent;
    int m_languageId = 0;
    bool m_autoPopupMenu = true;
    // The bits a character brings with it besides the balloon switch.
    int m_balloonStyle = 0x2 | 0x4;
};

// The Agent control of the program's tests: loads always succeed unless the path is listed
// in failingPaths, every call is logged, and the test decides when requests complete.
class RecordingAgent final : public engine::AgentControl, private engine::AgentCharacters
{
    Q_OBJECT

public:
    QStringList log;
    QStringList failingPaths;
    // The call (its log line starts with this) at which the loaded character raises an error.
    QString failingCall;
    QList<engine::AgentRequest> requests;

    engine::AgentCharacters& Characters() override { return *this; }
    [[nodiscard]] RecordedCharacter* character() const { return m_character.get(); }
    // Raises RequestComplete for a request, as the engine does when it has been carried out.
    void complete(const engine::AgentRequest& request) { emit RequestComplete(request); }
    void clickCharacter() { emit Click(QStringLiteral("CharacterID"), 1, 0, 10, 10); }
    void doubleClickCharacter() { emit DblClick(QStringLiteral("CharacterID"), 1, 0, 10, 10); }

private:
    friend class RecordedCharacter;

    void Load(const QString& characterId, const QString& path) override;
    void Unload(const QString& characterId) override;
    engine::AgentCharacter* operator()(const QString& characterId) override;

    std::unique_ptr<RecordedCharacter> m_character;
    int m_nextRequestId = 1;
};

} // namespace hv::testing
