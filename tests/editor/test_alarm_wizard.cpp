#include <QCalendarWidget>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

#include "alarms/alarm_table.h"
#include "editor/alarm_wizard.h"
#include "fake_platform.h"

using hv::alarms::ScheduleKind;
using hv::alarms::tAlarm;
using hv::alarms::Weekday;
Q_DECLARE_METATYPE(tAlarm)

namespace {

const tAlarm WAKE_UP{"07:30", ScheduleKind::Daily, "Daily", "olwen", "Wake up"};

template <std::size_t N> int checkedIndex(const std::array<QRadioButton*, N>& options)
{
    const auto it =
        std::find_if(options.begin(), options.end(), [](auto o) { return o->isChecked(); });
    return it == options.end() ? -1 : int(it - options.begin());
}

} // namespace

// Drives the editor as a user does, over a table of three alarms and three characters.
class TestAlarmWizard final : public QObject
{
    Q_OBJECT

    std::unique_ptr<hv::testing::FakePlatform> m_platform;
    QList<tAlarm> m_accepted;
    QPointer<hv::editor::frmAlarmWizard> w;
    int m_closed = 0;

    // Opens the editor on `edited`, or in add mode without one.
    [[nodiscard]] bool open(const std::optional<tAlarm>& edited)
    {
        // The pointer starts away from the editor, so that the first move over it is a move.
        QCursor::setPos(799, 799);
        w = new hv::editor::frmAlarmWizard(*m_platform, edited, {"tock", "pim", "olwen"},
                                           QLocale());
        connect(w, &hv::editor::frmAlarmWizard::closed, this, [this] { ++m_closed; });
        connect(w, &hv::editor::frmAlarmWizard::alarmAccepted, this,
                [this](const tAlarm& alarm) { m_accepted.append(alarm); });
        w->show();
        w->activateWindow();
        return QTest::qWaitForWindowActive(w);
    }
    // The editor at a glance: check marks of steps 1 to 5, OK, the chosen kind and day (-1:
    // none), the frames Date and Day enabled, the date shown and the calendar up.
    [[nodiscard]] QString state() const
    {
        QString marks;
        for (const QLabel* mark : w->imgCheck)
            marks += mark->isVisible() ? u'1' : u'0';
        return marks + QString::asprintf(
                           " ok%d kind%d day%d frames%d%d date'%ls' calendar%d",
                           w->cmdOK->isEnabled(), checkedIndex(w->optWhen), checkedIndex(w->optDay),
                           w->fraDate->isEnabled(), w->fraDay->isEnabled(),
                           qUtf16Printable(w->lblDate->text()), w->MonthView2->isVisible());
    }
    void doubleClickDate(const QDate& date)
    {
        w->MonthView2->setSelectedDate(date); // the first click of the two
        auto* days = w->MonthView2->findChild<QTableView*>();
        QTest::mouseDClick(days->viewport(), Qt::LeftButton, {},
                           days->visualRect(days->currentIndex()).center());
    }
    // The stops Tab makes from the focused control, once round: a button by its text, the
    // calendar's own buttons and days as one stop.
    [[nodiscard]] QString tabChain() const
    {
        const QHash<const QWidget*, QString> names{{w->txtAlarmTime, "time"},
                                                   {w->lblDate, "date"},
                                                   {w->lstAlarmAgents, "agents"},
                                                   {w->txtMessage, "message"}};
        QStringList chain;
        const QWidget* first = QApplication::focusWidget();
        for (int n = 0; n < 40 && (n == 0 || QApplication::focusWidget() != first); ++n) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            const QWidget* at = QApplication::focusWidget();
            const auto* button = qobject_cast<const QAbstractButton*>(at);
            const QString name = w->MonthView2->isAncestorOf(at) ? "calendar"
                                 : button                        ? button->text()
                                                                 : names.value(at, "?");
            if (chain.isEmpty() || chain.last() != name)
                chain << name;
        }
        return chain.join(' ');
    }
    void fillIn(const QString& time, int agentRow, const QString& message)
    {
        QTest::keyClicks(w->txtAlarmTime, time);
        QListWidget* list = w->lstAlarmAgents;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(agentRow)).center());
        QTest::keyClicks(w->txtMessage, message);
    }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        m_platform = std::make_unique<hv::testing::FakePlatform>(QString());
        m_platform->clock = QDateTime(QDate(2026, 12, 5), QTime(9, 0, 30));
        m_accepted.clear();
        m_closed = 0;
    }
    void cleanup() { delete w; }

    void addsADailyAlarm()
    {
        QVERIFY(open(std::nullopt));
        QCOMPARE(state(), "00000 ok0 kind-1 day-1 frames11 date'' calendar0");
        QVERIFY(w->lstAlarmAgents->selectedItems().isEmpty() && !w->lblQuoteNote->isVisible());
        QTest::mouseClick(w->optWhen[1], Qt::LeftButton); // completes kind and day at once
        QCOMPARE(state(), "01100 ok0 kind1 day7 frames01 date'' calendar0");
        // The file has no way to hold a double quote: typed or pasted, only the quotes are
        // dropped, and the note says so until an edit brings none.
        QGuiApplication::clipboard()->setText("\"Wake\" u");
        fillIn("7:30", 2, "");
        QTest::keySequence(w->txtMessage, QKeySequence::Paste);
        QVERIFY(w->txtMessage->text() == "Wake u" && w->lblQuoteNote->isVisible());
        QTest::keyClicks(w->txtMessage, "\"p");
        QVERIFY(w->txtMessage->text() == "Wake up" && !w->lblQuoteNote->isVisible());
        QVERIFY(state().startsWith("11111 ok1"));
        QTest::mouseClick(w->cmdOK, Qt::LeftButton);
        QVERIFY(m_accepted == QList{WAKE_UP} && m_closed == 1);
    }

    void datesRefuseThePastAndStayUnderYearly()
    {
        QVERIFY(open(std::nullopt));
        QTest::mouseClick(w->optWhen[0], Qt::LeftButton);
        QCOMPARE(state(), "01100 ok0 kind0 day-1 frames10 date'' calendar1");
        QCOMPARE(tabChain(), "calendar date agents message Cancel time Once");

        doubleClickDate(QDate(2026, 12, 4));
        QVERIFY(m_platform->messageBoxes.size() == 1 &&
                m_platform->messageBoxes[0].title == "Old Date Selected!" &&
                m_platform->messageBoxes[0].icon == hv::platform::MessageIcon::Exclamation);
        QVERIFY(w->MonthView2->isVisible() && w->MonthView2->selectedDate() == QDate(2026, 12, 5));

        doubleClickDate(QDate(2026, 12, 5));
        QCOMPARE(state(), "01100 ok0 kind0 day-1 frames10 date'12/5/2026' calendar0");
        QCOMPARE(QApplication::focusWidget(), w->lstAlarmAgents);
        QTest::mouseClick(w->optWhen[5], Qt::LeftButton);
        QCOMPARE(state(), "01100 ok0 kind5 day-1 frames10 date'12/5/2026' calendar0");
        // The label opens the calendar on its own date, whatever day it is now.
        m_platform->clock = m_platform->clock.addDays(2);
        QTest::mouseClick(w->lblDate, Qt::LeftButton);
        QVERIFY(w->MonthView2->isVisible() && w->MonthView2->selectedDate() == QDate(2026, 12, 5));

        fillIn("6:00", 0, "Birthday");
        QTest::mouseClick(w->cmdOK, Qt::LeftButton);
        QVERIFY(m_accepted ==
                QList{tAlarm({"06:00", ScheduleKind::Yearly, "12/5/2026", "tock", "Birthday"})});
    }

    void loadsEachKindAndSavesItBack_data()
    {
        QTest::addColumn<tAlarm>("alarm");
        QTest::addColumn<QString>("loaded");
        QTest::addColumn<QString>("saved"); // the time OK writes back; empty: OK disabled
        const auto row = [](const char* name, tAlarm alarm, const char* loaded, QString saved) {
            QTest::newRow(name) << alarm << QString(loaded) << saved;
        };
        row("Daily", {"7:5", ScheduleKind::Daily, "Daily", "olwen", "Up"},
            "11111 ok1 kind1 day7 frames11 date'' calendar0", "07:05");
        row("Weekly", {"12:00", ScheduleKind::Weekly, Weekday::Thursday, "tock", "Lunch"},
            "11111 ok1 kind2 day3 frames11 date'' calendar0", "12:00");
        row("Yearly", {"00:00", ScheduleKind::Yearly, "3/1/2027", "olwen", "Born"},
            "11111 ok1 kind5 day-1 frames11 date'3/1/2027' calendar0", "00:00");
        row("character gone", {"09:00", ScheduleKind::Daily, "Daily", "zoltan", "Up"},
            "11101 ok0 kind1 day7 frames11 date'' calendar0", "");
        row("no time", {"", ScheduleKind::Daily, "Daily", "tock", "Up"},
            "01111 ok0 kind1 day7 frames11 date'' calendar0", "");
        row("no message", {"09:00", ScheduleKind::FirstWeekday, "fwdm", "tock", ""},
            "11110 ok0 kind3 day-1 frames00 date'' calendar0", "");
    }
    void loadsEachKindAndSavesItBack()
    {
        QFETCH(tAlarm, alarm);
        QFETCH(QString, loaded);
        QFETCH(QString, saved);
        QVERIFY(open(alarm));
        QCOMPARE(state(), loaded);
        const QList<QListWidgetItem*> agent = w->lstAlarmAgents->selectedItems();
        QCOMPARE(agent.isEmpty() ? "zoltan" : agent.first()->text(), alarm.sAgent);
        if (saved.isEmpty())
            return;
        QTest::mouseClick(w->cmdOK, Qt::LeftButton);
        alarm.sTime = saved;
        QVERIFY(m_accepted == QList{alarm});
    }

    void checksTheTimeUnlessThePointerIsOnCancel_data()
    {
        QTest::addColumn<QString>("pointer"); // where the pointer is while typing
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("steps");
        const auto row = [](const char* name, const char* pointer, const char* typed,
                            const char* steps) {
            QTest::newRow(name) << QString(pointer) << QString(typed) << QString(steps);
        };
        row("hour 25", "", "25:00", "01111 ok0");
        row("valid", "", "7:30", "11111 ok1");
        row("on Cancel", "Cancel", "25:00", "11111 ok1");
        row("then over the bare window", "window", "25:00", "01111 ok0");
    }
    void checksTheTimeUnlessThePointerIsOnCancel()
    {
        QFETCH(QString, pointer);
        QFETCH(QString, typed);
        QFETCH(QString, steps);
        QVERIFY(open(WAKE_UP));
        const QPoint bare(47, 167); // between the check marks of steps 3 and 4
        if (!pointer.isEmpty())
            QTest::mouseMove(w->cmdCancel);
        if (pointer == "window")
            QTest::mouseMove(w, bare);
        QTest::keyClick(w->txtAlarmTime, Qt::Key_Delete); // the stored time is selected
        QTest::keyClicks(w->txtAlarmTime, typed);
        QCOMPARE(state().left(9), steps);
        if (!pointer.isEmpty()) {
            // Reaching Cancel with the pointer leaves the invalid time without a message.
            QTest::mouseMove(w->cmdCancel);
            QTest::mouseClick(w->cmdCancel, Qt::LeftButton);
            QVERIFY(m_platform->messageBoxes.isEmpty() && m_closed == 1 && m_accepted.isEmpty());
            return;
        }
        QTest::keyClick(w->txtAlarmTime, Qt::Key_Tab);
        QCoreApplication::processEvents(); // the check follows the move of the focus
        const bool warned = typed == "25:00";
        // Given back with the text selected, so that typing replaces it.
        QCOMPARE(QApplication::focusWidget() == w->txtAlarmTime &&
                     w->txtAlarmTime->selectedText() == typed,
                 warned);
        QCOMPARE(m_platform->messageBoxes.size(), warned ? 1 : 0);
        if (warned)
            QCOMPARE(m_platform->messageBoxes[0].title + '|' + m_platform->messageBoxes[0].text,
                     "Time Input Error|Invalid Time Format! Please use HH:MM");
    }

    void makesAWeeklyAlarmWithTheKeyboardAlone()
    {
        QVERIFY(open(std::nullopt));
        // Tab goes through the steps in their order; OK is passed over until it can be pressed.
        QCOMPARE(tabChain(), "Once date Mon agents message Cancel time");
        const auto press = [](std::initializer_list<Qt::Key> keys) {
            for (Qt::Key key : keys)
                QTest::keyClick(QApplication::focusWidget(), key);
        };
        QTest::keyClicks(w->txtAlarmTime, "6:45");
        // The arrows go round the schedule options by their places: Daily, Yearly, Last
        // Weekday, Weekly. A weekly alarm waits for its day.
        press({Qt::Key_Tab, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right,
               Qt::Key_Space});
        QCOMPARE(state(), "11000 ok0 kind2 day-1 frames01 date'' calendar0");
        press({Qt::Key_Tab, Qt::Key_Right, Qt::Key_Space, Qt::Key_Tab, Qt::Key_Down, Qt::Key_Tab});
        QTest::keyClicks(QApplication::focusWidget(), "Go");
        QCOMPARE(state(), "11111 ok1 kind2 day1 frames01 date'' calendar0");
        QCOMPARE(tabChain(), "OK Cancel time Weekly Tues agents message");
        press({Qt::Key_Tab, Qt::Key_Return}); // on OK
        QVERIFY(m_closed == 1 && m_accepted == QList{tAlarm({"06:45", ScheduleKind::Weekly,
                                                             Weekday::Tuesday, "pim", "Go"})});

        QVERIFY(open(WAKE_UP));
        QTest::keyClicks(w->txtMessage, " now");
        press({Qt::Key_Escape});
        QVERIFY(m_closed == 2 && m_accepted.size() == 1);
    }
};

QTEST_MAIN(TestAlarmWizard)
#include "test_alarm_wizard.moc"
