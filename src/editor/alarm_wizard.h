#pragma once

#include <array>
#include <optional>

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "alarms/alarm_table.h"

class QCalendarWidget;
class QDate;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace hv::platform {
class Platform;
}

namespace hv::editor {

// The alarm editor: one alarm is added or edited in five numbered steps (time, schedule kind,
// day or date, character, message), each ticked off as it is completed; OK becomes usable once
// all five are done. It is handed an alarm (none to add one) and the character names, returns
// the alarm OK accepts, and knows nothing of the main window. It deletes itself when it closes.
class frmAlarmWizard final : public QWidget
{
    Q_OBJECT

public:
    // Opens on `edited`, or in add mode without one. Dates are read and written in
    // dateLocale. The platform must outlive the editor.
    frmAlarmWizard(platform::Platform& platform, const std::optional<alarms::tAlarm>& edited,
                   const QStringList& agentNames, const QLocale& dateLocale,
                   QWidget* parent = nullptr);
    ~frmAlarmWizard() override;

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
    // OK was pressed on a whole alarm; the editor closes next.
    void alarmAccepted(const hv::alarms::tAlarm& alarm);

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
    const std::optional<alarms::tAlarm> m_edited;
    const QStringList m_agentNames;
    const QLocale m_dateLocale;

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
