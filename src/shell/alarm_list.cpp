#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

#include "alarms/alarm_table.h"
#include "editor/alarm_wizard.h"
#include "platform/platform.h"
#include "platform/twips.h"
#include "shell/main_window.h"

namespace hv::shell {

bool frmHoravox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lstAlarms->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* press = static_cast<QMouseEvent*>(event);
        if (press->button() == Qt::RightButton) {
            const QPoint at = press->position().toPoint();
            lstAlarms_MouseDown(2, 0, at.x() * platform::TWIPS_PER_PIXEL,
                                at.y() * platform::TWIPS_PER_PIXEL);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmHoravox::lstAlarms_MouseDown(int Button, int /*Shift*/, int X, int Y)
{
    const int addRow = lstAlarms->count() - 1;
    if (Button & 2) {
        // The row really under the pointer, whatever height the list's font gives its rows.
        const QPoint at(X / platform::TWIPS_PER_PIXEL, Y / platform::TWIPS_PER_PIXEL);
        const int row = lstAlarms->row(lstAlarms->itemAt(at));
        if (row < 0)
            return;
        lstAlarms->setCurrentRow(row);
        const bool onAlarm = row != addRow;
        mnuAlarmEdit->setEnabled(onAlarm);
        mnuAlarmDelete->setEnabled(onAlarm);
        mnuAlarmTest->setEnabled(onAlarm);
        mnuAlarmOptions->popup(lstAlarms->viewport()->mapToGlobal(at));
        return;
    }

    // One editor at a time: a second one would edit the table under the first.
    if (lstAlarms->currentRow() < 0 || bringEditorForward())
        return;
    alarmTable.bAddAlarm = false;
    if (lstAlarms->currentRow() == addRow) {
        if (alarmTable.iAlarmCount >= alarms::MAX_ALARMS) {
            m_platform.messageBox(this, QStringLiteral("The limit of 75 Alarms has been reached!"),
                                  QStringLiteral("Can't Add Alarm!"),
                                  platform::MessageIcon::Exclamation, platform::MessageButtons::Ok);
            return;
        }
        alarmTable.bAddAlarm = true;
    }
    OpenAlarmEditor();
}

void frmHoravox::mnuAlarmAdd_Click()
{
    lstAlarms->setCurrentRow(lstAlarms->count() - 1);
    lstAlarms_MouseDown(0, 0, 0, 0);
}

void frmHoravox::mnuAlarmEdit_Click()
{
    lstAlarms_MouseDown(0, 0, 0, 0);
}

void frmHoravox::mnuAlarmDelete_Click()
{
    const int k = lstAlarms->currentRow();
    if (k < 0 || k >= alarmTable.iAlarmCount)
        return;
    // The blank entry beyond the last one in use moves up into the last place.
    for (int j = k; j < alarmTable.iAlarmCount; ++j)
        alarmTable.Alarms[j] = alarmTable.Alarms[j + 1];
    --alarmTable.iAlarmCount;
    delete lstAlarms->takeItem(k);
    lstAlarms->setCurrentRow(-1);
    // An alarm that fires while the editor is open must not shift the entry it edits.
    if (alarmWizard)
        alarmWizard->alarmRemoved(k);
    SaveAlarms();
    if (alarmTable.iAlarmCount == 0)
        optAlarmsOpt[1]->click();
}

void frmHoravox::mnuAlarmTest_Click()
{
    const int k = lstAlarms->currentRow();
    if (k < 0 || k >= alarmTable.iAlarmCount)
        return;
    const alarms::tAlarm& alarm = alarmTable.Alarms[k];
    bAgentBusy = true;
    cmdTest->setEnabled(false);
    sSavedAgentName = settings.sAgentName;
    settings.sAgentName = alarmCharacter(alarm.sAgent);
    AgentSpeak(QString());
    settings.sAgentName = sSavedAgentName;
    // A character that could not be loaded has nothing to say.
    if (objCharacter) {
        try {
            objCharacter->Speak(alarm.sMessage);
            reqHide = objCharacter->Hide();
        } catch (const engine::AgentError&) {
        }
    }
    cmdTest->setEnabled(true);
    bAgentBusy = false;
}

void frmHoravox::OpenAlarmEditor()
{
    setWindowShown(false);
    alarmWizard = new editor::frmAlarmWizard(m_platform, alarmTable, *lstAlarms, *lstAgents);
    connect(alarmWizard, &editor::frmAlarmWizard::alarmStored, this, &frmHoravox::SaveAlarms);
    connect(alarmWizard, &editor::frmAlarmWizard::closed, this, [this] {
        alarmWizard = nullptr;
        setWindowShown(true);
    });
    alarmWizard->show();
}

bool frmHoravox::bringEditorForward()
{
    if (!alarmWizard)
        return false;
    alarmWizard->showNormal();
    alarmWizard->raise();
    alarmWizard->activateWindow();
    return true;
}

} // namespace hv::shell
