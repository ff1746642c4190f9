#include <QFileInfo>
#include <QLabel>
#include <QRadioButton>

#include "agent/character_files.h"
#include "platform/platform.h"
#include "shell/main_window.h"

namespace hv::shell {

namespace {
const QString CHARACTER_ID = QStringLiteral("CharacterID");
}

void frmHoravox::AgentSpeak(const QString& text)
{
    const QString path = settings.sAgentPath + settings.sAgentName + QStringLiteral(".acs");

    objCharacter = nullptr;
    try {
        Agent1.Characters().Unload(CHARACTER_ID);
    } catch (const engine::AgentError&) {
        // Nothing was loaded.
    }

    try {
        Agent1.Characters().Load(CHARACTER_ID, agent::resolveCharacterFile(path));
    } catch (const engine::AgentError&) {
        objCharacter = nullptr;
        // Told without a box: a box would hold up the clock until someone came to close it.
        tellUser(QStringLiteral("Horavox"),
                 QStringLiteral("There was an error opening the Agent file \r\n") + path);
        return;
    }

    // Once loaded, a failure only ends the appearance; the next call tries afresh.
    try {
        objCharacter = Agent1.Characters()(CHARACTER_ID);
        objCharacter->setLanguageID(1033);
        SetBalloonStyle();
        objCharacter->setAutoPopupMenu(false);
        objCharacter->MoveTo(iAgentX, iAgentY);
        objCharacter->Show();
        if (bAgentBusy)
            return;
        objCharacter->Play(QStringLiteral("Explain"));
        if (!text.isEmpty())
            objCharacter->Speak(text);
        if (iActiveAlarm == -1)
            reqHide = objCharacter->Hide();
        else
            objCharacter->Play(QStringLiteral("Idle1_1"));
    } catch (const engine::AgentError&) {
        objCharacter = nullptr;
    }
}

QString frmHoravox::alarmCharacter(const QString& agentName) const
{
    // Alarm files from other computers name characters that are not here: the clock's own
    // character says those alarms.
    const QString path = settings.sAgentPath + agentName + QStringLiteral(".acs");
    return QFileInfo::exists(agent::resolveCharacterFile(path)) ? agentName : settings.sAgentName;
}

void frmHoravox::SetBalloonStyle()
{
    const int style = objCharacter->BalloonStyle();
    if (optBalloon[0]->isChecked()) {
        objCharacter->setBalloonStyle(style | engine::BALLOON_ON);
        settings.iBalloonOption = 0;
    } else {
        objCharacter->setBalloonStyle(style & ~engine::BALLOON_ON);
        settings.iBalloonOption = 1;
    }
}

void frmHoravox::Agent1_Click()
{
    if (iActiveAlarm == -1 || !objCharacter)
        return;
    try {
        objCharacter->Speak(sAlarmMessage);
    } catch (const engine::AgentError&) {
    }
}

void frmHoravox::Agent1_DblClick()
{
    if (objCharacter) {
        try {
            objCharacter->Stop();
            reqHide = objCharacter->Hide();
        } catch (const engine::AgentError&) {
        }
    }
    EndAlarmOnScreen();
}

void frmHoravox::Agent1_RequestComplete(const engine::AgentRequest& request)
{
    if (request != reqHide)
        return;
    objCharacter = nullptr;
    try {
        Agent1.Characters().Unload(CHARACTER_ID);
    } catch (const engine::AgentError&) {
    }
    imgAgents->setVisible(true);
}

} // namespace hv::shell
