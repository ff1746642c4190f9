#include <QAction>
#include <QListWidget>
#include <QRadioButton>

#include "agent/screen_position.h"
#include "platform/platform.h"
#include "shell/main_window.h"

namespace hv::shell {

// The menu items of each option are an exclusive QActionGroup, so checking one unchecks the rest.

void frmHoravox::mnuInterval_Click(int index)
{
    mnuInterval[index]->setChecked(true);
    optInterval[index]->setChecked(true);
    settings.iInterval = qint16(index);
}

void frmHoravox::mnuPos_Click(int index)
{
    mnuPos[index]->setChecked(true);
    optPos[index]->setChecked(true);
    settings.iPosition = qint16(index);
    const QPoint at = agent::agentPosition(index, m_platform.workArea());
    iAgentX = qint16(at.x());
    iAgentY = qint16(at.y());
}

void frmHoravox::mnuBalloonOpt_Click(int index)
{
    mnuBalloonOpt[index]->setChecked(true);
    optBalloon[index]->setChecked(true);
    settings.iBalloonOption = qint16(index);
}

void frmHoravox::mnuAlarmsOpt_Click(int index)
{
    // With no alarms the switch cannot be turned on.
    showAlarmsOption(alarmList.iAlarmCount() == 0 ? 1 : index);
}

void frmHoravox::showAlarmsOption(int index)
{
    mnuAlarmsOpt[index]->setChecked(true);
    optAlarmsOpt[index]->setChecked(true);
    settings.iAlarmsOption = qint16(index);
    bAlarmsOn = index == 0;
}

void frmHoravox::mnuAgent_Click(int index)
{
    lstAgents->setCurrentRow(index);
    lstAgents_Click();
}

void frmHoravox::cmdTest_Click()
{
    bSpeakNow = true;
    tmrClock_Timer();
    SaveSettings();
}

} // namespace hv::shell
