#include "shell/option_handlers.h"

#include <cmath>

#include <QAction>
#include <QListWidget>
#include <QRadioButton>

#include "alarms/alarm_table.h"
#include "platform/platform.h"
#include "shell/main_window.h"

namespace hv::shell {

namespace {

// std::nearbyint rounds in the default mode, to nearest with halves to even.
qint16 roundHalfEven(double value)
{
    return qint16(std::nearbyint(value));
}

template <std::size_t N> void checkOnly(const std::array<QAction*, N>& items, int index)
{
    for (QAction* item : items)
        item->setChecked(false);
    items[index]->setChecked(true);
}

} // namespace

QPoint agentPosition(int position, QSize screen)
{
    const double w = screen.width();
    const double h = screen.height();
    switch (position) {
    case 0:
        return {5, 5};
    case 1:
        return {roundHalfEven(w - 160), 5};
    case 2:
        return {5, roundHalfEven(h - 153)};
    case 3:
        return {roundHalfEven(w - 160), roundHalfEven(h - 153)};
    default:
        return {roundHalfEven(w / 2 - 80), roundHalfEven(h / 2 - 64)};
    }
}

void frmHoravox::mnuInterval_Click(int index)
{
    checkOnly(mnuInterval, index);
    optInterval[index]->setChecked(true);
    iInterval = qint16(index);
}

void frmHoravox::mnuPos_Click(int index)
{
    checkOnly(mnuPos, index);
    optPos[index]->setChecked(true);
    iPosition = qint16(index);
    const QPoint at = agentPosition(index, m_platform.screenSize());
    iAgentX = qint16(at.x());
    iAgentY = qint16(at.y());
}

void frmHoravox::mnuBalloonOpt_Click(int index)
{
    checkOnly(mnuBalloonOpt, index);
    optBalloon[index]->setChecked(true);
    iBalloonOption = qint16(index);
}

void frmHoravox::mnuAlarmsOpt_Click(int index)
{
    // With no alarms the switch cannot be turned on.
    const int chosen = alarmTable.iAlarmCount == 0 ? 1 : index;
    checkOnly(mnuAlarmsOpt, chosen);
    optAlarmsOpt[chosen]->setChecked(true);
    iAlarmsOption = qint16(chosen);
    bAlarmsOn = chosen == 0;
}

void frmHoravox::mnuAgent_Click(int index)
{
    lstAgents->setCurrentRow(index);
    lstAgents_Click();
}

void frmHoravox::cmdTest_Click()
{
    bSavedSynchronized = bSynchronized;
    bSpeakNow = true;
    bSynchronized = true;
    tmrClock_Timer();
    SaveSettings();
}

} // namespace hv::shell
