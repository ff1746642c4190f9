#include "editor/alarm_wizard.h"

#include <algorithm>

#include <QCalendarWidget>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

#include "alarms/alarm_file.h"
#include "clock/short_date.h"
#include "editor/editor_rules.h"
#include "platform/platform.h"

namespace hv::editor {

namespace {

// An option button of an exclusive group refuses to be unchecked while it is the checked one.
void uncheck(QRadioButton* button)
{
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
}

// The option of a kind or weekday the alarm holds; -1 when it holds text that names none.
template <typename Known, std::size_t N>
int indexOf(const std::array<Known, N>& options, const std::variant<QString, Known>& field)
{
    const Known* known = std::get_if<Known>(&field);
    const auto found = known ? std::find(options.begin(), options.end(), *known) : options.end();
    return found == options.end() ? -1 : int(found - options.begin());
}

// Where Tab enters a group of options: the chosen one, or the first.
template <std::size_t N> QRadioButton* entry(const std::array<QRadioButton*, N>& options)
{
    const auto chosen = std::find_if(options.begin(), options.end(),
                                     [](QRadioButton* b) { return b->isChecked(); });
    return chosen == options.end() ? options.front() : *chosen;
}

template <std::size_t N>
bool holdsFocus(const std::array<QRadioButton*, N>& options, const QWidget* focused)
{
    return std::find(options.begin(), options.end(), focused) != options.end();
}

} // namespace

frmAlarmWizard::frmAlarmWizard(platform::Platform& platform,
                               const std::optional<alarms::tAlarm>& edited,
                               const QStringList& agentNames, const QLocale& dateLocale,
                               QWidget* parent)
    : QWidget(parent, Qt::Window), m_platform(platform), m_edited(edited), m_agentNames(agentNames),
      m_dateLocale(dateLocale)
{
    setAttribute(Qt::WA_DeleteOnClose);
    // The title is the label along the top; the window has no caption text of its own.
    setWindowTitle(QStringLiteral(" "));
    buildLayout();
    connectControls();
    Form_Load();
}

frmAlarmWizard::~frmAlarmWizard() = default;

void frmAlarmWizard::connectControls()
{
    for (int n = 0; n < int(optWhen.size()); ++n)
        connect(optWhen[n], &QRadioButton::clicked, this, [this, n] { optWhen_Click(n); });
    for (int n = 0; n < int(optDay.size()); ++n)
        connect(optDay[n], &QRadioButton::clicked, this, [this, n] { optDay_Click(n); });
    // The selection, not the current row: a keyboard move selects before it moves the current
    // row, and focus alone may set a current row without choosing anything.
    connect(lstAlarmAgents, &QListWidget::itemSelectionChanged, this,
            &frmAlarmWizard::lstAlarmAgents_Click);
    connect(MonthView2, &QCalendarWidget::activated, this,
            &frmAlarmWizard::MonthView2_DateDblClick);
    connect(txtAlarmTime, &QLineEdit::textChanged, this, &frmAlarmWizard::txtAlarmTime_Change);
    connect(txtMessage, &QLineEdit::textChanged, this, &frmAlarmWizard::txtMessage_Change);
    connect(txtMessage, &QLineEdit::textEdited, this, &frmAlarmWizard::dropQuotes);
    connect(cmdOK, &QPushButton::clicked, this, &frmAlarmWizard::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmAlarmWizard::cmdCancel_Click);

    txtAlarmTime->installEventFilter(this);
    lblDate->installEventFilter(this);
    // Moves over the bare window come to mouseMoveEvent, moves over Cancel to the filter.
    setMouseTracking(true);
    cmdCancel->setMouseTracking(true);
    cmdCancel->installEventFilter(this);
}

void frmAlarmWizard::Form_Load()
{
    lstAlarmAgents->addItems(m_agentNames);
    if (!m_edited) {
        iAlarmAgentIndex = 0;
        UpdateSteps();
        return;
    }
    const alarms::tAlarm& alarm = *m_edited;
    const QList<QListWidgetItem*> agents =
        lstAlarmAgents->findItems(alarm.sAgent, Qt::MatchExactly | Qt::MatchCaseSensitive);

    bUpdating = true;
    // A character whose file is gone leaves step 4 to the user; it is settled before the time
    // box's check, which enables OK when it finds every step done.
    std::fill(bStepDone.begin(), bStepDone.begin() + 5, true);
    bStepDone[3] = !agents.isEmpty();
    txtAlarmTime->setText(alarm.sTime);
    if (alarm.sTime.isEmpty())
        txtAlarmTime_Change(); // an empty text is no change

    const int kind = indexOf(SCHEDULE_KINDS, alarm.sWhen);
    if (kind >= 0)
        optWhen[kind]->setChecked(true);
    using alarms::ScheduleKind;
    if (alarms::isKind(alarm.sWhen, ScheduleKind::Once) ||
        alarms::isKind(alarm.sWhen, ScheduleKind::Yearly))
        lblDate->setText(alarms::fileText(alarm.sDay));
    if (alarms::isKind(alarm.sWhen, ScheduleKind::FirstWeekday) ||
        alarms::isKind(alarm.sWhen, ScheduleKind::LastWeekday)) {
        fraDate->setEnabled(false);
        fraDay->setEnabled(false);
    }
    if (alarms::isKind(alarm.sWhen, ScheduleKind::Weekly)) {
        const int day = indexOf(WEEKDAY_OPTIONS, alarm.sDay);
        if (day >= 0)
            optDay[day]->setChecked(true);
    } else if (alarms::isKind(alarm.sWhen, ScheduleKind::Daily)) {
        optDay[7]->setChecked(true);
    }

    iAlarmAgentIndex = agents.isEmpty() ? -1 : qint16(lstAlarmAgents->row(agents.first()));
    lstAlarmAgents->setCurrentRow(iAlarmAgentIndex);

    txtMessage->setText(alarm.sMessage);
    if (alarm.sMessage.isEmpty())
        txtMessage_Change(); // likewise
    bUpdating = false;
    UpdateSteps();
}

void frmAlarmWizard::UpdateSteps()
{
    for (int k = 0; k < int(imgCheck.size()); ++k)
        imgCheck[k]->setVisible(bStepDone[k]);
    // OK stores exactly what the window shows, so it waits for a whole alarm there.
    cmdOK->setEnabled(isCompleteAlarm(shownAlarm(), m_dateLocale));
}

// --- schedule kind, day, date and character ---

void frmAlarmWizard::optWhen_Click(int index)
{
    if (bUpdating)
        return;
    if (index != -1)
        bStepDone[1] = true;
    bUpdating = true;
    for (QRadioButton* day : optDay)
        uncheck(day);
    const QDate today = m_platform.now().date();
    switch (index) {
    case -1: {
        const QDate shown = clock::readShortDate(lblDate->text(), m_dateLocale);
        openCalendar(shown.isValid() ? shown : today);
        break;
    }
    case 0:
    case 5:
        // A date chosen already stays, with its frames and step.
        if (lblDate->text().isEmpty())
            openCalendar(today);
        break;
    case 1:
        lblDate->clear();
        fraDay->setEnabled(true);
        fraDate->setEnabled(false);
        optDay[7]->setChecked(true);
        bStepDone[2] = true;
        break;
    case 2:
        lblDate->clear();
        fraDate->setEnabled(false);
        fraDay->setEnabled(true);
        bStepDone[2] = false; // a day must now be chosen
        break;
    default:
        lblDate->clear();
        fraDate->setEnabled(false);
        fraDay->setEnabled(false);
        bStepDone[2] = true;
    }
    bUpdating = false;
    UpdateSteps();
}

void frmAlarmWizard::openCalendar(const QDate& date)
{
    fraDate->setEnabled(true);
    fraDay->setEnabled(false);
    MonthView2->setSelectedDate(date);
    // Centred across the window's outer width, at its own top.
    MonthView2->move((frameGeometry().width() - MonthView2->width()) / 2, MonthView2->y());
    MonthView2->show();
    MonthView2->raise();
    bStepDone[2] = true;
}

void frmAlarmWizard::optDay_Click(int index)
{
    if (bUpdating)
        return;
    // The kind follows the day without the kind's own handling: frames and date stay.
    bUpdating = true;
    optWhen[index >= 7 ? 1 : 2]->setChecked(true);
    bUpdating = false;
    bStepDone[2] = true;
    UpdateSteps();
}

void frmAlarmWizard::lblDate_Click()
{
    optWhen_Click(-1);
}

void frmAlarmWizard::MonthView2_DateDblClick(const QDate& date)
{
    // Today counts at any time of day; only earlier days are refused.
    if (date < m_platform.now().date()) {
        m_platform.messageBox(this,
                              QStringLiteral("You cannot select a Date older than Today's Date!"),
                              QStringLiteral("Old Date Selected!"),
                              platform::MessageIcon::Exclamation, platform::MessageButtons::Ok);
        MonthView2->setSelectedDate(m_platform.now().date());
        return;
    }
    MonthView2->hide();
    lblDate->setText(clock::shortDateText(date, m_dateLocale));
    bStepDone[2] = true;
    lstAlarmAgents->setFocus();
    UpdateSteps();
}

void frmAlarmWizard::lstAlarmAgents_Click()
{
    if (bUpdating)
        return;
    bUpdating = true;
    // Exactly one character stays selected: the last one chosen, also after a Ctrl+click has
    // taken the selection away.
    const QList<QListWidgetItem*> chosen = lstAlarmAgents->selectedItems();
    if (!chosen.isEmpty())
        iAlarmAgentIndex = qint16(lstAlarmAgents->row(chosen.first()));
    lstAlarmAgents->setCurrentRow(iAlarmAgentIndex);
    bStepDone[3] = true;
    UpdateSteps();
    bUpdating = false;
}

// --- time and message ---

bool frmAlarmWizard::checkAlarmTime()
{
    bStepDone[0] = readAlarmTime(txtAlarmTime->text()).has_value();
    return bStepDone[0];
}

void frmAlarmWizard::txtAlarmTime_Change()
{
    if (bOverCancel)
        return;
    // No message while typing: the step and OK show the state.
    if (txtAlarmTime->text().trimmed().isEmpty())
        bStepDone[0] = false;
    else
        checkAlarmTime();
    UpdateSteps();
}

void frmAlarmWizard::txtAlarmTime_GotFocus()
{
    UpdateSteps();
    txtAlarmTime->selectAll(); // typing replaces the time
}

void frmAlarmWizard::txtAlarmTime_LostFocus()
{
    if (bOverCancel || txtAlarmTime->text().trimmed().isEmpty() || checkAlarmTime())
        return;
    m_platform.messageBox(this, QStringLiteral("Invalid Time Format! Please use HH:MM"),
                          QStringLiteral("Time Input Error"), platform::MessageIcon::Critical,
                          platform::MessageButtons::Ok);
    txtAlarmTime->setFocus();
}

void frmAlarmWizard::dropQuotes(const QString& typed)
{
    // The alarm file encloses each field in double quotes and has no escape for one inside:
    // a typed or pasted quote is dropped, the rest of the text kept, and the note says why.
    const bool hadQuote = typed.contains(u'"');
    lblQuoteNote->setVisible(hadQuote);
    if (!hadQuote)
        return;
    const int cursor = txtMessage->cursorPosition();
    const int quotesBeforeCursor = int(typed.left(cursor).count(u'"'));
    txtMessage->setText(QString(typed).remove(u'"'));
    txtMessage->setCursorPosition(cursor - quotesBeforeCursor);
}

void frmAlarmWizard::txtMessage_Change()
{
    bStepDone[4] = !txtMessage->text().trimmed().isEmpty();
    UpdateSteps();
}

// --- OK and Cancel ---

alarms::tAlarm frmAlarmWizard::shownAlarm() const
{
    const auto chosen = [](const auto& buttons) {
        const auto at = std::find_if(buttons.begin(), buttons.end(),
                                     [](QRadioButton* b) { return b->isChecked(); });
        return at == buttons.end() ? -1 : int(at - buttons.begin());
    };
    const QListWidgetItem* agent = lstAlarmAgents->item(iAlarmAgentIndex);
    return editor::shownAlarm(txtAlarmTime->text(), chosen(optWhen), lblDate->text(),
                              chosen(optDay), agent ? agent->text() : QString(),
                              txtMessage->text());
}

void frmAlarmWizard::cmdOK_Click()
{
    const alarms::tAlarm shown = shownAlarm();
    if (!isCompleteAlarm(shown, m_dateLocale))
        return;
    emit alarmAccepted(shown);
    close();
}

void frmAlarmWizard::cmdCancel_Click()
{
    close();
}

// --- window events ---

void frmAlarmWizard::closeEvent(QCloseEvent* event)
{
    emit closed();
    QWidget::closeEvent(event);
}

void frmAlarmWizard::keyPressEvent(QKeyEvent* event)
{
    // Outside a dialog a button takes only the space bar; Enter presses it too, and the date
    // opens the calendar as a click does. Esc is Cancel.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && qobject_cast<QAbstractButton*>(focusWidget())) {
        static_cast<QAbstractButton*>(focusWidget())->click();
    } else if (enter && focusWidget() == lblDate) {
        lblDate_Click();
    } else if (event->key() == Qt::Key_Escape) {
        cmdCancel_Click();
    } else {
        QWidget::keyPressEvent(event);
    }
}

bool frmAlarmWizard::focusNextPrevChild(bool next)
{
    // Tab goes through the steps in their order, the calendar with the schedule it belongs to.
    // A group of options is one stop, entered at its chosen option (the arrow keys move within
    // it): Qt's own chain passes over a group whose options are all unchosen.
    QWidget* const when = entry(optWhen);
    QWidget* const day = entry(optDay);
    const std::array<QWidget*, 9> stops{txtAlarmTime,   when,       MonthView2, lblDate,  day,
                                        lstAlarmAgents, txtMessage, cmdOK,      cmdCancel};
    QWidget* focused = focusWidget();
    const auto holds = [&](QWidget* stop) {
        if (stop == when)
            return holdsFocus(optWhen, focused);
        if (stop == day)
            return holdsFocus(optDay, focused);
        return stop == focused || stop->isAncestorOf(focused);
    };
    const int count = int(stops.size());
    const auto found = std::find_if(stops.begin(), stops.end(), holds);
    int at = found == stops.end() ? (next ? -1 : 0) : int(found - stops.begin());
    for (int step = 0; step < count; ++step) {
        at = (at + (next ? 1 : count - 1)) % count;
        if (stops[at]->isVisible() && stops[at]->isEnabled()) {
            stops[at]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return false;
}

void frmAlarmWizard::mouseMoveEvent(QMouseEvent* event)
{
    // Moves over the other controls leave the flag as it is.
    if (!childAt(event->position().toPoint()))
        bOverCancel = false;
    QWidget::mouseMoveEvent(event);
}

bool frmAlarmWizard::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == txtAlarmTime && type == QEvent::FocusIn) {
        txtAlarmTime_GotFocus();
    } else if (watched == txtAlarmTime && type == QEvent::FocusOut) {
        // Leaving the window for another one, or for a menu, is not leaving the box. The check
        // runs once the focus has moved and the box has dropped its selection, so that it can
        // give the focus back with the text selected.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            QMetaObject::invokeMethod(this, &frmAlarmWizard::txtAlarmTime_LostFocus,
                                      Qt::QueuedConnection);
    } else if (watched == lblDate && type == QEvent::MouseButtonRelease && lblDate->isEnabled()) {
        lblDate_Click();
    } else if (watched == cmdCancel && type == QEvent::MouseMove) {
        bOverCancel = true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace hv::editor
