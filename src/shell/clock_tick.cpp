#include <QLocale>
#include <QTimer>

#include "clock/time_phrase.h"
#include "platform/platform.h"
#include "shell/main_window.h"

namespace hv::shell {

void frmHoravox::tmrClock_Timer()
{
    const QDateTime now = m_platform.now();
    setWindowTitle(clock::captionText(now, QLocale()));
    if (bAgentBusy)
        return;
    if (!bSynchronized) {
        if (now.time().second() == 0) {
            tmrClock->setInterval(60000);
            bSynchronized = true;
        }
        return;
    }
    if (!bSpeakNow && clock::isOffTheMinute(now.time())) {
        tmrClock->setInterval(1000);
        bSynchronized = false;
        return;
    }
    const int minute = now.time().minute();
    const int hour = now.time().hour();
    const QString phrase = clock::timePhrase(hour, minute);

    bool speak = false;
    if (bSpeakNow) {
        bSpeakNow = false;
        bSynchronized = bSavedSynchronized;
        speak = true;
    } else {
        speak = clock::isAnnouncementMinute(iInterval, minute);
    }
    if (!speak)
        return;

    if (iActiveAlarm == -1) {
        AgentSpeak(phrase);
    } else if (objCharacter) {
        // The alarm's character is on screen: it says the time and stays.
        try {
            objCharacter->Speak(phrase);
        } catch (const agentctl::AgentError&) {
        }
    }
}

} // namespace hv::shell
