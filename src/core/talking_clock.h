#pragma once

#include <functional>
#include <optional>

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPersistentModelIndex>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTimer>

#include "alarms/alarm_check.h"
#include "core/alarm_list_model.h"
#include "core/settings.h"
#include "engine/control/agent_control.h"
#include "quiet/quiet_rules.h"

// The program without its windows: the settings, the alarms, the clock and the character on
// screen. The main window forwards the user's events here and shows what this reports.
namespace hv::core {

// What the clock asks of the desktop it runs on.
class Desktop
{
public:
    virtual ~Desktop() = default;

    // Every reading of "now" goes through here.
    [[nodiscard]] virtual QDateTime now() const = 0;
    // The primary screen without the desktop's panels, in logical pixels.
    [[nodiscard]] virtual QRect workArea() const = 0;
    // Each is false when the desktop cannot tell.
    [[nodiscard]] virtual bool notificationsInhibited() const = 0;
    [[nodiscard]] virtual bool activeWindowFullScreen() const = 0;
    [[nodiscard]] virtual bool screenLocked() const = 0;
};

// Where the clock stands against the minute boundaries.
enum class ClockStage
{
    Starting,   // ticking every second until a new minute begins
    OnTheMinute // each run aims at the next boundary
};

// Who is on screen, and why.
enum class CharacterStage
{
    Away,          // nobody: the window shows the character picture
    Announcing,    // says something and leaves: the time, Test, an alarm's test
    AlarmOnScreen, // the ringing alarm's character, until it is double-clicked away
    Presenting     // the About scene
};

// The alarm that rings until the user double-clicks its character away. Its character may have
// been replaced meanwhile (an alarm's test, the About scene): the next minute brings it back.
struct RingingAlarm
{
    int index = -1; // its row when it fired
    QString message;
    QString character;
};

// How a report reaches the user.
enum class Telling
{
    Box,   // start-up reports, before the clock runs
    Notice // everything while the clock runs: a notice never holds it up
};

class TalkingClock final : public QObject
{
    Q_OBJECT

public:
    // applicationFolder holds Settings.ini and the alarm files; quietTimesFile the Quiet Times
    // choices.
    TalkingClock(Desktop& desktop, engine::AgentControl& agent, QString applicationFolder,
                 QString quietTimesFile, QObject* parent = nullptr);

    // --- settings ---
    [[nodiscard]] const SettingsRecord& settings() const { return m_settings; }
    [[nodiscard]] QString settingsFilePath() const;
    // False when there is no settings file: the record keeps the first run's values.
    bool ReadSettings();
    void SaveSettings();
    void setInterval(int index);
    void setPosition(int index);
    void setBalloonOption(int index);
    // With no alarms the switch cannot be turned on; returns the option that holds.
    int setAlarmsOption(int index);
    void setAgentPath(const QString& folder);
    void setAgentName(const QString& name);
    [[nodiscard]] bool bAlarmsOn() const { return m_settings.iAlarmsOption == 0; }
    // Where the character stands for the chosen position, in screen pixels.
    [[nodiscard]] QPoint agentPosition() const;

    // --- characters ---
    // Looks for character files in the stored folder, or else in the first of defaultFolders
    // that has any, which is then stored. The row of the chosen character in characterNames;
    // none when no files were found.
    std::optional<int> FindAgentFiles(const QStringList& defaultFolders);
    // The character files of the folder; the stored name is kept when one of them has it,
    // otherwise the first is chosen. Returns the row of the chosen one in characterNames.
    int setCharacterFiles(const QStringList& fileNames);
    // Lower case, in the order of the files.
    [[nodiscard]] const QStringList& characterNames() const { return m_characterNames; }
    // The built-in character that presents the program; empty when none of them is here.
    [[nodiscard]] const QString& sDefaultAgent() const { return m_defaultAgent; }
    // The character that says an alarm naming agentName: that one when its file is here,
    // otherwise the clock's own.
    [[nodiscard]] QString alarmCharacter(const QString& agentName) const;

    // --- alarms ---
    [[nodiscard]] AlarmListModel& alarmList() { return m_alarms; }
    [[nodiscard]] const AlarmListModel& alarmList() const { return m_alarms; }
    [[nodiscard]] QString alarmFilePath() const;
    // Beside the alarm file: the locale its dates are written in.
    [[nodiscard]] QString alarmLocalePath() const;
    // Reads the alarm file and reports, as boxes, what could not be loaded and what was missed.
    void LoadAlarms();
    void SaveAlarms();
    // What the editor returns, for the alarm it was opened on (invalid when adding). The row
    // it stands in; none at the limit.
    std::optional<int> storeAlarm(const QPersistentModelIndex& edited, const alarms::tAlarm& alarm);
    // Removes the alarm and saves; the last one gone switches alarms off.
    bool deleteAlarm(int row);
    // The alarm's own character says its message once and leaves.
    void testAlarm(int row);

    // --- quiet times ---
    [[nodiscard]] const quiet::QuietTimes& quietTimes() const { return m_quietTimes; }
    void ReadQuietTimes();
    void setQuietTimes(const quiet::QuietTimes& quietTimes);

    // --- the clock ---
    // Starts ticking every second; the first new minute puts the timer on the minute. The
    // timer's runs come to tmrClock_Timer through the window.
    void startClock();
    [[nodiscard]] QTimer& tmrClock() { return m_timer; }
    [[nodiscard]] const QTimer& tmrClock() const { return m_timer; }
    void tmrClock_Timer();
    // Test: the time is said at once, whatever the interval.
    void speakNow();
    [[nodiscard]] bool bSynchronized() const { return m_clockStage == ClockStage::OnTheMinute; }

    // --- the character on screen ---
    [[nodiscard]] CharacterStage characterStage() const { return m_stage; }
    [[nodiscard]] const std::optional<RingingAlarm>& ringingAlarm() const { return m_ringing; }
    [[nodiscard]] int iActiveAlarm() const { return m_ringing ? m_ringing->index : -1; }
    [[nodiscard]] engine::AgentCharacter* objCharacter() const { return m_character; }
    // The request whose completion releases the character.
    [[nodiscard]] engine::AgentRequest reqHide() const { return m_reqHide; }
    // The presenter steps out at `at` and plays the scene queued by `scene`, which returns the
    // request of its closing Hide. False when nobody could present.
    bool present(QPoint at,
                 const std::function<engine::AgentRequest(engine::AgentCharacter&)>& scene);

    // The character was clicked: the ringing alarm's says its message again.
    void Agent1_Click();
    // Double-clicked: the alarm is over and the character leaves.
    void Agent1_DblClick();
    void Agent1_RequestComplete(const engine::AgentRequest& request);

    // The program ends: the files are written and the character leaves at once.
    void saveEverything();
    void hideCharacter();

signals:
    void captionChanged(const QString& caption);
    void tell(const QString& title, const QString& text, hv::core::Telling how);
    // A failure told under this title is over.
    void noticeOver(const QString& title);
    void characterStageChanged(hv::core::CharacterStage stage);
    // The alarms option changed without the user choosing it (the last alarm went).
    void alarmsOptionChanged(int index);

private:
    // Loads `character`, sets it up and shows it at `at`; the stage is then `stage`. Null when
    // it cannot be loaded or shown; the stage is then Away.
    engine::AgentCharacter* bringOn(const QString& character, QPoint at, CharacterStage stage);
    void SetBalloonStyle(engine::AgentCharacter& character) const;
    // The clock's own character says text and leaves.
    void AgentSpeak(const QString& text);
    // The ringing alarm's character comes to say its message and stays.
    void ShowAlarmCharacter(const QString& character);
    void RepeatAlarmOnScreen();
    // Queues requests on the character on screen; a failure only ends the appearance.
    void drive(const char* what, const std::function<void(engine::AgentCharacter&)>& requests);
    // The character on screen is unloaded and the stage is Away.
    void release();
    void setStage(CharacterStage stage);

    // Fires the first alarm due in minute or repeats the one ringing; EndTick when the time is
    // not to be announced in this run. A minute passed over (currentMinute false) fires its
    // alarms but repeats nothing.
    alarms::TickStep CheckAlarms(const QDateTime& minute, bool currentMinute);
    // One-time and yearly alarms whose moment lies from `from` (unbounded when invalid) up to
    // `until` are reported, the one-time ones removed and the yearly ones moved on. At start-up
    // the report is a box; while the clock runs it is a notice, which stops nothing.
    void ReportMissedAlarms(const QDateTime& from, const QDateTime& until);
    void AdvanceYearlyAlarm(int row);
    // True while the screen is locked and alarms wait: the minute's alarm is held.
    bool holdAlarmsWhileLocked(const QDateTime& minute, bool screenLocked);
    void holdAlarmDueAt(const QDateTime& minute);
    // The minute whose alarm is checked: a held one first, `minute` otherwise.
    QDateTime nextAlarmMinute(const QDateTime& minute);
    bool announcementQuiet(const QDateTime& now) const;
    // After a save of path (why it failed, or empty): a failure is logged every time and told
    // once, until a save that works takes the notice back.
    void noteSave(bool& failing, const QString& title, const QString& what, const QString& path,
                  const QString& why);

    Desktop& m_desktop;
    engine::AgentControl& m_agent;
    const QString m_applicationFolder;
    const QString m_quietTimesFile;

    SettingsRecord m_settings;
    QStringList m_characterNames;
    QString m_defaultAgent;

    AlarmListModel m_alarms;
    // Records that could not be loaded could not be copied aside either: the alarm file is
    // then never written, so that nothing the user wrote is lost.
    bool m_alarmFileLocked = false;
    bool m_alarmSaveFailing = false;
    bool m_settingsSaveFailing = false;

    quiet::QuietTimes m_quietTimes;
    // Minutes in which an alarm was due while the screen was locked, oldest first; they ring
    // one a minute once it is unlocked.
    QList<QDateTime> m_heldAlarmMinutes;

    QTimer m_timer;
    ClockStage m_clockStage = ClockStage::Starting;
    // Test was pressed: the next run that may speak says the time.
    bool m_speakNow = false;
    // The clock's minutes since the epoch: the minute of the previous run (none before the
    // first) and the latest minute whose alarms were checked.
    std::optional<qint64> m_lastSeenMinute;
    qint64 m_checkedUpTo = 0;

    CharacterStage m_stage = CharacterStage::Away;
    std::optional<RingingAlarm> m_ringing;
    // Set while the stage is not Away.
    QPointer<engine::AgentCharacter> m_character;
    engine::AgentRequest m_reqHide;
};

} // namespace hv::core
