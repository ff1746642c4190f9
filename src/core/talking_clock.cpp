#include "core/talking_clock.h"

#include <utility>

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLoggingCategory>

#include "agent/character_files.h"
#include "agent/screen_position.h"
#include "alarms/alarm_file.h"
#include "alarms/missed_alarms.h"
#include "alarms/whole_file.h"
#include "clock/minute_steps.h"
#include "clock/short_date.h"
#include "clock/time_phrase.h"
#include "quiet/quiet_file.h"

namespace hv::core {

namespace {

// What the character engine refused, with its own reason: a failed request only ends an
// appearance, so the log is where it is found again. Debug lines (an unload with nothing
// loaded, at every appearance) only when asked for.
Q_LOGGING_CATEGORY(lcEngine, "horavox.engine", QtInfoMsg)
Q_LOGGING_CATEGORY(lcSaving, "horavox.saving")
Q_LOGGING_CATEGORY(lcQuiet, "horavox.quiet")

const QString CHARACTER_ID = QStringLiteral("CharacterID");

QString characterPath(const QString& folder, const QString& name)
{
    return agent::resolveCharacterFile(folder + name + QStringLiteral(".acs"));
}

} // namespace

TalkingClock::TalkingClock(Desktop& desktop, engine::AgentControl& agent, QString applicationFolder,
                           QString quietTimesFile, QObject* parent)
    : QObject(parent), m_desktop(desktop), m_agent(agent),
      m_applicationFolder(std::move(applicationFolder)), m_quietTimesFile(std::move(quietTimesFile))
{
    m_timer.setTimerType(Qt::PreciseTimer);
}

// --- settings ---

QString TalkingClock::settingsFilePath() const
{
    return m_applicationFolder + QStringLiteral("/Settings.ini");
}

bool TalkingClock::ReadSettings()
{
    QFile file(settingsFilePath());
    if (!QFileInfo(file).isFile())
        return false;
    m_settings =
        parseSettingsLine(file.open(QIODevice::ReadOnly) ? file.readLine(65536) : QByteArray());
    return true;
}

void TalkingClock::SaveSettings()
{
    const QString why = alarms::replaceFile(settingsFilePath(), formatSettingsLine(m_settings));
    noteSave(m_settingsSaveFailing, QStringLiteral("Settings Not Saved"),
             QStringLiteral("its settings"), settingsFilePath(), why);
}

void TalkingClock::setInterval(int index)
{
    m_settings.iInterval = qint16(index);
}

void TalkingClock::setPosition(int index)
{
    m_settings.iPosition = qint16(index);
}

void TalkingClock::setBalloonOption(int index)
{
    m_settings.iBalloonOption = qint16(index);
}

int TalkingClock::setAlarmsOption(int index)
{
    m_settings.iAlarmsOption = qint16(m_alarms.iAlarmCount() == 0 ? 1 : index);
    return m_settings.iAlarmsOption;
}

void TalkingClock::setAgentPath(const QString& folder)
{
    m_settings.sAgentPath = folder.endsWith(u'/') ? folder : folder + u'/';
}

void TalkingClock::setAgentName(const QString& name)
{
    m_settings.sAgentName = name;
}

QPoint TalkingClock::agentPosition() const
{
    return agent::agentPosition(m_settings.iPosition, m_desktop.workArea());
}

// --- characters ---

std::optional<int> TalkingClock::FindAgentFiles(const QStringList& defaultFolders)
{
    QStringList names;
    if (!m_settings.sAgentPath.isEmpty()) {
        names = agent::characterFileNames(m_settings.sAgentPath);
    } else {
        for (const QString& folder : defaultFolders) {
            names = agent::characterFileNames(folder);
            if (!names.isEmpty()) {
                setAgentPath(folder);
                break;
            }
        }
    }
    if (names.isEmpty())
        return std::nullopt;
    const int chosen = setCharacterFiles(names);
    SaveSettings();
    return chosen;
}

int TalkingClock::setCharacterFiles(const QStringList& fileNames)
{
    m_characterNames.clear();
    for (const QString& fileName : fileNames)
        m_characterNames.append(fileName.chopped(4).toLower());
    m_defaultAgent = agent::pickDefaultAgent(m_characterNames);
    // With two files whose names differ only in case, the later one is taken; the stored name
    // keeps its own case.
    const int named = int(m_characterNames.lastIndexOf(m_settings.sAgentName.toLower()));
    if (named >= 0)
        return named;
    if (!m_characterNames.isEmpty())
        m_settings.sAgentName = m_characterNames.first();
    return m_characterNames.isEmpty() ? -1 : 0;
}

QString TalkingClock::alarmCharacter(const QString& agentName) const
{
    // Alarm files from other computers name characters that are not here: the clock's own
    // character says those alarms.
    return QFileInfo::exists(characterPath(m_settings.sAgentPath, agentName))
               ? agentName
               : m_settings.sAgentName;
}

// --- alarms ---

QString TalkingClock::alarmFilePath() const
{
    return m_applicationFolder + QStringLiteral("/Alarms.dat");
}

QString TalkingClock::alarmLocalePath() const
{
    return m_applicationFolder + QStringLiteral("/Alarms.locale");
}

void TalkingClock::LoadAlarms()
{
    QFile localeFile(alarmLocalePath());
    const QLocale dateLocale = localeFile.open(QIODevice::ReadOnly)
                                   ? QLocale(QString::fromUtf8(localeFile.readLine(256)).trimmed())
                                   : QLocale();
    QFile file(alarmFilePath());
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly)) {
        m_alarms.load({}, dateLocale);
        return;
    }
    const alarms::AlarmFileContents contents = alarms::readAlarmFile(file);
    file.close();
    m_alarms.load(contents.alarms, dateLocale);
    // What could not be loaded is copied aside before any save can replace the file; if even
    // that fails, the file is left as it is for the whole run.
    if (contents.unreadable + contents.overLimit > 0) {
        const QString kept = alarms::keepNotLoadedRecords(alarmFilePath());
        m_alarmFileLocked = kept.isEmpty();
        emit tell(alarms::NOT_LOADED_TITLE, alarms::notLoadedMessage(contents, kept), Telling::Box);
    }
    ReportMissedAlarms({}, m_desktop.now().date().startOfDay());
}

void TalkingClock::ReportMissedAlarms(const QDateTime& from, const QDateTime& until)
{
    const alarms::MissedAlarmReport report =
        alarms::planMissedAlarmReport(m_alarms.table(), from, until, m_alarms.dateLocale());
    for (const alarms::MissedAlarmAction& action : report.actions) {
        if (action.kind == alarms::MissedAlarmAction::Kind::DeleteRow)
            deleteAlarm(action.index);
        else
            AdvanceYearlyAlarm(action.index);
    }
    const bool atStartUp = !from.isValid();
    if (report.count > 0)
        emit tell(report.title, report.text, atStartUp ? Telling::Box : Telling::Notice);
    // Told once, at start-up; until corrected these alarms simply never ring.
    if (atStartUp && !report.unreadableDates.isEmpty())
        emit tell(QStringLiteral("Alarm Dates Not Understood"),
                  QStringLiteral("These alarms have a date that cannot be read; they stay in the "
                                 "list but will not ring until a date is chosen again:\r\n") +
                      report.unreadableDates.join(QStringLiteral("\r\n")),
                  Telling::Notice);
}

void TalkingClock::AdvanceYearlyAlarm(int row)
{
    if (m_alarms.advanceYearly(row))
        SaveAlarms();
}

void TalkingClock::SaveAlarms()
{
    if (m_alarmFileLocked)
        return;
    QString why;
    if (m_alarms.iAlarmCount() == 0) {
        QFile alarmFile(alarmFilePath());
        if (alarmFile.exists() && !alarmFile.remove())
            why = alarmFile.errorString();
        QFile::remove(alarmLocalePath());
    } else {
        // The locale first: dates must never be read back with another one.
        why = alarms::replaceFile(alarmLocalePath(),
                                  clock::localeTag(m_alarms.dateLocale()).toUtf8() + "\r\n");
        if (why.isEmpty())
            why = alarms::replaceFile(
                alarmFilePath(),
                alarms::formatAlarmFile(m_alarms.table().Alarms.data(), m_alarms.iAlarmCount()));
    }
    noteSave(m_alarmSaveFailing, QStringLiteral("Alarms Not Saved"), QStringLiteral("your alarms"),
             alarmFilePath(), why);
}

std::optional<int> TalkingClock::storeAlarm(const QPersistentModelIndex& edited,
                                            const alarms::tAlarm& alarm)
{
    const std::optional<int> row = m_alarms.store(edited, alarm);
    if (row)
        SaveAlarms();
    return row;
}

bool TalkingClock::deleteAlarm(int row)
{
    if (!m_alarms.remove(row))
        return false;
    SaveAlarms();
    if (m_alarms.iAlarmCount() == 0 && m_settings.iAlarmsOption == 0) {
        m_settings.iAlarmsOption = 1;
        emit alarmsOptionChanged(1);
    }
    return true;
}

void TalkingClock::testAlarm(int row)
{
    if (!m_alarms.isAlarmRow(row))
        return;
    const alarms::tAlarm& alarm = m_alarms.alarm(row);
    if (!bringOn(alarmCharacter(alarm.sAgent), agentPosition(), CharacterStage::Announcing))
        return;
    drive("alarm test", [this, &alarm](engine::AgentCharacter& character) {
        character.Speak(alarm.sMessage);
        m_reqHide = character.Hide();
    });
}

// --- quiet times ---

void TalkingClock::ReadQuietTimes()
{
    m_quietTimes = quiet::readQuietTimes(m_quietTimesFile);
}

void TalkingClock::setQuietTimes(const quiet::QuietTimes& quietTimes)
{
    m_quietTimes = quietTimes;
    if (!quiet::saveQuietTimes(m_quietTimesFile, m_quietTimes))
        qCWarning(lcQuiet) << "could not write" << m_quietTimesFile;
}

void TalkingClock::holdAlarmDueAt(const QDateTime& minute)
{
    const alarms::AlarmCheck check =
        alarms::checkAlarms(m_alarms.table(), minute, bAlarmsOn(), false, m_alarms.dateLocale());
    if (check.step == alarms::TickStep::FireAlarm && !m_heldAlarmMinutes.contains(minute))
        m_heldAlarmMinutes.append(minute);
}

bool TalkingClock::holdAlarmsWhileLocked(const QDateTime& minute, bool screenLocked)
{
    quiet::DesktopState desktop;
    desktop.screenLocked = screenLocked;
    if (!quiet::alarmsWait(m_quietTimes, desktop))
        return false;
    const qsizetype heldBefore = m_heldAlarmMinutes.size();
    holdAlarmDueAt(minute);
    if (m_heldAlarmMinutes.size() > heldBefore)
        qCInfo(lcQuiet).noquote() << "the screen is locked: the alarm of"
                                  << minute.toString(QStringLiteral("HH:mm")) << "waits";
    return true;
}

QDateTime TalkingClock::nextAlarmMinute(const QDateTime& minute)
{
    if (m_heldAlarmMinutes.isEmpty())
        return minute;
    holdAlarmDueAt(minute);
    const QDateTime held = m_heldAlarmMinutes.takeFirst();
    qCInfo(lcQuiet).noquote() << "the alarm of" << held.toString(QStringLiteral("HH:mm"))
                              << "rings now that the screen is unlocked";
    return held;
}

bool TalkingClock::announcementQuiet(const QDateTime& now) const
{
    quiet::DesktopState desktop;
    desktop.doNotDisturb = m_desktop.notificationsInhibited();
    desktop.fullScreen = m_desktop.activeWindowFullScreen();
    desktop.screenLocked = m_desktop.screenLocked();
    const quiet::QuietReason reason = quiet::quietReason(m_quietTimes, now.time(), desktop);
    if (reason == quiet::QuietReason::None)
        return false;
    qCInfo(lcQuiet).noquote() << "no announcement at" << now.toString(QStringLiteral("HH:mm"))
                              << "-" << quiet::reasonText(reason);
    return true;
}

// --- the clock ---

void TalkingClock::startClock()
{
    m_clockStage = ClockStage::Starting;
    m_lastSeenMinute.reset();
    m_timer.start(1000);
}

void TalkingClock::speakNow()
{
    m_speakNow = true;
    tmrClock_Timer();
}

void TalkingClock::tmrClock_Timer()
{
    const QDateTime now = m_desktop.now();
    const clock::HourClock hours =
        m_quietTimes.twentyFourHour ? clock::HourClock::TwentyFour : clock::HourClock::Twelve;
    emit captionChanged(clock::captionText(now, QLocale(), hours));
    const qint64 nowMinute = clock::minuteOf(now);
    // The first run only notes where the clock stands: the minute of start-up is not checked.
    if (!m_lastSeenMinute)
        m_lastSeenMinute = m_checkedUpTo = nowMinute;
    const clock::MinuteSteps steps =
        clock::stepMinutes(m_checkedUpTo, *m_lastSeenMinute, nowMinute);
    m_lastSeenMinute = nowMinute;
    // The first new minute puts the timer on the minute; from then on every run aims at the
    // next boundary, so a late or early run, a suspend or a clock step is put right at once.
    const bool synchronising = m_clockStage == ClockStage::Starting && steps.newMinute;
    if (synchronising)
        m_clockStage = ClockStage::OnTheMinute;
    if (m_clockStage == ClockStage::OnTheMinute)
        m_timer.setInterval(clock::msToNextMinute(now.time()));

    if (steps.gapTo > steps.gapFrom)
        ReportMissedAlarms(clock::startOfMinute(steps.gapFrom), clock::startOfMinute(steps.gapTo));
    bool endTick = false;
    // Asked once a run: the desktop's answer may take a while, and a clock step brings several
    // minutes at once.
    const bool screenLocked = !steps.alarmMinutes.isEmpty() && m_desktop.screenLocked();
    for (const qint64 minute : steps.alarmMinutes) {
        m_checkedUpTo = minute;
        const QDateTime at = clock::startOfMinute(minute);
        // Behind a locked screen a due alarm waits, and rings once the screen is unlocked.
        if (holdAlarmsWhileLocked(at, screenLocked) ||
            CheckAlarms(nextAlarmMinute(at), minute == nowMinute) == alarms::TickStep::EndTick)
            endTick = true;
    }
    // Test pressed in a minute already checked: the alarm on screen is what it says.
    if (steps.alarmMinutes.isEmpty() && m_speakNow && bAlarmsOn() && m_alarms.iAlarmCount() > 0 &&
        m_ringing) {
        RepeatAlarmOnScreen();
        endTick = true;
    }
    // A Test request waits for the next run that announces.
    if (endTick)
        return;

    const int minute = now.time().minute();
    // The minute the clock comes onto the minute stays silent.
    const bool speak =
        std::exchange(m_speakNow, false) ||
        (steps.newMinute && !synchronising &&
         clock::isAnnouncementMinute(m_settings.iInterval, minute) && !announcementQuiet(now));
    if (!speak)
        return;
    const QString phrase = clock::timePhrase(now.time().hour(), minute, hours);

    // An alarm whose character was replaced meanwhile (an alarm's test or the About scene took
    // its place) is over: the clock speaks as usual again.
    if (m_ringing && m_stage != CharacterStage::AlarmOnScreen)
        m_ringing.reset();
    if (!m_ringing) {
        AgentSpeak(phrase);
        return;
    }
    // The alarm's character is on screen: it says the time and stays.
    drive("the alarm character saying the time",
          [&phrase](engine::AgentCharacter& character) { character.Speak(phrase); });
}

alarms::TickStep TalkingClock::CheckAlarms(const QDateTime& minute, bool currentMinute)
{
    const alarms::AlarmCheck check = alarms::checkAlarms(
        m_alarms.table(), minute, bAlarmsOn(), m_ringing.has_value(), m_alarms.dateLocale());
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

    const int row = check.index;
    const alarms::tAlarm alarm = m_alarms.alarm(row);
    if (check.fired == alarms::FiredEntry::AdvanceFirst)
        AdvanceYearlyAlarm(row);
    if (m_stage == CharacterStage::AlarmOnScreen) {
        // The character on screen says the new alarm, which is the one repeated from now on.
        m_ringing = RingingAlarm{row, alarm.sMessage, m_ringing->character};
        drive("the alarm character saying the next alarm",
              [&alarm](engine::AgentCharacter& character) { character.Speak(alarm.sMessage); });
    } else {
        m_ringing = RingingAlarm{row, alarm.sMessage, alarmCharacter(alarm.sAgent)};
        ShowAlarmCharacter(m_ringing->character);
    }
    if (check.fired == alarms::FiredEntry::DeleteAfter)
        deleteAlarm(row);
    return alarms::TickStep::EndTick;
}

void TalkingClock::RepeatAlarmOnScreen()
{
    if (m_stage != CharacterStage::AlarmOnScreen) {
        ShowAlarmCharacter(m_ringing->character);
        return;
    }
    drive("repeating the alarm", [this](engine::AgentCharacter& character) {
        character.Play(QStringLiteral("Surprised"));
        character.Speak(m_ringing->message);
    });
}

void TalkingClock::ShowAlarmCharacter(const QString& character)
{
    const auto sayAlarm = [this](engine::AgentCharacter& shown) {
        shown.Play(QStringLiteral("Explain"));
        shown.Speak(m_ringing->message);
        shown.Play(QStringLiteral("Idle1_1"));
    };
    if (bringOn(character, agentPosition(), CharacterStage::AlarmOnScreen))
        drive("showing the alarm", sayAlarm);
    // A character file that is there but cannot be opened: the clock's own says the alarm.
    if (m_stage != CharacterStage::AlarmOnScreen && character != m_settings.sAgentName) {
        m_ringing->character = m_settings.sAgentName;
        if (bringOn(m_ringing->character, agentPosition(), CharacterStage::AlarmOnScreen))
            drive("showing the alarm", sayAlarm);
    }
    // A character that cannot be loaded cannot repeat anything: the alarm ends here rather
    // than bringing up the same error every minute.
    if (m_stage != CharacterStage::AlarmOnScreen)
        m_ringing.reset();
}

// --- the character on screen ---

engine::AgentCharacter* TalkingClock::bringOn(const QString& character, QPoint at,
                                              CharacterStage stage)
{
    release();
    try {
        m_agent.Characters().Load(CHARACTER_ID, characterPath(m_settings.sAgentPath, character));
    } catch (const engine::AgentError& error) {
        qCWarning(lcEngine) << "loading:" << error.what();
        // Told without a box: a box would hold up the clock until someone came to close it. The
        // engine's own reason names the file and says what is wrong with it.
        emit tell(QStringLiteral("Horavox"),
                  QStringLiteral("There was an error opening the Agent file \r\n") +
                      QString::fromUtf8(error.what()),
                  Telling::Notice);
        return nullptr;
    }
    m_character = m_agent.Characters()(CHARACTER_ID);
    setStage(stage);
    drive("showing", [this, at](engine::AgentCharacter& shown) {
        shown.setLanguageID(1033);
        SetBalloonStyle(shown);
        shown.setAutoPopupMenu(false);
        shown.MoveTo(at.x(), at.y());
        shown.Show();
    });
    return m_character;
}

void TalkingClock::SetBalloonStyle(engine::AgentCharacter& character) const
{
    // Only the switch is the program's; the character's own style bits stay.
    const int style = character.BalloonStyle();
    character.setBalloonStyle(m_settings.iBalloonOption == 0 ? style | engine::BALLOON_ON
                                                             : style & ~engine::BALLOON_ON);
}

void TalkingClock::AgentSpeak(const QString& text)
{
    if (!bringOn(m_settings.sAgentName, agentPosition(), CharacterStage::Announcing))
        return;
    drive("announcing", [this, &text](engine::AgentCharacter& character) {
        character.Play(QStringLiteral("Explain"));
        if (!text.isEmpty())
            character.Speak(text);
        m_reqHide = character.Hide();
    });
}

bool TalkingClock::present(
    QPoint at, const std::function<engine::AgentRequest(engine::AgentCharacter&)>& scene)
{
    if (m_defaultAgent.isEmpty() || !bringOn(m_defaultAgent, at, CharacterStage::Presenting))
        return false;
    drive("About scene",
          [this, &scene](engine::AgentCharacter& character) { m_reqHide = scene(character); });
    return m_character != nullptr;
}

void TalkingClock::drive(const char* what,
                         const std::function<void(engine::AgentCharacter&)>& requests)
{
    if (!m_character)
        return;
    // Once loaded, a failure only ends the appearance; the next one tries afresh.
    try {
        requests(*m_character);
    } catch (const engine::AgentError& error) {
        qCWarning(lcEngine) << what << error.what();
        release();
    }
}

void TalkingClock::release()
{
    m_character = nullptr;
    m_reqHide = {};
    setStage(CharacterStage::Away);
    try {
        m_agent.Characters().Unload(CHARACTER_ID);
    } catch (const engine::AgentError& error) {
        // Usually nothing was loaded.
        qCDebug(lcEngine) << "unloading:" << error.what();
    }
}

void TalkingClock::setStage(CharacterStage stage)
{
    if (std::exchange(m_stage, stage) != stage)
        emit characterStageChanged(stage);
}

void TalkingClock::Agent1_Click()
{
    if (m_stage != CharacterStage::AlarmOnScreen)
        return;
    drive("click on the alarm character",
          [this](engine::AgentCharacter& character) { character.Speak(m_ringing->message); });
}

void TalkingClock::Agent1_DblClick()
{
    m_ringing.reset();
    // The character leaves as an announcing one does.
    if (m_stage == CharacterStage::AlarmOnScreen)
        setStage(CharacterStage::Announcing);
    drive("dismissing", [this](engine::AgentCharacter& character) {
        character.Stop();
        m_reqHide = character.Hide();
    });
}

void TalkingClock::Agent1_RequestComplete(const engine::AgentRequest& request)
{
    if (request == m_reqHide && m_stage != CharacterStage::Away)
        release();
}

void TalkingClock::hideCharacter()
{
    drive("hiding the character at exit",
          [](engine::AgentCharacter& character) { character.Hide(); });
    m_character = nullptr;
    m_ringing.reset();
    setStage(CharacterStage::Away);
}

void TalkingClock::saveEverything()
{
    SaveSettings();
    SaveAlarms();
}

void TalkingClock::noteSave(bool& failing, const QString& title, const QString& what,
                            const QString& path, const QString& why)
{
    if (why.isEmpty()) {
        if (std::exchange(failing, false))
            emit noticeOver(title);
        return;
    }
    qCWarning(lcSaving) << "could not save" << path << why;
    if (!failing)
        emit tell(title,
                  QStringLiteral("Horavox could not save %1 to %2: %3. It will try again at the "
                                 "next change.")
                      .arg(what, path, why),
                  Telling::Notice);
    failing = true;
}

} // namespace hv::core
