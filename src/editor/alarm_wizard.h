#pragma once

#include <array>
#include <optional>

#include <QString>
#include <QWidget>

class QCalendarWidget;
class QDate;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace hv::alarms {
struct AlarmTable;
struct tAlarm;
} // namespace hv::alarms
namespace hv::platform {
class Platform;
}

namespace hv::editor {

// The alarm editor: one alarm is added or edited in five numbered steps (time, schedule kind,
// day or date, character, message), each ticked off as it is completed; OK becomes usable once
// all five are done. It is handed the main window's alarm table and the two lists it reads,
// and knows nothing else of the main window. It deletes itself when it closes.
class frmAlarmWizard final : public QWidget
{
    Q_OBJECT

public:
    // Opens in add mode when table.bAddAlarm is set, otherwise on the entry of lstAlarms'
    // selected row. None of the references is owned; all must outlive the editor.
    frmAlarmWizard(platform::Platform& platform, alarms::AlarmTable& table, QListWidget& lstAlarms,
                   QListWidget& lstAgents, QWidget* parent = nullptr);
    ~frmAlarmWizard() override;

    // The main window calls this after it has deleted entry `index` of the table (and its row)
    // while the editor is open, as a one-time alarm that fires does.
    void alarmRemoved(int index);

    // --- controls ---
    std::array<QLabel*, 15> Label1{};
    std::array<QLabel*, 5> imgCheck{};
    QLineEdit* txtAlarmTime = nullptr;
    std::array<QRadioButton*, 6> optWhen{};
    QGroupBox* fraDate = nullptr;
    QLabel* lblDate = nullptr;
    QGroupBox* fraDay = nullptr;
    std::array<QRadioButton*, 8> optDay{};
    QListWidget* lstAlarmAgents = nullptr;
    QLineEdit* txtMessage = nullptr;
    // Says why a double quote typed or pasted into the message was dropped; shown until the next
    // change that brings none.
    QLabel* lblQuoteNote = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QCalendarWidget* MonthView2 = nullptr;

signals:
    // The editor is closing (OK, Cancel or the window's own close): the main window shows
    // itself again.
    void closed();
    // OK has written an alarm into the table: it is to reach the alarm file at once.
    void alarmStored();

protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void connectControls();

    void Form_Load();
    void UpdateSteps();
    void optWhen_Click(int index);
    void optDay_Click(int index);
    void lblDate_Click();
    void MonthView2_DateDblClick(const QDate& date);
    void lstAlarmAgents_Click();
    void txtAlarmTime_Change();
    void txtAlarmTime_GotFocus();
    void txtAlarmTime_LostFocus();
    void txtMessage_Change();
    void dropQuotes(const QString& typed);
    void cmdOK_Click();
    void cmdCancel_Click();

    // Both time checks: sets step 1 from the box; true when accepted.
    bool checkAlarmTime();
    // Shows the calendar on `date` for a dated alarm.
    void openCalendar(const QDate& date);
    // The alarm the window shows, as OK would store it.
    [[nodiscard]] alarms::tAlarm shownAlarm() const;

    platform::Platform& m_platform;
    alarms::AlarmTable& m_alarms;
    QListWidget& m_lstAlarms;
    QListWidget& m_lstAgents;

    // The entry being edited; none in add mode. Kept from the opening rather than read from
    // lstAlarms' selection at OK, because a one-time alarm firing while the editor is open
    // deletes an entry and clears that selection: see alarmRemoved().
    std::optional<int> m_editedIndex;

    // --- working state; a fresh editor starts every opening ---
    // Entries 0 to 4: steps 1 to 5 complete (time, kind, day or date, character, message).
    std::array<bool, 7> bStepDone{};
    qint16 iAlarmAgentIndex = 0;
    // Set while the editor itself changes options or the character selection.
    bool bUpdating = false;
    // The pointer last moved over Cancel: the time box skips its checks so that Cancel can be
    // pressed over a half-typed time without the error message.
    bool bOverCancel = false;
};

} // namespace hv::editor
