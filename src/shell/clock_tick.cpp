#include <QListWidget>
#include <QLocale>
#include <QTimer>

#include "alarms/alarm_check.h"
#include "clock/time_phrase.h"
#include "platform/platform.h"
#include "shell/main_window.h"

namespace hv::shell {

void frmHoravox::tmrClock_Timer()
{
    const QDateTime now = m_platform.now();
    const clock::HourClock hours =
        quietTimes.twentyFourHour ? clock::HourClock::TwentyFour : clock::HourClock::Twelve;
    setWindowTitle(clock::captionText(now, QLocale(), hours));
    if (bAgentBusy)
        return;
    if (!bSynchronized) {
        if (now.time().second() == 0) {
            tmrClock->setInterval(60000);
            bSynchronized = true;
            // A Test request still waiting gives this back when it is consumed.
            bSavedSynchronized = true;
        }
        return;
    }
    if (!bSpeakNow && clock::isOffTheMinute(now.time())) {
        tmrClock->setInterval(1000);
        bSynchronized = false;
        return;
    }
    if (HoldAlarmsWhileLocked(now) ||
        CheckAlarms(NextAlarmMinute(now)) == alarms::TickStep::EndTick) {
        // A Test request waits for a later tick; until then the timer must not count as on the
        // minute when it is not, or every second would repeat the alarm on screen.
        if (bSpeakNow)
            bSynchronized = bSavedSynchronized;
        return;
    }

    const int minute = now.time().minute();
    const QString phrase = clock::timePhrase(now.time().hour(), minute, hours);
    bool speak = false;
    if (bSpeakNow) {
        bSpeakNow = false;
        bSynchronized = bSavedSynchronized;
        speak = true;
    } else {
        speak = clock::isAnnouncementMinute(iInterval, minute) && !AnnouncementQuiet(now);
    }
    if (!speak)
        return;

    // An alarm whose character was released meanwhile (an alarm test or the About scene took
    // its place) is over: the clock speaks as usual again.
    if (iActiveAlarm != -1 && !objCharacter)
        EndAlarmOnScreen();
    if (iActiveAlarm == -1) {
        AgentSpeak(phrase);
        return;
    }
    // The alarm's character is on screen: it says the time and stays.
    try {
        objCharacter->Speak(phrase);
    } catch (const engine::AgentError&) {
    }
}

alarms::TickStep frmHoravox::CheckAlarms(const QDateTime& now)
{
    const bool alarmOnScreen = iActiveAlarm != -1;
    const alarms::AlarmCheck check =
        alarms::checkAlarms(alarmTable, now, bAlarmsOn, alarmOnScreen, QLocale());
    switch (check.step) {
    case alarms::TickStep::GoOn:
        return alarms::TickStep::GoOn;
    case alarms::TickStep::EndTick:
        return alarms::TickStep::EndTick;
    case alarms::TickStep::RepeatOnScreen:
        if (objCharacter) {
            try {
                objCharacter->Play(QStringLiteral("Surprised"));
                objCharacter->Speak(sAlarmMessage);
            } catch (const engine::AgentError&) {
            }
        } else {
            ShowAlarmCharacter(sAlarmAgent);
        }
        return alarms::TickStep::EndTick;
    case alarms::TickStep::FireAlarm:
        break;
    }

    const int i = check.index;
    sAlarmMessage = alarmTable.Alarms[i].sMessage;
    if (check.fired == alarms::FiredEntry::AdvanceFirst)
        AdvanceYearlyAlarm(i);
    iActiveAlarm = qint16(i);
    if (alarmOnScreen && objCharacter) {
        try {
            objCharacter->Speak(sAlarmMessage);
        } catch (const engine::AgentError&) {
        }
    } else {
        ShowAlarmCharacter(alarmTable.Alarms[i].sAgent);
    }
    if (check.fired == alarms::FiredEntry::DeleteAfter) {
        lstAlarms->setCurrentRow(i);
        mnuAlarmDelete_Click();
    }
    return alarms::TickStep::EndTick;
}

void frmHoravox::ShowAlarmCharacter(const QString& agentName)
{
    sAlarmAgent = agentName;
    sSavedAgentName = sAgentName;
    sAgentName = agentName;
    AgentSpeak(sAlarmMessage);
    sAgentName = sSavedAgentName;
    // A character that cannot be loaded cannot repeat anything: the alarm ends here rather
    // than bringing up the same error every minute.
    if (!objCharacter)
        EndAlarmOnScreen();
}

void frmHoravox::EndAlarmOnScreen()
{
    iActiveAlarm = -1;
    sAlarmMessage.clear();
    sAlarmAgent.clear();
}

} // namespace hv::shell
