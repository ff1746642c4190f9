#include <QAction>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>

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

int frmHoravox::selectedAlarm() const
{
    const int row = lstAlarms->currentIndex().row();
    return m_clock.alarmList().isAlarmRow(row) ? row : -1;
}

void frmHoravox::selectAlarmRow(int row)
{
    lstAlarms->setCurrentIndex(m_clock.alarmList().index(row));
}

void frmHoravox::lstAlarms_MouseDown(int Button, int /*Shift*/, int X, int Y)
{
    if (Button & 2) {
        // The row really under the pointer, whatever height the list's font gives its rows.
        const QPoint at(X / platform::TWIPS_PER_PIXEL, Y / platform::TWIPS_PER_PIXEL);
        const int row = lstAlarms->indexAt(at).row();
        if (row < 0)
            return;
        selectAlarmRow(row);
        const bool onAlarm = m_clock.alarmList().isAlarmRow(row);
        mnuAlarmEdit->setEnabled(onAlarm);
        mnuAlarmDelete->setEnabled(onAlarm);
        mnuAlarmTest->setEnabled(onAlarm);
        mnuAlarmOptions->popup(lstAlarms->viewport()->mapToGlobal(at));
        return;
    }

    // One editor at a time: a second one would edit the table under the first.
    const int row = lstAlarms->currentIndex().row();
    if (row < 0 || bringEditorForward())
        return;
    const bool addAlarm = row == m_clock.alarmList().addRow();
    if (addAlarm) {
        if (!m_clock.alarmList().canAdd()) {
            m_platform.messageBox(this, QStringLiteral("The limit of 75 Alarms has been reached!"),
                                  QStringLiteral("Can't Add Alarm!"),
                                  platform::MessageIcon::Exclamation, platform::MessageButtons::Ok);
            return;
        }
    }
    OpenAlarmEditor(addAlarm);
}

void frmHoravox::mnuAlarmAdd_Click()
{
    selectAlarmRow(m_clock.alarmList().addRow());
    lstAlarms_MouseDown(0, 0, 0, 0);
}

void frmHoravox::mnuAlarmEdit_Click()
{
    lstAlarms_MouseDown(0, 0, 0, 0);
}

void frmHoravox::mnuAlarmDelete_Click()
{
    if (m_clock.deleteAlarm(selectedAlarm()))
        selectAlarmRow(-1);
}

void frmHoravox::mnuAlarmTest_Click()
{
    m_clock.testAlarm(selectedAlarm());
}

void frmHoravox::OpenAlarmEditor(bool addAlarm)
{
    setWindowShown(false);
    const int row = addAlarm ? -1 : selectedAlarm();
    m_editedRow = QPersistentModelIndex(m_clock.alarmList().index(row));
    QStringList agentNames;
    for (int i = 0; i < lstAgents->count(); ++i)
        agentNames.append(lstAgents->item(i)->text());
    alarmWizard = new editor::frmAlarmWizard(
        m_platform, row < 0 ? std::nullopt : std::optional(m_clock.alarmList().alarm(row)),
        agentNames, m_clock.alarmList().dateLocale());
    connect(alarmWizard, &editor::frmAlarmWizard::alarmAccepted, this,
            &frmHoravox::storeEditedAlarm);
    connect(alarmWizard, &editor::frmAlarmWizard::closed, this, [this] {
        alarmWizard = nullptr;
        setWindowShown(true);
    });
    alarmWizard->show();
}

void frmHoravox::storeEditedAlarm(const alarms::tAlarm& alarm)
{
    const std::optional<int> row = m_clock.storeAlarm(m_editedRow, alarm);
    if (!row) {
        m_platform.messageBox(this, QStringLiteral("The limit of 75 Alarms has been reached!"),
                              QStringLiteral("Can't Add Alarm!"),
                              platform::MessageIcon::Exclamation, platform::MessageButtons::Ok);
        return;
    }
    selectAlarmRow(*row);
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
