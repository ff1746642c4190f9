#include <QListWidget>
#include <QLocale>
#include <QTimer>

#include "alarms/alarm_check.h"
#include "clock/minute_steps.h"
#include "clock/time_phrase.h"
#include "platform/platform.h"
#include "shell/engine_log.h"
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
    const qint64 nowMinute = clock::minuteOf(now);
    // The first run only notes where the clock stands: the minute of start-up is not checked.
    if (!m_lastSeenMinute)
        m_lastSeenMinute = m_checkedUpTo = nowMinute;
    const clock::MinuteSteps steps =
        clock::stepMinutes(m_checkedUpTo, *m_lastSeenMinute, nowMinute);
    m_lastSeenMinute = nowMinute;
    // The first new minute puts the timer on the minute; from then on every run aims at the
    // next boundary, so a late or early run, a suspend or a clock step is put right at once.
    const bool synchronising = !bSynchronized && steps.newMinute;
    if (synchronising)
        bSynchronized = true;
    if (bSynchronized)
        tmrClock->setInterval(clock::msToNextMinute(now.time()));

    if (steps.gapTo > steps.gapFrom)
        ReportMissedAlarms(clock::startOfMinute(steps.gapFrom), clock::startOfMinute(steps.gapTo));
    bool endTick = false;
    // Asked once a run: the desktop's answer may take a while, and a clock step brings several
    // minutes at once.
    const bool screenLocked = !steps.alarmMinutes.isEmpty() && m_platform.screenLocked();
    for (const qint64 minute : steps.alarmMinutes) {
        m_checkedUpTo = minute;
        const QDateTime at = clock::startOfMinute(minute);
        // Behind a locked screen a due alarm waits, and rings once the screen is unlocked.
        if (HoldAlarmsWhileLocked(at, screenLocked) ||
            CheckAlarms(NextAlarmMinute(at), minute == nowMinute) == alarms::TickStep::EndTick)
            endTick = true;
    }
    // Test pressed in a minute already checked: the alarm on screen is what it says.
    if (steps.alarmMinutes.isEmpty() && bSpeakNow && bAlarmsOn && alarmList.iAlarmCount() > 0 &&
        iActiveAlarm != -1) {
        RepeatAlarmOnScreen();
        endTick = true;
    }
    // A Test request waits for the next run that announces.
    if (endTick)
        return;

    const int minute = now.time().minute();
    bool speak = false;
    if (bSpeakNow) {
        bSpeakNow = false;
        speak = true;
    } else {
        // The minute the clock comes onto the minute stays silent.
        speak = steps.newMinute && !synchronising &&
                clock::isAnnouncementMinute(settings.iInterval, minute) && !AnnouncementQuiet(now);
    }
    if (!speak)
        return;
    const QString phrase = clock::timePhrase(now.time().hour(), minute, hours);

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
    } catch (const engine::AgentError& error) {
        qCWarning(lcEngine) << "the alarm character saying the time:" << error.what();
    }
}

void frmHoravox::RepeatAlarmOnScreen()
{
    if (!objCharacter) {
        ShowAlarmCharacter(sAlarmAgent);
        return;
    }
    try {
        objCharacter->Play(QStringLiteral("Surprised"));
        objCharacter->Speak(sAlarmMessage);
    } catch (const engine::AgentError& error) {
        qCWarning(lcEngine) << "repeating the alarm:" << error.what();
    }
}

alarms::TickStep frmHoravox::CheckAlarms(const QDateTime& now, bool currentMinute)
{
    const bool alarmOnScreen = iActiveAlarm != -1;
    const alarms::AlarmCheck check = alarms::checkAlarms(alarmList.table(), now, bAlarmsOn,
                                                         alarmOnScreen, alarmList.dateLocale());
    switch (check.step) {
    case alarms::TickStep::GoOn:
        return alarms::TickStep::GoOn;
    case alarms::TickStep::EndTick:
        return alarms::TickStep::EndTick;
    case alarms::TickStep::RepeatOnScreen:
        // Minutes passed over in one run repeat nothing: the message is said once, now.
        if (!currentMinute)
            return alarms::TickStep::GoOn;
        RepeatAlarmOnScreen();
        return alarms::TickStep::EndTick;
    case alarms::TickStep::FireAlarm:
        break;
    }

    const int i = check.index;
    sAlarmMessage = alarmList.alarm(i).sMessage;
    if (check.fired == alarms::FiredEntry::AdvanceFirst)
        AdvanceYearlyAlarm(i);
    iActiveAlarm = qint16(i);
    if (alarmOnScreen && objCharacter) {
        try {
            objCharacter->Speak(sAlarmMessage);
        } catch (const engine::AgentError& error) {
            qCWarning(lcEngine) << "the alarm character saying the next alarm:" << error.what();
        }
    } else {
        ShowAlarmCharacter(alarmList.alarm(i).sAgent);
    }
    if (check.fired == alarms::FiredEntry::DeleteAfter) {
        selectAlarmRow(i);
        mnuAlarmDelete_Click();
    }
    return alarms::TickStep::EndTick;
}

void frmHoravox::ShowAlarmCharacter(const QString& agentName)
{
    sAlarmAgent = alarmCharacter(agentName);
    sSavedAgentName = settings.sAgentName;
    settings.sAgentName = sAlarmAgent;
    AgentSpeak(sAlarmMessage);
    settings.sAgentName = sSavedAgentName;
    // A character file that is there but cannot be opened: the clock's own says the alarm.
    if (!objCharacter && sAlarmAgent != settings.sAgentName) {
        sAlarmAgent = settings.sAgentName;
        AgentSpeak(sAlarmMessage);
    }
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
