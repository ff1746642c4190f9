#pragma once

#include <array>
#include <optional>

#include <QMainWindow>
#include <QPersistentModelIndex>
#include <QPoint>
#include <QPointer>
#include <QString>

#include "alarms/alarm_check.h"
#include "alarms/alarm_table.h"
#include "core/alarm_list_model.h"
#include "core/settings.h"
#include "engine/control/agent_control.h"
#include "quiet/quiet_rules.h"

class QAction;
class QComboBox;
class QFileSystemModel;
class QFrame;
class QGroupBox;
class QLabel;
class QListView;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QSystemTrayIcon;
class QTimer;
class QTreeView;

namespace hv::platform {
class Platform;
}
namespace hv::about {
class frmAbout;
}
namespace hv::editor {
class frmAlarmWizard;
}
namespace hv::quiet {
class QuietTimesDialog;
}

namespace hv::shell {

// The program's one main window. Its fields are the program's shared state, read and written
// directly by its handlers, which live beside this file, one file per concern.
class frmHoravox final : public QMainWindow
{
    Q_OBJECT

public:
    // Runs the start-up sequence. The window does not take ownership of the platform or Agent1.
    frmHoravox(platform::Platform& platform, engine::AgentControl& agent,
               QWidget* parent = nullptr);
    ~frmHoravox() override;

    // --- settings record ---
    core::SettingsRecord settings;

    // --- working values derived from the settings ---
    bool bAlarmsOn = false;
    qint16 iAgentX = 0;
    qint16 iAgentY = 0;

    // --- alarms: the list's rows and the table the clock checks ---
    core::AlarmListModel alarmList;
    // Set before the editor opens: it adds a new alarm (true) or edits the selected one.
    bool bAddAlarm = false;

    // --- start-up and shutdown ---
    bool bExiting = false;

    // --- clock ---
    bool bSynchronized = false;
    bool bSpeakNow = false;

    // --- character state ---
    QPointer<engine::AgentCharacter> objCharacter;
    qint16 iActiveAlarm = -1;
    QString sAlarmMessage;
    // The character of the alarm on screen, to bring it back if something else released it.
    QString sAlarmAgent;
    bool bAgentBusy = false;
    QString sSavedAgentName;
    engine::AgentRequest reqHide;

    // --- character list ---
    QString sAgentPattern;
    QString sAgentFile;
    qint16 iAgentIndex = -1;
    bool bFillingList = false;
    QString sDefaultAgent;

    // --- controls ---
    engine::AgentControl& Agent1;
    QTimer* tmrClock = nullptr;
    QSystemTrayIcon* cSysTray1 = nullptr;
    QLabel* Label1 = nullptr;
    QFrame* fraMain = nullptr;
    std::array<QGroupBox*, 5> Frame1{};
    std::array<QRadioButton*, 7> optInterval{};
    std::array<QRadioButton*, 5> optPos{};
    std::array<QRadioButton*, 2> optBalloon{};
    std::array<QRadioButton*, 2> optAlarmsOpt{};
    QListWidget* lstAgents = nullptr;
    QLabel* imgScreen = nullptr;
    QLabel* imgAgents = nullptr;
    QPushButton* cmdTest = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdExit = nullptr;
    std::array<QLabel*, 2> lblAlarmHeader{};
    QListView* lstAlarms = nullptr;

    // --- menus ---
    QMenu* mnuFile = nullptr;
    QAction* mnuShow = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuOptions = nullptr;
    QMenu* mnuChooseAgent = nullptr;
    QList<QAction*> mnuAgent;
    QMenu* mnuScrnPos = nullptr;
    std::array<QAction*, 5> mnuPos{};
    QMenu* mnuBalloons = nullptr;
    std::array<QAction*, 2> mnuBalloonOpt{};
    QMenu* mnuAlarms = nullptr;
    std::array<QAction*, 2> mnuAlarmsOpt{};
    std::array<QAction*, 7> mnuInterval{};
    QAction* mnuQuietTimes = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuContents = nullptr;
    QMenu* mnuAbout = nullptr;
    QAction* mnuAboutAnimation = nullptr;
    QAction* mnuAboutDialog = nullptr;
    QMenu* mnuAlarmOptions = nullptr;
    QAction* mnuAlarmAdd = nullptr;
    QAction* mnuAlarmEdit = nullptr;
    QAction* mnuAlarmDelete = nullptr;
    QAction* mnuAlarmTest = nullptr;
    QAction* mnuCancel4 = nullptr;

    // --- character-folder search panel ---
    QFrame* fraFindAgentPath = nullptr;
    QLabel* lblFindAgentPath = nullptr;
    QComboBox* drvList = nullptr;
    QFileSystemModel* dirModel = nullptr;
    // The open folder is the model's root; the highlighted one is the current index.
    QTreeView* dirList = nullptr;
    QPushButton* cmdOkAgentPath = nullptr;
    QPushButton* cmdCancelAgentPath = nullptr;

    // --- start-up and shutdown (startup.cpp) ---
    void Form_Load();
    // The sound-device check, run on every activation.
    void Form_Activate();
    void mnuExit_Click();
    // The session or the system is ending the program: nothing the user set may be lost.
    void saveEverything();

    // --- settings file (settings_file.cpp) ---
    [[nodiscard]] QString settingsFilePath() const;
    void ReadSettings();
    void SaveSettings();

    // --- option handlers (option_handlers.cpp) ---
    void mnuInterval_Click(int index);
    void mnuPos_Click(int index);
    void mnuBalloonOpt_Click(int index);
    void mnuAlarmsOpt_Click(int index);
    // Checks the alarms option `index` in the menu and the panel, and keeps it in the record.
    void showAlarmsOption(int index);
    void mnuAgent_Click(int index);
    void cmdTest_Click();

    // --- tray icon, visibility, help (tray_and_help.cpp) ---
    // button: 1 left, 2 right.
    void cSysTray1_MouseDown(int button);
    void mnuShow_Click();
    void cmdClose_Click();
    void mnuContents_Click();
    // Shown means visible in the tray's sense; without a notification area the window is
    // minimised to the task bar instead of hidden, so it always stays reachable.
    [[nodiscard]] bool isWindowShown() const;
    void setWindowShown(bool shown);
    // Another copy of the program was started: what the user sees of this one comes forward.
    void comeForward();
    // Tells the user something without stopping anything: the tray icon's notification, or
    // the window's status line where there is no tray.
    void tellUser(const QString& title, const QString& text);
    // After a save of path (why it failed, or empty): a failure is logged every time and told
    // once, until a save that works takes the notice back; every later save tries again.
    void noteSave(bool& failing, const QString& title, const QString& what, const QString& path,
                  const QString& why);

    // --- alarm file (alarm_storage.cpp) ---
    [[nodiscard]] QString alarmFilePath() const;
    // Beside the alarm file: the locale its dates are written in.
    [[nodiscard]] QString alarmLocalePath() const;
    void LoadAlarms();
    // One-time and yearly alarms whose moment lies from `from` (unbounded when invalid) up
    // to `until` are reported, the one-time ones removed and the yearly ones moved on. At
    // start-up the report is a box; while the clock runs it is a notice, which stops nothing.
    void ReportMissedAlarms(const QDateTime& from, const QDateTime& until);
    // Moves entry index of a yearly alarm on by 365 days and rewrites the file.
    void AdvanceYearlyAlarm(int index);
    void SaveAlarms();

    // --- alarm list and its commands (alarm_list.cpp) ---
    // Button: 2 is the right button. Y: the pointer's distance from the list's top, in twips.
    void lstAlarms_MouseDown(int Button, int Shift, int X, int Y);
    void mnuAlarmAdd_Click();
    void mnuAlarmEdit_Click();
    void mnuAlarmDelete_Click();
    void mnuAlarmTest_Click();
    // Hides the main window and opens the alarm editor; bAddAlarm says on what.
    void OpenAlarmEditor();
    // The row of the selected alarm; -1 when none or the add row is selected.
    [[nodiscard]] int selectedAlarm() const;
    // Makes `row` the current row of the list; -1 for none.
    void selectAlarmRow(int row);
    // Brings the open alarm editor forward; false when none is open.
    bool bringEditorForward();
    // The alarm editor while it is open; it destroys itself when closed.
    QPointer<editor::frmAlarmWizard> alarmWizard;

    // --- clock and alarm firing (clock_tick.cpp) ---
    void tmrClock_Timer();
    // Fires the first alarm due at now or repeats the one on screen; EndTick when the time
    // is not to be announced in this minute. A minute passed over (currentMinute false) fires
    // its alarms but repeats nothing.
    alarms::TickStep CheckAlarms(const QDateTime& now, bool currentMinute);
    void RepeatAlarmOnScreen();
    // Loads agentName's character to say sAlarmMessage and stay on screen.
    void ShowAlarmCharacter(const QString& agentName);
    void EndAlarmOnScreen();

    // --- quiet times (quiet_times.cpp) ---
    quiet::QuietTimes quietTimes;
    // Minutes in which an alarm was due while the screen was locked, oldest first; they ring
    // one a minute once it is unlocked.
    QList<QDateTime> heldAlarmMinutes;
    QPointer<quiet::QuietTimesDialog> quietDialog;
    void ReadQuietTimes();
    void mnuQuietTimes_Click();
    // True while the screen is locked and alarms wait: the tick ends without alarms or speech.
    [[nodiscard]] bool HoldAlarmsWhileLocked(const QDateTime& now, bool screenLocked);
    // The minute whose alarm the tick checks: a held one first, now's otherwise.
    [[nodiscard]] QDateTime NextAlarmMinute(const QDateTime& now);
    // Whether a due announcement at now is kept back; says why in the log.
    [[nodiscard]] bool AnnouncementQuiet(const QDateTime& now);

    // --- characters (agent_speak.cpp, character_list.cpp) ---
    void AgentSpeak(const QString& text);
    // The character that says an alarm naming agentName: that one when its file is here,
    // otherwise the clock's own.
    [[nodiscard]] QString alarmCharacter(const QString& agentName) const;
    void SetBalloonStyle();
    void Agent1_Click();
    void Agent1_DblClick();
    void Agent1_RequestComplete(const engine::AgentRequest& request);
    [[nodiscard]] bool FindAgentFiles();
    // Fills the list and the menu from the names the folder search found.
    void FillAgentList(const QStringList& fileNames);
    void PickDefaultAgent();
    void lstAgents_Click();

    // --- About (about_menu.cpp) ---
    // The one About dialog while it is open; it destroys itself when closed.
    QPointer<about::frmAbout> aboutDialog;
    void mnuAboutAnimation_Click();
    void mnuAboutDialog_Click();

    // --- character-folder search panel (folder_search_panel.cpp) ---
    void ShowFindAgentPath();
    void drvList_Change();
    void cmdOkAgentPath_Click();
    void cmdCancelAgentPath_Click();
    [[nodiscard]] QString openFolder() const;
    // Opens the drive of `path` and highlights `path` in the folder list.
    void openFolderOf(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildLayout();
    void buildMenus();
    void buildTrayIcon();
    void buildFolderSearchPanel();
    void connectControls();
    void watchActivationSource();
    void setWindowHeight(int twips);
    void storeEditedAlarm(const alarms::tAlarm& alarm);
    void HoldAlarmDueAt(const QDateTime& minute);

    // The alarm the open editor was opened on, followed through the rows that move meanwhile;
    // invalid in add mode.
    QPersistentModelIndex m_editedRow;
    // Where the next activation of this window comes from. The sound-device check runs when
    // the window is shown or the user comes back to it from another window of the program,
    // not each time the user comes back from another application.
    enum class ActivationSource
    {
        ProgramWindow,
        OtherApplication
    };
    ActivationSource m_nextActivation = ActivationSource::ProgramWindow;

    platform::Platform& m_platform;
    // Where the window's client area stood when it was last hidden: some window managers place a
    // window that shows again anew (under the pointer, in a corner), so it is put back there.
    std::optional<QPoint> m_hiddenAt;
    // Set when records that could not be loaded could not be copied aside either: the alarm
    // file is then never written, so that nothing the user wrote is lost.
    bool m_alarmFileLocked = false;
    // The clock's minutes since the epoch: the minute of the previous run (none before the
    // first) and the latest minute whose alarms were checked.
    std::optional<qint64> m_lastSeenMinute;
    qint64 m_checkedUpTo = 0;
    // A save failed and the user was told; set back by the next save that works.
    bool m_alarmSaveFailing = false;
    bool m_settingsSaveFailing = false;
};

} // namespace hv::shell
