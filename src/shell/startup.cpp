#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWindow>

#include "alarms/alarm_table.h"
#include "platform/platform.h"
#include "shell/engine_log.h"
#include "shell/main_window.h"

namespace hv::shell {

void frmHoravox::Form_Load()
{
    const bool settingsFound = QFileInfo(settingsFilePath()).isFile();
    if (settingsFound)
        ReadSettings();
    // The record's values, read or the first run's, check the options through their handlers.
    // A stored "On" holds before the alarms are read, even when none are.
    showAlarmsOption(settings.iAlarmsOption);
    mnuBalloonOpt_Click(settings.iBalloonOption);
    mnuPos_Click(settings.iPosition);
    mnuInterval_Click(settings.iInterval);

    ReadQuietTimes();
    LoadAlarms();

    cSysTray1->show();

    iActiveAlarm = -1;
    bSynchronized = false;
    m_lastSeenMinute.reset();
    tmrClock->start(1000);

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
    bExiting = true;
    SaveSettings();
    SaveAlarms();
    // The files are written; whatever fails from here on must not keep the program alive.
    try {
        if (objCharacter)
            objCharacter->Hide();
    } catch (const engine::AgentError& error) {
        qCWarning(lcEngine) << "hiding the character at exit:" << error.what();
    }
    objCharacter = nullptr;
    // Posted, so the close is handled after this handler has returned.
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void frmHoravox::saveEverything()
{
    SaveSettings();
    SaveAlarms();
}

void frmHoravox::closeEvent(QCloseEvent* event)
{
    if (!bExiting) {
        event->ignore();
        SaveSettings();
        SaveAlarms();
        // Not the toggle: a window already minimised in place of hidden would come back.
        setWindowShown(false);
        mnuShow->setChecked(false);
        return;
    }
    event->accept();
    tmrClock->stop();
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
