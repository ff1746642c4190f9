#include <QLabel>
#include <QPushButton>

#include "about/about_dialog.h"
#include "about/about_scene.h"
#include "shell/engine_log.h"
#include "shell/main_window.h"

namespace hv::shell {

namespace {
constexpr int TWIPS_PER_PIXEL = 15;
}

void frmHoravox::mnuAboutAnimation_Click()
{
    if (sDefaultAgent.isEmpty()) {
        mnuAboutDialog_Click();
        return;
    }
    cmdTest->setEnabled(false);
    const qint16 savedX = iAgentX;
    const qint16 savedY = iAgentY;
    const QRect outer = frameGeometry();
    const QPoint beside =
        about::aboutScenePosition(outer.left() * TWIPS_PER_PIXEL, outer.top() * TWIPS_PER_PIXEL,
                                  outer.width() * TWIPS_PER_PIXEL);
    iAgentX = static_cast<qint16>(beside.x());
    iAgentY = static_cast<qint16>(beside.y());
    // The presenter stands where the picture was.
    imgAgents->setVisible(false);
    bAgentBusy = true;
    sSavedAgentName = settings.sAgentName;
    settings.sAgentName = sDefaultAgent;
    AgentSpeak(QString());
    settings.sAgentName = sSavedAgentName;

    // Without a presenter (its file has gone since start-up, or it failed while the scene was
    // being queued) no hide will ever complete, so the picture comes back here.
    try {
        if (objCharacter)
            reqHide = about::queueAboutScene(*objCharacter);
    } catch (const engine::AgentError& error) {
        qCWarning(lcEngine) << "About scene:" << error.what();
        objCharacter = nullptr;
    }
    if (!objCharacter)
        imgAgents->setVisible(true);

    bAgentBusy = false;
    iAgentX = savedX;
    iAgentY = savedY;
    cmdTest->setEnabled(true);
}

void frmHoravox::mnuAboutDialog_Click()
{
    if (!aboutDialog)
        aboutDialog = new about::frmAbout(m_platform, this);
    aboutDialog->show();
    aboutDialog->raise();
    aboutDialog->activateWindow();
}

} // namespace hv::shell
