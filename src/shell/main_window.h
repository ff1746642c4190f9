#pragma once

#include <array>
#include <optional>

#include <QMainWindow>
#include <QPersistentModelIndex>
#include <QPoint>
#include <QPointer>
#include <QString>

#include "alarms/alarm_table.h"
#include "core/talking_clock.h"
#include "engine/control/agent_control.h"

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

// The program's one main window: it forwards the user's events to the talking clock and shows
// what the clock reports. Its handlers live beside this file, one file per concern.
class frmHoravox final : public QMainWindow
{
    Q_OBJECT

public:
    // Runs the start-up sequence. The window does not take ownership of the platform or Agent1.
    frmHoravox(platform::Platform& platform, engine::AgentControl& agent,
               QWidget* parent = nullptr);
    ~frmHoravox() override;

    // The program itself: settings, alarms, clock and character. The window shows it.
    [[nodiscard]] core::TalkingClock& clock() { return m_clock; }
    [[nodiscard]] const core::TalkingClock& clock() const { return m_clock; }

    // --- controls ---
    engine::AgentControl& Agent1;
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

    // --- option handlers (option_handlers.cpp) ---
    // Each checks the option in the menu and the panel and keeps it in the settings.
    void mnuInterval_Click(int index);
    void mnuPos_Click(int index);
    void mnuBalloonOpt_Click(int index);
    void mnuAlarmsOpt_Click(int index);
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

    // --- alarm list and its commands (alarm_list.cpp) ---
    // Button: 2 is the right button. Y: the pointer's distance from the list's top, in twips.
    void lstAlarms_MouseDown(int Button, int Shift, int X, int Y);
    void mnuAlarmAdd_Click();
    void mnuAlarmEdit_Click();
    void mnuAlarmDelete_Click();
    void mnuAlarmTest_Click();
    // The row of the selected alarm; -1 when none or the add row is selected.
    [[nodiscard]] int selectedAlarm() const;
    // Makes `row` the current row of the list; -1 for none.
    void selectAlarmRow(int row);
    // Brings the open alarm editor forward; false when none is open.
    bool bringEditorForward();
    // The alarm editor while it is open; it destroys itself when closed.
    QPointer<editor::frmAlarmWizard> alarmWizard;

    // --- quiet times (quiet_times.cpp) ---
    QPointer<quiet::QuietTimesDialog> quietDialog;
    void mnuQuietTimes_Click();

    // --- the clock and the character, forwarded to the talking clock (main_window.cpp) ---
    void tmrClock_Timer();
    void Agent1_Click();
    void Agent1_DblClick();
    void Agent1_RequestComplete(const engine::AgentRequest& request);

    // --- characters (character_list.cpp) ---
    // Looks for the characters and shows them; false when there are none.
    [[nodiscard]] bool FindAgentFiles();
    // Fills the list and the menu with the characters found, `chosen` checked.
    void FillAgentList(int chosen);
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
    // Checks the alarms option `index` in the menu and the panel.
    void showAlarmsOption(int index);
    // Hides the main window and opens the alarm editor on the selected alarm, or to add one.
    void OpenAlarmEditor(bool addAlarm);
    void storeEditedAlarm(const alarms::tAlarm& alarm);
    void tell(const QString& title, const QString& text, core::Telling how);

    // The clock asks the desktop through the platform.
    class PlatformDesktop final : public core::Desktop
    {
    public:
        explicit PlatformDesktop(const platform::Platform& platform) : m_platform(platform) {}
        [[nodiscard]] QDateTime now() const override;
        [[nodiscard]] QRect workArea() const override;
        [[nodiscard]] bool notificationsInhibited() const override;
        [[nodiscard]] bool activeWindowFullScreen() const override;
        [[nodiscard]] bool screenLocked() const override;

    private:
        const platform::Platform& m_platform;
    };

    platform::Platform& m_platform;
    PlatformDesktop m_desktop;
    core::TalkingClock m_clock;
    // The user chose Exit: the window closes for good instead of hiding.
    bool m_exiting = false;
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
    // Where the window's client area stood when it was last hidden: some window managers place a
    // window that shows again anew (under the pointer, in a corner), so it is put back there.
    std::optional<QPoint> m_hiddenAt;
};

} // namespace hv::shell
