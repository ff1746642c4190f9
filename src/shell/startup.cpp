#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QSystemTrayIcon>
#include <QWindow>

#include "platform/platform.h"
#include "shell/main_window.h"

namespace hv::shell {

void frmHoravox::Form_Load()
{
    const bool settingsFound = m_clock.ReadSettings();
    // The record's values, read or the first run's, check the options through their handlers.
    // A stored "On" holds before the alarms are read, even when none are.
    const core::SettingsRecord& settings = m_clock.settings();
    showAlarmsOption(settings.iAlarmsOption);
    mnuBalloonOpt_Click(settings.iBalloonOption);
    mnuPos_Click(settings.iPosition);
    mnuInterval_Click(settings.iInterval);

    m_clock.ReadQuietTimes();
    m_clock.LoadAlarms();

    cSysTray1->show();
    m_clock.startClock();

    if (!FindAgentFiles()) {
        ShowFindAgentPath();
        setWindowShown(true);
    } else if (settingsFound) {
        setWindowShown(false);
    } else {
        setWindowShown(true);
    }
}

void frmHoravox::Form_Activate()
{
    if (m_platform.audioOutputCount() >= 1)
        return;
    m_platform.messageBox(this, QStringLiteral("No Sound Card Found!"),
                          QStringLiteral("Exiting Horavox!"), platform::MessageIcon::Critical,
                          platform::MessageButtons::Ok);
    m_platform.endProgram();
}

void frmHoravox::mnuExit_Click()
{
    m_exiting = true;
    m_clock.saveEverything();
    // The files are written; whatever fails from here on must not keep the program alive.
    m_clock.hideCharacter();
    // Posted, so the close is handled after this handler has returned.
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void frmHoravox::saveEverything()
{
    m_clock.saveEverything();
}

void frmHoravox::closeEvent(QCloseEvent* event)
{
    if (!m_exiting) {
        event->ignore();
        m_clock.saveEverything();
        // Not the toggle: a window already minimised in place of hidden would come back.
        setWindowShown(false);
        mnuShow->setChecked(false);
        return;
    }
    event->accept();
    m_clock.tmrClock().stop();
    cSysTray1->hide();
    QCoreApplication::quit();
}

void frmHoravox::watchActivationSource()
{
    // No focus window means the user went to another application.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* focused) {
        if (!focused)
            m_nextActivation = ActivationSource::OtherApplication;
        else if (focused != windowHandle())
            m_nextActivation = ActivationSource::ProgramWindow;
    });
}

void frmHoravox::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    m_nextActivation = ActivationSource::ProgramWindow;
}

void frmHoravox::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() &&
        m_nextActivation == ActivationSource::ProgramWindow)
        Form_Activate();
}

} // namespace hv::shell
