#include <QLabel>
#include <QPushButton>

#include "about/about_dialog.h"
#include "about/about_scene.h"
#include "platform/twips.h"
#include "shell/main_window.h"

namespace hv::shell {

void frmHoravox::mnuAboutAnimation_Click()
{
    if (m_clock.sDefaultAgent().isEmpty()) {
        mnuAboutDialog_Click();
        return;
    }
    const QRect outer = frameGeometry();
    const QPoint beside = about::aboutScenePosition(outer.left() * platform::TWIPS_PER_PIXEL,
                                                    outer.top() * platform::TWIPS_PER_PIXEL,
                                                    outer.width() * platform::TWIPS_PER_PIXEL);
    // Without a presenter (its file has gone since start-up, or it failed while the scene was
    // being queued) the picture stays.
    m_clock.present(beside, &about::queueAboutScene);
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
