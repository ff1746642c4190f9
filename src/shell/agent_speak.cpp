#include <QFileInfo>
#include <QLabel>
#include <QRadioButton>

#include "agent/character_files.h"
#include "platform/platform.h"
#include "shell/engine_log.h"
#include "shell/main_window.h"

// Debug lines (an unload with nothing loaded, at every appearance) only when asked for.
Q_LOGGING_CATEGORY(lcEngine, "horavox.engine", QtInfoMsg)

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
    } catch (const engine::AgentError& error) {
        // Usually nothing was loaded.
        qCDebug(lcEngine) << "unloading:" << error.what();
    }

    try {
        Agent1.Characters().Load(CHARACTER_ID, agent::resolveCharacterFile(path));
    } catch (const engine::AgentError& error) {
        objCharacter = nullptr;
        qCWarning(lcEngine) << "loading:" << error.what();
        // Told without a box: a box would hold up the clock until someone came to close it. The
        // engine's own reason names the file and says what is wrong with it.
        tellUser(QStringLiteral("Horavox"),
                 QStringLiteral("There was an error opening the Agent file \r\n") +
                     QString::fromUtf8(error.what()));
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
    } catch (const engine::AgentError& error) {
        qCWarning(lcEngine) << "showing:" << error.what();
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
    } catch (const engine::AgentError& error) {
        qCWarning(lcEngine) << "click on the alarm character:" << error.what();
    }
}

void frmHoravox::Agent1_DblClick()
{
    if (objCharacter) {
        try {
            objCharacter->Stop();
            reqHide = objCharacter->Hide();
        } catch (const engine::AgentError& error) {
            qCWarning(lcEngine) << "dismissing the alarm:" << error.what();
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
    } catch (const engine::AgentError& error) {
        qCWarning(lcEngine) << "releasing the character:" << error.what();
    }
    imgAgents->setVisible(true);
}

} // namespace hv::shell
