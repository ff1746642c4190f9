#include <QAction>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QWindow>

#include "editor/alarm_wizard.h"
#include "platform/platform.h"
#include "shell/main_window.h"

namespace hv::shell {

void frmHoravox::cSysTray1_MouseDown(int button)
{
    // Brought forward even while hidden, so that the pop-up menu gets the keyboard. Qt's pop-up
    // closes by itself when it loses the mouse, so no message has to follow it.
    activateWindow();
    if (button == 2)
        mnuOptions->exec(QCursor::pos());
    else if (button == 1)
        mnuFile->exec(QCursor::pos());
}

bool frmHoravox::isWindowShown() const
{
    if (QSystemTrayIcon::isSystemTrayAvailable())
        return isVisible();
    return isVisible() && !isMinimized();
}

void frmHoravox::setWindowShown(bool shown)
{
    // Without a notification area a hidden window could never be reached again, so it goes
    // to the task bar instead.
    const bool hideInTray = QSystemTrayIcon::isSystemTrayAvailable();
    if (!shown) {
        if (isVisible() && !isMinimized())
            m_hiddenAt = geometry().topLeft();
        if (hideInTray)
            hide();
        else
            showMinimized();
        return;
    }
    // Asked for outright, the place counts even when Qt thinks the window is there already (it
    // was last placed by the window manager or the user), so the window manager keeps to it.
    if (m_hiddenAt && !isVisible() && windowHandle())
        windowHandle()->setPosition(*m_hiddenAt);
    showNormal();
    // A window the program brings up is the one the user deals with next.
    raise();
    activateWindow();
}

void frmHoravox::comeForward()
{
    if (bringEditorForward())
        return;
    setWindowShown(true);
    mnuShow->setChecked(true);
}

void frmHoravox::tellUser(const QString& title, const QString& text)
{
    if (QSystemTrayIcon::isSystemTrayAvailable() && cSysTray1->isVisible())
        cSysTray1->showMessage(title, text, QSystemTrayIcon::Warning);
    else
        statusBar()->showMessage(title + QStringLiteral(": ") + text);
}

void frmHoravox::mnuShow_Click()
{
    // While an alarm is being edited the main window waits hidden for the editor to close:
    // every way back to it leads to the editor.
    if (bringEditorForward())
        return;
    const bool shown = !isWindowShown();
    setWindowShown(shown);
    mnuShow->setChecked(shown);
}

void frmHoravox::cmdClose_Click()
{
    m_clock.saveEverything();
    mnuShow_Click();
}

void frmHoravox::mnuContents_Click()
{
    // A help file put into the application folder wins; otherwise the guide that comes with
    // the program.
    const QString helpFile = m_platform.applicationFolder() + QStringLiteral("/horavox.hlp");
    const QString shown = QFileInfo(helpFile).isFile() ? helpFile : m_platform.userGuideFile();
    if (!m_platform.openHelp(shown))
        m_platform.messageBox(this,
                              QStringLiteral("No program was found to show the user guide. It "
                                             "is the file\n%1\nand opens in any web browser.")
                                  .arg(QDir::toNativeSeparators(shown)),
                              QStringLiteral("Horavox"), platform::MessageIcon::Exclamation,
                              platform::MessageButtons::Ok);
}

} // namespace hv::shell
