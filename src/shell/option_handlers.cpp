#include <QAction>
#include <QListWidget>
#include <QRadioButton>

#include "shell/main_window.h"

namespace hv::shell {

// The menu items of each option are an exclusive QActionGroup, so checking one unchecks the rest.

void frmHoravox::mnuInterval_Click(int index)
{
    mnuInterval[index]->setChecked(true);
    optInterval[index]->setChecked(true);
    m_clock.setInterval(index);
}

void frmHoravox::mnuPos_Click(int index)
{
    mnuPos[index]->setChecked(true);
    optPos[index]->setChecked(true);
    m_clock.setPosition(index);
}

void frmHoravox::mnuBalloonOpt_Click(int index)
{
    mnuBalloonOpt[index]->setChecked(true);
    optBalloon[index]->setChecked(true);
    m_clock.setBalloonOption(index);
}

void frmHoravox::mnuAlarmsOpt_Click(int index)
{
    showAlarmsOption(m_clock.setAlarmsOption(index));
}

void frmHoravox::showAlarmsOption(int index)
{
    mnuAlarmsOpt[index]->setChecked(true);
    optAlarmsOpt[index]->setChecked(true);
}

void frmHoravox::mnuAgent_Click(int index)
{
    lstAgents->setCurrentRow(index);
    lstAgents_Click();
}

void frmHoravox::cmdTest_Click()
{
    m_clock.speakNow();
    m_clock.SaveSettings();
}

} // namespace hv::shell
