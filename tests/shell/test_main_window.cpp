#include <algorithm>

#include <QAbstractButton>
#include <QAction>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDebug>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSessionManager>
#include <QStatusBar>
#include <QStyleOptionGroupBox>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "about/about_dialog.h"
#include "editor/alarm_wizard.h"
#include "platform/qt_platform.h"
#include "quiet_dialog/quiet_times_dialog.h"
#include "shell/dialog_font.h"
#include "window_fixture.h"

using hv::shell::frmHoravox;
using hv::testing::WindowFixture;

namespace {

const QDate DAY(2026, 12, 5);

QDateTime at(int hour, int minute, int second = 0)
{
    return QDateTime(DAY, QTime(hour, minute, second));
}

// n alarm lines "HH:MM","Daily","Daily","olwen","Alarm i".
QByteArray alarmLines(int n)
{
    QByteArray lines;
    for (int i = 0; i < n; ++i)
        lines += QString("\"%1:00\",\"Daily\",\"Daily\",\"olwen\",\"Alarm %2\"\r\n")
                     .arg(i % 24, 2, 10, QChar('0'))
                     .arg(i)
                     .toUtf8();
    return lines;
}

// Every text under root that its widget cuts off, against the room its style gives the text.
QStringList cutTexts(const QWidget& root)
{
    QStringList cut;
    // A window's title, in a title bar's bold 13-pixel sans, has the window's width less 100
    // for the frame's icon and buttons.
    QFont titleFont("DejaVu Sans");
    titleFont.setBold(true);
    titleFont.setPixelSize(13);
    if (root.isWindow() &&
        QFontMetrics(titleFont).horizontalAdvance(root.windowTitle()) > root.width() - 100)
        cut << root.windowTitle();
    const QList<QCalendarWidget*> calendars = root.findChildren<QCalendarWidget*>();
    for (QWidget* widget : root.findChildren<QWidget*>()) {
        QString text;
        QRect room;
        int flags = Qt::TextShowMnemonic;
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            text = label->text();
            room = label->contentsRect();
            flags = label->wordWrap() ? Qt::TextWordWrap : 0;
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = text = button->text();
            room = widget->style()->subElementRect(qobject_cast<QRadioButton*>(button)
                                                       ? QStyle::SE_RadioButtonContents
                                                       : QStyle::SE_PushButtonContents,
                                                   &option, button);
        } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
            QStyleOptionGroupBox option;
            option.initFrom(frame);
            option.text = text = frame->title();
            // The style sizes the title to its text: the room is what the frame leaves of it.
            room = widget->style()
                       ->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel)
                       .intersected(frame->rect());
        }
        // The calendar lays out its own navigation; its day names and numbers are its table's.
        if (auto* days = qobject_cast<QTableView*>(widget); days && days->isVisible()) {
            for (int column = 0; column < days->model()->columnCount(); ++column) {
                text = days->model()->index(0, column).data().toString();
                // The cell's text keeps a few pixels to either side.
                if (days->fontMetrics().horizontalAdvance(text) + 6 > days->columnWidth(column))
                    QDebug(&cut.emplace_back()) << text << "has" << days->columnWidth(column);
            }
        }
        if (text.isEmpty() || std::any_of(calendars.begin(), calendars.end(),
                                          [widget](auto* c) { return c->isAncestorOf(widget); }))
            continue;
        const QFontMetrics metrics(widget->font());
        QSize need = metrics.boundingRect(QRect(0, 0, room.width(), 10000), flags, text).size();
        // A single line's ink must fit, not its cell: a box drawn a pixel short of the cell is
        // whole where no letter reaches that far.
        if (flags != Qt::TextWordWrap)
            need.setHeight(metrics.tightBoundingRect(text).height());
        if (need.width() > room.width() || need.height() > room.height())
            QDebug(&cut.emplace_back()) << text << "needs" << need << "has" << room.size();
    }
    return cut;
}

QStringList texts(const QListWidget* list)
{
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries.append(list->item(i)->text());
    return entries;
}

} // namespace

// The main window driven as the program runs it: start-up, options, visibility, the character
// speaking, the character list and the clock, against the fake platform and the recording Agent.
class TestMainWindow final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startsAsFirstRunOrWithTheStoredSettings_data();
    void startsAsFirstRunOrWithTheStoredSettings();
    void rightClickSelectsTheRowAndOffersItsCommands_data();
    void rightClickSelectsTheRowAndOffersItsCommands();
    void addRowOpensTheEditorUpToTheLimit_data();
    void addRowOpensTheEditorUpToTheLimit();
    void deleteMovesTheLaterAlarmsUp_data();
    void deleteMovesTheLaterAlarmsUp();
    void testLetsTheAlarmsOwnCharacterSpeak_data();
    void testLetsTheAlarmsOwnCharacterSpeak();
    void optionGroupsStayInStep_data();
    void optionGroupsStayInStep();
    void closeMinimizeAndExitWriteBothFiles_data();
    void closeMinimizeAndExitWriteBothFiles();
    void failedSaveIsToldOnceUntilASaveWorks();
    void everyTextFitsItsWidget_data();
    void everyTextFitsItsWidget();
    void noSoundDeviceEndsAtOnceOnComingBackFromTheProgram_data();
    void noSoundDeviceEndsAtOnceOnComingBackFromTheProgram();
    void showToggleAndHelp();

    void agentSpeakCallsInOrder_data();
    void agentSpeakCallsInOrder();
    void failureEndsTheAppearance_data();
    void failureEndsTheAppearance();
    void clicksOnTheCharacter_data();
    void clicksOnTheCharacter();
    void onlyTheLatestHideReleasesTheCharacter();

    void listsTheCharactersOfTheFolder_data();
    void listsTheCharactersOfTheFolder();
    void searchesTheStoredFolderOrTheDefaultPlaces_data();
    void searchesTheStoredFolderOrTheDefaultPlaces();
    void menuListAndKeyboardChooseTheCharacter_data();
    void menuListAndKeyboardChooseTheCharacter();

    void announcesAtTheChosenMinutes_data();
    void announcesAtTheChosenMinutes();
    void synchronisesOnTheMinuteWithoutSpeaking();
    void testButtonSpeaksWhateverTheInterval_data();
    void testButtonSpeaksWhateverTheInterval();
    void dueMinuteTick_data();
    void dueMinuteTick();
    void alarmsFireAndRepeatUntilDoubleClicked();
    void firedAlarmsMoveOnOrGo_data();
    void firedAlarmsMoveOnOrGo();
    void startUpReportsMissedAndUnreadAlarms();
    void quietTimesKeepAnnouncementsNotAlarms_data();
    void quietTimesKeepAnnouncementsNotAlarms();
    void quietTimesDialogKeepsItsOwnFile();

private:
    frmHoravox& start(const QStringList& characters = {"Olwen.acs"});
    QStringList& log() { return m_f->agent.log; }
    // One tick at `now`; a hide it asked for completes as the engine reports it. Returns what
    // was spoken, or an empty string.
    QString tickAt(const QDateTime& now);
    // Ticks once a second from `from` until the timer is on the minute; returns that time.
    QDateTime synchronise(const QDateTime& from);

    std::unique_ptr<WindowFixture> m_f;
    frmHoravox* m_window = nullptr;
};

void TestMainWindow::initTestCase()
{
    // Offscreen windows find their faces through fontconfig, as the program does.
    hv::shell::useDialogFont();
}

void TestMainWindow::init()
{
    m_f = std::make_unique<WindowFixture>();
}

void TestMainWindow::cleanup()
{
    m_f.reset();
}

frmHoravox& TestMainWindow::start(const QStringList& characters)
{
    WindowFixture::putFiles(m_f->charsFolder(), characters);
    m_window = &m_f->start();
    return *m_window;
}

QString TestMainWindow::tickAt(const QDateTime& now)
{
    m_f->platform.clock = now;
    const engine::AgentRequest hideBefore = m_window->reqHide;
    const qsizetype logBefore = log().size();
    m_window->tmrClock_Timer();
    if (m_window->reqHide != hideBefore)
        m_f->agent.complete(m_window->reqHide);
    const QStringList spoken = log().mid(logBefore).filter("Speak ");
    return spoken.isEmpty() ? QString() : spoken.first().mid(6);
}

QDateTime TestMainWindow::synchronise(const QDateTime& from)
{
    for (int second = 0; second <= 60; ++second) {
        tickAt(from.addSecs(second));
        if (m_window->bSynchronized)
            return from.addSecs(second);
    }
    return {};
}

void TestMainWindow::startsAsFirstRunOrWithTheStoredSettings_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("first run") << QByteArray() << true << QPoint(5, 635)
                               << QByteArray("\"Olwen\",1,1,2,1,#FALSE#,\"CHARS\"\r\n");
    // The reserved field survives the save that the character search makes.
    QTest::newRow("later run") << QByteArray("\"olwen\",1,0,4,5,#TRUE#,\"CHARS\"\r\n") << false
                               << QPoint(448, 320)
                               << QByteArray("\"olwen\",1,0,4,5,#TRUE#,\"CHARS\"\r\n");
}

void TestMainWindow::startsAsFirstRunOrWithTheStoredSettings()
{
    QFETCH(QByteArray, settings);
    QFETCH(bool, shown);
    QFETCH(QPoint, position);
    QFETCH(QByteArray, written);
    const QByteArray chars = m_f->charsFolder().toUtf8();
    if (!settings.isEmpty())
        m_f->writeFile(m_f->settingsPath(), settings.replace("CHARS", chars));

    frmHoravox& window = start();

    QCOMPARE(window.isWindowShown(), shown);
    QVERIFY(!window.mnuShow->isChecked());
    QCOMPARE(QPoint(window.iAgentX, window.iAgentY), position);
    QCOMPARE(m_f->readFile(m_f->settingsPath()), written.replace("CHARS", chars));
    QCOMPARE(window.optInterval[window.settings.iInterval]->isChecked(), true);
    QCOMPARE(window.mnuBalloonOpt[window.settings.iBalloonOption]->isChecked(), true);
}

void TestMainWindow::rightClickSelectsTheRowAndOffersItsCommands_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("menu");
    QTest::addColumn<bool>("onAlarm");
    QTest::newRow("alarm row") << 1 << true << true;
    QTest::newRow("add row") << 2 << true << false;
    QTest::newRow("below the last row") << 9 << false << false;
}

void TestMainWindow::rightClickSelectsTheRowAndOffersItsCommands()
{
    QFETCH(int, row);
    QFETCH(bool, menu);
    QFETCH(bool, onAlarm);
    m_f->writeFile(m_f->alarmsPath(), alarmLines(2));
    frmHoravox& window = start();
    window.show();
    const int rowHeight = window.lstAlarms->visualRect(window.alarmList.index(0)).height();

    QTest::mouseClick(window.lstAlarms->viewport(), Qt::RightButton, {},
                      QPoint(20, rowHeight * row + rowHeight / 2));

    QCOMPARE(window.lstAlarms->currentIndex().row(), menu ? row : -1);
    QCOMPARE(window.mnuAlarmOptions->isVisible(), menu);
    for (QAction* item : {window.mnuAlarmEdit, window.mnuAlarmDelete, window.mnuAlarmTest})
        QCOMPARE(item->isEnabled(), onAlarm || !menu);
    window.mnuAlarmOptions->hide();
}

void TestMainWindow::addRowOpensTheEditorUpToTheLimit_data()
{
    QTest::addColumn<int>("alarms");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("then"); // tried while the editor is open
    QTest::newRow("74 alarms") << 74 << true << "";
    QTest::newRow("75 alarms") << 75 << false << "";
    for (const char* then : {"File > Show", "Edit"})
        QTest::addRow("74 alarms, then %s", then) << 74 << true << then;
}

void TestMainWindow::addRowOpensTheEditorUpToTheLimit()
{
    QFETCH(int, alarms);
    QFETCH(bool, opens);
    QFETCH(QString, then);
    m_f->writeFile(m_f->alarmsPath(), alarmLines(alarms));
    frmHoravox& window = start();

    window.mnuAlarmAdd->trigger();
    const QPointer<QWidget> editor(window.alarmWizard.data());
    window.selectAlarmRow(0); // an alarm, for Edit
    if (then == "File > Show")
        window.mnuShow->trigger();
    else if (then == "Edit")
        window.mnuAlarmEdit->trigger();

    // Every way into the main window leads to the one editor, still adding.
    QVERIFY(editor == window.alarmWizard.data() && (!opens || editor->isVisible()));
    QCOMPARE(window.bAddAlarm, opens);
    QCOMPARE(window.isWindowShown(), !opens);
    const auto box = m_f->platform.messageBoxes.value(0);
    QCOMPARE(box.text + '|' + box.title,
             opens ? "|" : "The limit of 75 Alarms has been reached!|Can't Add Alarm!");
    QVERIFY(opens || box.icon == hv::platform::MessageIcon::Exclamation);
}

void TestMainWindow::deleteMovesTheLaterAlarmsUp_data()
{
    QTest::addColumn<int>("alarms");
    QTest::addColumn<int>("row");
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("row 0 of three") << 3 << 0 << alarmLines(3).mid(alarmLines(1).size());
    QTest::newRow("the only alarm") << 1 << 0 << QByteArray();
    QTest::newRow("the add row") << 1 << 1 << alarmLines(1);
}

void TestMainWindow::deleteMovesTheLaterAlarmsUp()
{
    QFETCH(int, alarms);
    QFETCH(int, row);
    QFETCH(QByteArray, file);
    m_f->writeFile(m_f->alarmsPath(), alarmLines(alarms));
    m_f->writeFile(m_f->settingsPath(), "\"Olwen\",0,1,2,1,#FALSE#,\"\"\r\n");
    frmHoravox& window = start();
    const int left = file.count('\n');

    window.selectAlarmRow(row);
    window.mnuAlarmDelete->trigger();

    QCOMPARE(m_f->readFile(m_f->alarmsPath()), file);
    QCOMPARE(QFile::exists(m_f->alarmsPath()), left > 0);
    QCOMPARE(window.alarmList.rowCount(), left + 1);
    QCOMPARE(window.bAlarmsOn, left > 0);
    QCOMPARE(window.optAlarmsOpt[1]->isChecked(), left == 0);
}

void TestMainWindow::testLetsTheAlarmsOwnCharacterSpeak_data()
{
    QTest::addColumn<QString>("speaker"); // beside the clock's own, Olwen
    QTest::newRow("its own") << "tock.acs";
    QTest::newRow("not here, the clock's own") << "Olwen.acs";
}

void TestMainWindow::testLetsTheAlarmsOwnCharacterSpeak()
{
    QFETCH(QString, speaker);
    m_f->writeFile(m_f->alarmsPath(), "\"07:30\",\"Daily\",\"Daily\",\"tock\",\"Wake up\"\r\n");
    frmHoravox& window = start({"Olwen.acs", speaker});
    window.selectAlarmRow(0);

    window.mnuAlarmTest->trigger();

    QCOMPARE(log().mid(1, 1), QStringList{"Load CharacterID " + m_f->charsFolder() + speaker});
    QCOMPARE(log().mid(log().size() - 3), QStringList({"Show", "Speak Wake up", "Hide"}));
    QCOMPARE(window.settings.sAgentName, QString("Olwen"));
    QVERIFY(!window.bAgentBusy && window.cmdTest->isEnabled());
}

void TestMainWindow::optionGroupsStayInStep_data()
{
    QTest::addColumn<int>("group"); // interval, position, balloon, alarms
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("fromMenu");
    QTest::addColumn<int>("chosen");
    for (bool fromMenu : {true, false}) {
        const char* side = fromMenu ? "menu" : "button";
        QTest::addRow("interval 6 from %s", side) << 0 << 6 << fromMenu << 6;
        QTest::addRow("position 3 from %s", side) << 1 << 3 << fromMenu << 3;
        QTest::addRow("balloon 0 from %s", side) << 2 << 0 << fromMenu << 0;
        QTest::addRow("alarms off from %s", side) << 3 << 1 << fromMenu << 1;
        // Alarms go on only with alarms to fire: the switch stays off.
        QTest::addRow("alarms on, none set, from %s", side) << 3 << 0 << fromMenu << 1;
    }
}

void TestMainWindow::optionGroupsStayInStep()
{
    QFETCH(int, group);
    QFETCH(int, index);
    QFETCH(bool, fromMenu);
    QFETCH(int, chosen);
    // A stored "On" is kept even when no alarm file exists.
    m_f->writeFile(m_f->settingsPath(), "\"Olwen\",0,1,2,1,#FALSE#,\"\"\r\n");
    frmHoravox& w = start();
    QVERIFY(w.bAlarmsOn);
    if (group == 3 && index == 0)
        w.optAlarmsOpt[1]->click();
    const QList<QList<QAction*>> menus{{w.mnuInterval.begin(), w.mnuInterval.end()},
                                       {w.mnuPos.begin(), w.mnuPos.end()},
                                       {w.mnuBalloonOpt.begin(), w.mnuBalloonOpt.end()},
                                       {w.mnuAlarmsOpt.begin(), w.mnuAlarmsOpt.end()}};
    const QList<QList<QRadioButton*>> panel{{w.optInterval.begin(), w.optInterval.end()},
                                            {w.optPos.begin(), w.optPos.end()},
                                            {w.optBalloon.begin(), w.optBalloon.end()},
                                            {w.optAlarmsOpt.begin(), w.optAlarmsOpt.end()}};
    QRadioButton* button = panel[group][index];
    if (fromMenu)
        menus[group][index]->trigger();
    else
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));

    const QList<qint16> fields{w.settings.iInterval, w.settings.iPosition,
                               w.settings.iBalloonOption, w.settings.iAlarmsOption};
    QCOMPARE(fields[group], chosen);
    for (int i = 0; i < menus[group].size(); ++i) {
        QCOMPARE(menus[group][i]->isChecked(), i == chosen);
        QCOMPARE(panel[group][i]->isChecked(), i == chosen);
    }
    // Options reach the file only with the next save.
    QCOMPARE(m_f->readFile(m_f->settingsPath()).split(',').value(4), QByteArray("1"));
}

void TestMainWindow::closeMinimizeAndExitWriteBothFiles_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("close box") << "close";
    QTest::newRow("close box while minimised") << "closeMinimised";
    QTest::newRow("Minimize") << "minimize";
    QTest::newRow("Exit button") << "exit";
    QTest::newRow("the session ends") << "session";
}

void TestMainWindow::closeMinimizeAndExitWriteBothFiles()
{
    QFETCH(QString, how);
    const QByteArray alarm = "\"07:30\",\"Daily\",\"Daily\",\"olwen\",\"Wake up\"\r\n";
    m_f->writeFile(m_f->alarmsPath(), alarm);
    frmHoravox& window = start();
    QFile::remove(m_f->settingsPath());
    QFile::remove(m_f->alarmsPath());
    window.mnuInterval[4]->trigger();
    window.AgentSpeak(QStringLiteral("The time is, 9:00."));
    log().clear();

    if (how == "closeMinimised")
        window.mnuShow->trigger();
    if (how.startsWith("close"))
        window.close();
    else if (how == "minimize")
        window.cmdClose->click();
    else if (how == "session")
        emit qGuiApp->commitDataRequest(*qGuiApp->findChild<QSessionManager*>());
    else
        window.cmdExit->click();

    QCOMPARE(m_f->readFile(m_f->settingsPath()).split(',').value(4), QByteArray("4"));
    QCOMPARE(m_f->readFile(m_f->alarmsPath()), alarm);
    QCOMPARE(window.bExiting, how.startsWith("exit"));
    if (window.bExiting) {
        // Exit hides the character; the close is posted, handled once the handler returned.
        QCOMPARE(log(), QStringList{"Hide"});
        QVERIFY(!window.objCharacter);
        QTRY_VERIFY(!window.isVisible());
    } else if (how != "session") {
        QVERIFY(!window.isWindowShown() && !window.mnuShow->isChecked());
    }
}

void TestMainWindow::failedSaveIsToldOnceUntilASaveWorks()
{
    frmHoravox& window = start();
    QStringList told;
    connect(window.statusBar(), &QStatusBar::messageChanged,
            [&told](const QString& text) { told.append(text.section(':', 0, 0)); });
    // Minimize saves both files; a folder in a file's place makes its save fail, logged each time.
    int save = 0;
    for (const bool blocked : {true, false, true, true}) {
        for (const QString& path : {m_f->settingsPath(), m_f->alarmsPath()}) {
            QVERIFY(blocked ? QDir().mkpath(path) || (QFile::remove(path) && QDir().mkdir(path))
                            : QDir().rmdir(path));
            if (blocked)
                QTest::ignoreMessage(
                    QtWarningMsg, QRegularExpression("could not save .*" + path.section('/', -1)));
        }
        if (++save == 4)
            window.statusBar()->clearMessage(); // as a tray notice goes by itself
        window.cmdClose->click();
    }
    // Told, taken back by a save that works, told again, and not a second time.
    const QStringList once{"Settings Not Saved", "Alarms Not Saved", ""};
    QCOMPARE(told, once + once);
}

void TestMainWindow::everyTextFitsItsWidget_data()
{
    QTest::addColumn<QString>("window");
    for (const char* window : {"main window", "folder-search panel", "editor", "About", "box"})
        QTest::newRow(window) << QString(window);
}

void TestMainWindow::everyTextFitsItsWidget()
{
    QFETCH(QString, window);
    frmHoravox& main =
        start(window == "folder-search panel" ? QStringList() : QStringList{"P.acs"});
    QWidget* root = &main;
    if (window == "folder-search panel") {
        root = main.fraFindAgentPath;
    } else if (window == "editor") {
        main.bAddAlarm = true;
        main.OpenAlarmEditor();
        root = main.alarmWizard;
        main.alarmWizard->optWhen[0]->click(); // "Once" shows the calendar
    } else if (window == "About") {
        main.mnuAboutDialog->trigger();
        root = main.aboutDialog;
    }
    QStringList cut;
    if (window == "box") {
        // Read and closed once it is up; on a busy machine it may take a while to be.
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&cut, &poll] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                poll.stop();
                cut = cutTexts(*box);
                box->close();
            }
        });
        poll.start(10);
        hv::platform::QtPlatform().messageBox(&main, "No Sound Card Found!", "Exiting Horavox!",
                                              hv::platform::MessageIcon::Critical,
                                              hv::platform::MessageButtons::Ok);
    }
    cut += cutTexts(*root);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join("; ")));
    // On a scaled screen a face with drawings for one size only is spaced out.
    QVERIFY(qApp->devicePixelRatio() == 1.0 ||
            QFontDatabase::isSmoothlyScalable(QFontInfo(QApplication::font()).family()));
}

void TestMainWindow::noSoundDeviceEndsAtOnceOnComingBackFromTheProgram_data()
{
    QTest::addColumn<bool>("fromProgram");
    QTest::newRow("from the About dialog") << true;
    QTest::newRow("from another application") << false;
}

void TestMainWindow::noSoundDeviceEndsAtOnceOnComingBackFromTheProgram()
{
    QFETCH(bool, fromProgram);
    frmHoravox& window = start();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const QStringList files = QDir(m_f->app.path()).entryList(QDir::Files);
    const QByteArray settings = m_f->readFile(m_f->settingsPath());
    m_f->platform.audioOutputs = 0;
    window.mnuAboutDialog->trigger();
    window.aboutDialog->activateWindow();
    QTRY_COMPARE(QGuiApplication::focusWindow(), window.aboutDialog->windowHandle());
    // What the platform reports when the user turns to another application.
    if (!fromProgram)
        emit qGuiApp->focusWindowChanged(nullptr);
    window.aboutDialog->close();
    window.activateWindow();
    QTRY_COMPARE(QGuiApplication::focusWindow(), window.windowHandle());
    QCOMPARE(m_f->platform.endRequests, fromProgram ? 1 : 0);
    const auto box = m_f->platform.messageBoxes.value(0);
    QCOMPARE(box.text + box.title, fromProgram ? "No Sound Card Found!Exiting Horavox!" : "");
    QVERIFY(!fromProgram || box.icon == hv::platform::MessageIcon::Critical);
    QCOMPARE(QDir(m_f->app.path()).entryList(QDir::Files), files);
    QCOMPARE(m_f->readFile(m_f->settingsPath()), settings);
}

void TestMainWindow::showToggleAndHelp()
{
    m_f->writeFile(m_f->settingsPath(), "\"Olwen\",1,1,2,1,#FALSE#,\"\"\r\n");
    frmHoravox& window = start();
    for (bool shown : {true, false}) {
        window.mnuShow->trigger();
        QCOMPARE(window.isWindowShown(), shown);
        QCOMPARE(window.mnuShow->isChecked(), shown);
    }
    window.mnuContents->trigger();
    m_f->putFiles(m_f->app.path(), {"horavox.hlp"});
    window.mnuContents->trigger();
    QCOMPARE(m_f->platform.helpRequests,
             (QStringList{m_f->platform.guideFile, m_f->app.path() + "/horavox.hlp"}));
    QVERIFY(m_f->platform.messageBoxes.isEmpty());
    m_f->platform.helpOpens = false; // no program to show it: the user is told where it is
    window.mnuContents->trigger();
    QVERIFY(m_f->platform.messageBoxes.value(0).text.contains(m_f->app.path() + "/horavox.hlp"));
}

void TestMainWindow::agentSpeakCallsInOrder_data()
{
    QTest::addColumn<int>("balloon");
    QTest::addColumn<bool>("alarm");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("afterShow");
    const QStringList announce{"Play Explain", "Speak The time is, 9:00.", "Hide"};
    QTest::newRow("announce with balloon") << 0 << false << false << announce[1].mid(6) << announce;
    QTest::newRow("announce without balloon")
        << 1 << false << false << announce[1].mid(6) << announce;
    QTest::newRow("alarm stays on screen")
        << 1 << true << false << "Wake up"
        << QStringList{"Play Explain", "Speak Wake up", "Play Idle1_1"};
    QTest::newRow("busy caller drives it") << 0 << false << true << "" << QStringList();
    QTest::newRow("empty text") << 1 << false << false << "" << QStringList{"Play Explain", "Hide"};
}

void TestMainWindow::agentSpeakCallsInOrder()
{
    QFETCH(int, balloon);
    QFETCH(bool, alarm);
    QFETCH(bool, busy);
    QFETCH(QString, text);
    QFETCH(QStringList, afterShow);
    frmHoravox& window = start();
    window.mnuBalloonOpt_Click(balloon);
    window.bAgentBusy = busy;
    window.iActiveAlarm = alarm ? 3 : -1;

    window.AgentSpeak(text);

    // The character brings style bits 2 and 4; only bit 1 is the program's.
    const QStringList upToShow =
        QString("Unload CharacterID|Load CharacterID %1Olwen.acs|LanguageID 1033|Balloon.Style %2|"
                "AutoPopupMenu False|MoveTo 5 635|Show")
            .arg(m_f->charsFolder())
            .arg(balloon == 0 ? 7 : 6)
            .split('|');
    QCOMPARE(log(), upToShow + afterShow);
    QVERIFY(window.objCharacter);
    const bool hides = afterShow.endsWith("Hide");
    QCOMPARE(window.reqHide, hides ? m_f->agent.requests.last() : engine::AgentRequest());
}

void TestMainWindow::failureEndsTheAppearance_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("failingCall");
    QTest::newRow("missing file") << QString("Nobody") << QString("Load");
    QTest::newRow("speaking fails") << QString("Olwen") << QString("Speak");
}

void TestMainWindow::failureEndsTheAppearance()
{
    QFETCH(QString, name);
    QFETCH(QString, failingCall);
    frmHoravox& window = start();
    const QString path = m_f->charsFolder() + name + ".acs";
    const bool loadFails = failingCall == "Load";
    if (loadFails)
        m_f->agent.failingPaths.append(path);
    else
        m_f->agent.failingCall = failingCall;
    window.settings.sAgentName = name;

    window.AgentSpeak("The time is, 9:00.");

    QVERIFY(log().last().startsWith(failingCall));
    QVERIFY(!window.objCharacter);
    // Only a character that cannot be opened is worth a message, and never a box.
    QVERIFY(m_f->platform.messageBoxes.isEmpty());
    QCOMPARE(window.statusBar()->currentMessage(),
             loadFails
                 ? "Horavox: There was an error opening the Agent file \r\ncannot open " + path
                 : "");
    // The next call tries afresh.
    m_f->agent.failingPaths.clear();
    m_f->agent.failingCall.clear();
    window.AgentSpeak("The time is, 9:01.");
    QCOMPARE(log().last(), QString("Hide"));
    QVERIFY(window.objCharacter);
}

void TestMainWindow::clicksOnTheCharacter_data()
{
    QTest::addColumn<bool>("alarm");
    QTest::addColumn<bool>("twice");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("click on an alarm") << true << false << QStringList{"Speak Wake up"};
    QTest::newRow("click while announcing") << false << false << QStringList();
    QTest::newRow("double-click on an alarm") << true << true << QStringList{"Stop", "Hide"};
    QTest::newRow("double-click while announcing") << false << true << QStringList{"Stop", "Hide"};
}

void TestMainWindow::clicksOnTheCharacter()
{
    QFETCH(bool, alarm);
    QFETCH(bool, twice);
    QFETCH(QStringList, calls);
    frmHoravox& window = start();
    window.iActiveAlarm = alarm ? 0 : -1;
    window.sAlarmMessage = alarm ? "Wake up" : "";
    window.AgentSpeak(alarm ? "Wake up" : "The time is, 9:00.");
    window.imgAgents->hide();
    log().clear();

    if (twice)
        m_f->agent.doubleClickCharacter();
    else
        m_f->agent.clickCharacter();

    QCOMPARE(log(), calls);
    QCOMPARE(window.iActiveAlarm, alarm && !twice ? 0 : -1);
    QCOMPARE(window.sAlarmMessage.isEmpty(), !alarm || twice);
    if (twice) {
        QCOMPARE(window.reqHide, m_f->agent.requests.last());
        m_f->agent.complete(window.reqHide);
        QCOMPARE(log().last(), QString("Unload CharacterID"));
        QVERIFY(!window.objCharacter);
        QVERIFY(!window.imgAgents->isHidden());
    }
}

void TestMainWindow::onlyTheLatestHideReleasesTheCharacter()
{
    frmHoravox& window = start();
    window.AgentSpeak("The time is, 9:00.");
    // A second announcement in quick succession unloads the first character at once.
    window.AgentSpeak("The time is, 9:01.");
    log().clear();
    for (const engine::AgentRequest& request : m_f->agent.requests) {
        if (request != window.reqHide)
            m_f->agent.complete(request);
    }
    QVERIFY(log().isEmpty());
    QVERIFY(window.objCharacter);

    m_f->agent.complete(window.reqHide);
    QCOMPARE(log(), QStringList{"Unload CharacterID"});
    QVERIFY(!window.objCharacter);
}

void TestMainWindow::listsTheCharactersOfTheFolder_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("storedName");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("agentName");
    QTest::addColumn<QString>("defaultAgent");
    QTest::newRow("name kept in its own case")
        << QStringList{"Olwen.acs"} << "Olwen" << QStringList{"olwen"} << "Olwen"
        << "olwen";
    QTest::newRow("tock before pim") << QStringList{"pim.acs", "Tock.ACS", "notes.txt"} << "TOCK"
                                     << QStringList{"pim", "tock"} << "TOCK"
                                     << "tock";
    QTest::newRow("olwen preferred") << QStringList{"wren.acs", "olwen.acs", "tock.acs"} << "wren"
                                     << QStringList{"olwen", "tock", "wren"} << "wren"
                                     << "olwen";
    QTest::newRow("other characters only")
        << QStringList{"wren.acs", "finch.acs"} << "wren" << QStringList{"finch", "wren"} << "wren"
        << "";
    QTest::newRow("stored name gone")
        << QStringList{"pim.acs", "zak.acs"} << "Olwen" << QStringList{"pim", "zak"} << "pim"
        << "pim";
}

void TestMainWindow::listsTheCharactersOfTheFolder()
{
    QFETCH(QStringList, files);
    QFETCH(QString, storedName);
    QFETCH(QStringList, entries);
    QFETCH(QString, agentName);
    QFETCH(QString, defaultAgent);
    m_f->writeSettings(storedName, QString());

    const frmHoravox& window = start(files);

    QCOMPARE(texts(window.lstAgents), entries);
    const int current = int(entries.indexOf(agentName.toLower()));
    QCOMPARE(window.iAgentIndex, current);
    QCOMPARE(window.lstAgents->currentRow(), current);
    for (int i = 0; i < entries.size(); ++i) {
        QCOMPARE(window.mnuAgent[i]->text(), entries[i]);
        QCOMPARE(window.mnuAgent[i]->isChecked(), i == current);
    }
    QCOMPARE(window.mnuAgent.size(), entries.size());
    QCOMPARE(window.settings.sAgentName, agentName);
    QCOMPARE(window.sDefaultAgent, defaultAgent);
    // The character is opened by its file's own name, whatever the letter case of either.
    m_window->AgentSpeak("The time is, 9:00.");
    const QString loaded =
        log().filter("Load ").join('|').remove("Load CharacterID " + m_f->charsFolder());
    QVERIFY2(files.contains(loaded) && loaded.startsWith(agentName + '.', Qt::CaseInsensitive),
             qPrintable(loaded));
}

void TestMainWindow::searchesTheStoredFolderOrTheDefaultPlaces_data()
{
    // Files go under the windows folder: chars/ is the first place, other/ the second.
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("found");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("first default place") << QStringList{"chars/olwen.acs", "other/tock.acs"} << ""
                                         << "chars/" << QStringList{"olwen"};
    QTest::newRow("second default place") << QStringList{"other/tock.acs"} << ""
                                          << "other/" << QStringList{"tock"};
    QTest::newRow("subfolders not searched") << QStringList{"chars/sub/olwen.acs"} << ""
                                             << "" << QStringList();
    QTest::newRow("stored folder wins")
        << QStringList{"stored/pim.acs", "chars/olwen.acs"} << "stored/"
        << "stored/" << QStringList{"pim"};
    QTest::newRow("stored folder without files")
        << QStringList{"stored/sub/pim.acs", "chars/olwen.acs"} << "stored/"
        << "stored/" << QStringList();
}

void TestMainWindow::searchesTheStoredFolderOrTheDefaultPlaces()
{
    QFETCH(QStringList, files);
    QFETCH(QString, stored);
    QFETCH(QString, found);
    QFETCH(QStringList, entries);
    const QString root = m_f->windows.path() + '/';
    WindowFixture::putFiles(m_f->windows.path(), files);
    m_f->platform.otherFolder = root + "other/";
    m_f->writeSettings("Olwen", stored.isEmpty() ? QString() : root + stored);

    const frmHoravox& window = start({});

    QCOMPARE(window.settings.sAgentPath, found.isEmpty() ? QString() : root + found);
    QCOMPARE(texts(window.lstAgents), entries);
    // Without characters the folder search panel takes the place of the options.
    QCOMPARE(window.fraFindAgentPath && window.fraFindAgentPath->x() > 0, entries.isEmpty());
}

void TestMainWindow::menuListAndKeyboardChooseTheCharacter_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("index");
    QTest::newRow("menu") << "menu" << 2;
    QTest::newRow("menu, current entry") << "menu" << 0;
    QTest::newRow("list click") << "click" << 1;
    QTest::newRow("arrow key") << "key" << 1;
}

void TestMainWindow::menuListAndKeyboardChooseTheCharacter()
{
    QFETCH(QString, how);
    QFETCH(int, index);
    m_f->writeSettings("pim", QString());
    frmHoravox& window = start({"tock.acs", "pim.acs", "wren.acs"});
    window.show();
    QFile::remove(m_f->settingsPath());

    if (how == "menu") {
        window.mnuAgent[index]->trigger();
    } else if (how == "click") {
        const QRect row = window.lstAgents->visualItemRect(window.lstAgents->item(index));
        QTest::mouseClick(window.lstAgents->viewport(), Qt::LeftButton, {}, row.center());
    } else {
        QTest::keyClick(window.lstAgents, Qt::Key_Down);
    }

    QCOMPARE(window.iAgentIndex, index);
    QCOMPARE(window.lstAgents->currentRow(), index);
    for (int i = 0; i < window.mnuAgent.size(); ++i)
        QCOMPARE(window.mnuAgent[i]->isChecked(), i == index);
    QCOMPARE(window.settings.sAgentName, window.lstAgents->item(index)->text());
    QVERIFY(!QFile::exists(m_f->settingsPath()));
}

void TestMainWindow::announcesAtTheChosenMinutes_data()
{
    QTest::addColumn<int>("interval");
    QTest::addColumn<QList<int>>("minutes");
    QTest::newRow("hour") << 0 << QList<int>{0};
    QTest::newRow("half hour") << 1 << QList<int>{0, 30};
    QTest::newRow("15 minutes") << 2 << QList<int>{0, 15, 30, 45};
    QTest::newRow("10 minutes") << 3 << QList<int>{0, 10, 20, 30, 40, 50};
    QTest::newRow("5 minutes") << 4 << QList<int>{0, 5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55};
    QTest::newRow("never") << 6 << QList<int>{};
}

void TestMainWindow::announcesAtTheChosenMinutes()
{
    QFETCH(int, interval);
    QFETCH(QList<int>, minutes);
    start().mnuInterval_Click(interval);
    QCOMPARE(synchronise(at(22, 59, 57)), at(23, 0));
    QCOMPARE(m_window->tmrClock->interval(), 60000);

    // From 23:01 over midnight to 00:00: the hour rolls over into the next day.
    QList<int> announced;
    for (int minute = 1; minute <= 60; ++minute) {
        const QDateTime now = at(23, 0).addSecs(60 * minute);
        const QString spoken = tickAt(now);
        if (spoken.isEmpty())
            continue;
        announced.append(now.time().minute());
        QVERIFY(spoken.startsWith(now.time().minute() == 0 ? "The time is, 12:00"
                                                           : "The time is, 11:"));
        // The announcing character has hidden and been released.
        QVERIFY(!m_window->objCharacter);
    }
    std::sort(announced.begin(), announced.end());
    QCOMPARE(announced, minutes);
}

void TestMainWindow::synchronisesOnTheMinuteWithoutSpeaking()
{
    start().mnuInterval_Click(5);
    QDateTime now = at(10, 59, 30);
    for (; now.time().minute() == 59; now = now.addSecs(1)) {
        QCOMPARE(tickAt(now), QString());
        QCOMPARE(m_window->tmrClock->interval(), 1000);
    }
    QCOMPARE(tickAt(now), QString());
    QVERIFY(m_window->bSynchronized);
    QCOMPARE(m_window->tmrClock->interval(), 60000);
    QCOMPARE(tickAt(now.addSecs(60)), QString("The time is, 11:01."));

    // The machine slept: the first run after it says the time it is and aims at the next
    // minute; an early run finds its minute done, a late one says only the time it is.
    QCOMPARE(tickAt(at(11, 20, 30)), QString("The time is, 11:20."));
    QCOMPARE(m_window->tmrClock->interval(), 30000);
    QCOMPARE(tickAt(at(11, 20, 59)), QString());
    QCOMPARE(tickAt(at(11, 22, 1)), QString("The time is, 11:22."));
    QCOMPARE(m_window->tmrClock->interval(), 59000);
    // Set back: the time is still said, of the time it is.
    QCOMPARE(tickAt(at(11, 10)), QString("The time is, 11:10."));
}

void TestMainWindow::testButtonSpeaksWhateverTheInterval_data()
{
    QTest::addColumn<bool>("synchronised");
    QTest::newRow("synchronised") << true;
    QTest::newRow("before synchronisation") << false;
}

void TestMainWindow::testButtonSpeaksWhateverTheInterval()
{
    QFETCH(bool, synchronised);
    start().optInterval[6]->click();
    QDateTime now = at(14, 7, 20);
    if (synchronised)
        now = synchronise(now);
    QFile::remove(m_f->settingsPath());
    m_f->platform.clock = now;

    m_window->cmdTest->click();

    QCOMPARE(log().filter("Speak "),
             QStringList{now.time().minute() == 7 ? "Speak The time is, 2:07."
                                                  : "Speak The time is, 2:08."});
    QCOMPARE(m_window->bSynchronized, synchronised);
    QCOMPARE(m_window->tmrClock->interval(), synchronised ? 60000 : 1000);
    QCOMPARE(m_f->readFile(m_f->settingsPath()).split(',').value(4), QByteArray("6"));
    // Nothing more is said at the next tick.
    QCOMPARE(tickAt(now.addSecs(synchronised ? 60 : 1)), QString());
}

void TestMainWindow::dueMinuteTick_data()
{
    QTest::addColumn<bool>("busy");
    QTest::addColumn<QString>("alarm");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("busy") << true << "" << QStringList();
    // The alarm's character says the time and stays; once it is gone the alarm is over and the
    // clock's own character speaks.
    QTest::newRow("alarm character shown")
        << false << "Wake up" << QStringList{"Speak The time is, 12:00."};
    QTest::newRow("alarm character gone")
        << false << "gone" << QStringList{"Speak The time is, 12:00."};
}

void TestMainWindow::dueMinuteTick()
{
    QFETCH(bool, busy);
    QFETCH(QString, alarm);
    QFETCH(QStringList, calls);
    start().mnuInterval_Click(5);
    QCOMPARE(synchronise(at(11, 58, 59)), at(11, 59));
    if (!alarm.isEmpty()) {
        m_window->iActiveAlarm = 0;
        if (alarm != "gone")
            m_window->AgentSpeak(alarm);
    }
    m_window->bAgentBusy = busy;
    log().clear();

    tickAt(at(12, 0));

    QCOMPARE(log().filter("Speak "), calls);
    QCOMPARE(log().filter("Load ").size(), alarm == "gone" ? 1 : 0);
    QCOMPARE(m_window->iActiveAlarm, alarm == "Wake up" ? 0 : -1);
    QCOMPARE(m_window->windowTitle(), QString("Horavox - 12/5/2026, 12:00:00 PM"));
    QCOMPARE(bool(m_window->objCharacter), alarm == "Wake up");
}

void TestMainWindow::alarmsFireAndRepeatUntilDoubleClicked()
{
    m_f->writeFile(m_f->alarmsPath(), "\"07:30\",\"Daily\",\"Daily\",\"tock\",\"First\"\r\n"
                                      "\"07:30\",\"Daily\",\"Daily\",\"olwen\",\"Second\"\r\n"
                                      "\"07:31\",\"Weekly\",\"Sat\",\"olwen\",\"Third\"\r\n"
                                      "\"07:34\",\"xx\",\"Daily\",\"olwen\",\"Never\"\r\n");
    m_f->writeFile(m_f->settingsPath(), "\"Olwen\",0,1,2,5,#FALSE#,\"\"\r\n");
    start({"Olwen.acs", "tock.acs"});
    QCOMPARE(synchronise(at(7, 28, 58)), at(7, 29));
    log().clear();

    // Only the first of two alarms in one minute fires; its character stays.
    QCOMPARE(tickAt(at(7, 30)), QString("First"));
    QCOMPARE(log().filter("Load "),
             QStringList{"Load CharacterID " + m_f->charsFolder() + "tock.acs"});
    QCOMPARE(log().last(), QString("Play Idle1_1"));
    QCOMPARE(m_window->settings.sAgentName, QString("Olwen"));
    // A second alarm is said by the character on screen and is the one repeated from then on.
    log().clear();
    QCOMPARE(tickAt(at(7, 31)), QString("Third"));
    QCOMPARE(log(), QStringList{"Speak Third"});
    for (int minute : {32, 33, 34}) {
        log().clear();
        tickAt(at(7, minute));
        QCOMPARE(log(), QStringList({"Play Surprised", "Speak Third"}));
    }
    // The wall clock jumps six minutes: the minutes passed over repeat nothing, the minute it
    // is now repeats once, and so does Test pressed in it; its request waits.
    log().clear();
    QCOMPARE(tickAt(at(7, 40, 30)), QString("Third"));
    m_f->platform.clock = at(7, 40, 31);
    m_window->cmdTest->click();
    QCOMPARE(log(),
             QStringList({"Play Surprised", "Speak Third", "Play Surprised", "Speak Third"}));
    m_f->agent.doubleClickCharacter();
    m_f->agent.complete(m_window->reqHide);
    QVERIFY(!m_window->objCharacter);
    // Back to announcing, Test's request included; the alarm kind nobody knows never fired.
    QCOMPARE(tickAt(at(7, 42)), QString("The time is, 7:42."));
    QCOMPARE(m_window->tmrClock->interval(), 60000);
}

void TestMainWindow::firedAlarmsMoveOnOrGo_data()
{
    QTest::addColumn<QByteArray>("alarm");
    QTest::addColumn<QByteArray>("fileAfter");
    QTest::addColumn<bool>("alarmsOn");
    QTest::newRow("yearly moves 365 days on")
        << QByteArray("\"08:00\",\"Yearly\",\"12/5/2026\",\"olwen\",\"Birthday\"\r\n")
        << QByteArray("\"08:00\",\"Yearly\",\"12/5/2027\",\"olwen\",\"Birthday\"\r\n") << true;
    QTest::newRow("once is removed, alarms go off")
        << QByteArray("\"08:00\",\"Once\",\"12/5/2026\",\"olwen\",\"Dentist\"\r\n") << QByteArray()
        << false;
    // From another computer: the character is not here, the clock's own says the alarm.
    QTest::newRow("character not here")
        << QByteArray("\"08:00\",\"Daily\",\"Daily\",\"zak\",\"Stand up\"\r\n")
        << QByteArray("\"08:00\",\"Daily\",\"Daily\",\"zak\",\"Stand up\"\r\n") << true;
}

void TestMainWindow::firedAlarmsMoveOnOrGo()
{
    QFETCH(QByteArray, alarm);
    QFETCH(QByteArray, fileAfter);
    QFETCH(bool, alarmsOn);
    m_f->writeFile(m_f->alarmsPath(), alarm);
    m_f->writeFile(m_f->settingsPath(), "\"Olwen\",0,1,2,6,#FALSE#,\"\"\r\n");
    start();
    QCOMPARE(synchronise(at(7, 58, 59)), at(7, 59));

    QVERIFY(!tickAt(at(8, 0)).isEmpty());
    // No box stops the clock, and a character known not to be here is not even tried.
    QVERIFY(m_f->platform.messageBoxes.isEmpty() && log().filter("zak").isEmpty());

    QCOMPARE(m_f->readFile(m_f->alarmsPath()), fileAfter);
    QCOMPARE(QFile::exists(m_f->alarmsPath()), !fileAfter.isEmpty());
    QCOMPARE(m_window->alarmList.rowCount(), alarmsOn ? 2 : 1);
    QCOMPARE(m_window->bAlarmsOn, alarmsOn);
    // The repeat follows while alarms are on; switched off, nothing is repeated.
    log().clear();
    tickAt(at(8, 1));
    QCOMPARE(log(), alarmsOn ? QStringList({"Play Surprised", "Speak " + m_window->sAlarmMessage})
                             : QStringList());
}

void TestMainWindow::startUpReportsMissedAndUnreadAlarms()
{
    // Two one-time alarms of earlier days, then one record more than fit and one unreadable.
    m_f->platform.clock = at(9, 0);
    const QByteArray left =
        "\"07:00\",\"Once\",\"12/5/2026\",\"olwen\",\"Today\"\r\n" + alarmLines(72);
    const QByteArray aside =
        "\"00:00\",\"Daily\",\"Daily\",\"olwen\",\"Alarm 72\"\r\n\"bad\"line\r\n";
    m_f->writeFile(m_f->alarmsPath(), "\"07:00\",\"Once\",\"12/3/2026\",\"olwen\",\"One\"\r\n"
                                      "\"07:00\",\"Once\",\"12/4/2026\",\"olwen\",\"Two\"\r\n" +
                                          left + aside);
    frmHoravox& window = start();

    QCOMPARE(m_f->readFile(m_f->alarmsPath()), left);
    QCOMPARE(window.alarmList.rowCount(), 74);
    QCOMPARE(window.alarmList.index(0).data().toString(), "07:00\tOnce\t12/5\tolwen\tToday");
    const auto& boxes = m_f->platform.messageBoxes;
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(boxes[0].title + '|' + boxes[1].title, "Alarms Not Loaded|2 Missed Alarm(s)!");
    QCOMPARE(m_f->readFile(m_f->app.path() + "/Alarms not loaded.dat"), aside);
    QVERIFY(boxes[0].text.contains("Alarms not loaded.dat"));
}

void TestMainWindow::quietTimesKeepAnnouncementsNotAlarms_data()
{
    // The Quiet Times file at start-up and what the desktop reports until 23:01: d do not
    // disturb, f full screen, l locked. Spoken at 22:59, 23:00 (an alarm), 23:01 (another).
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("desktop");
    QTest::addColumn<QStringList>("spoken");
    const QStringList alarms{"", "Bedtime", "Lights out", "Lights out"};
    const QStringList talking = QStringList{"The time is, 10:59."} + alarms.mid(1);
    QTest::newRow("no file") << QByteArray() << "" << talking;
    QTest::newRow("24-hour voice") << QByteArray("TwentyFourHour=true") << ""
                                   << QStringList{"The time is, 22:59."} + alarms.mid(1);
    QTest::newRow("quiet hours") << QByteArray("Periods=\"20:00-23:59, 6:00-7:00\"") << ""
                                 << alarms;
    QTest::newRow("do not disturb") << QByteArray() << "d" << alarms;
    QTest::newRow("full screen") << QByteArray() << "f" << alarms;
    QTest::newRow("do not disturb ignored")
        << QByteArray("FollowDoNotDisturb=false") << "d" << talking;
    QTest::newRow("lock ignored") << QByteArray("QuietWhenFullScreenOrLocked=false") << "l"
                                  << talking;
    // The alarms wait for the unlock and then ring one a minute, oldest first.
    QTest::newRow("locked") << QByteArray() << "l" << QStringList{"", "", "Bedtime", "Lights out"};
}

void TestMainWindow::quietTimesKeepAnnouncementsNotAlarms()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, desktop);
    QFETCH(QStringList, spoken);
    m_f->writeFile(m_f->platform.quietTimesFile(), "[General]\n" + file + "\n");
    m_f->writeFile(m_f->alarmsPath(), "\"23:00\",\"Daily\",\"Daily\",\"olwen\",\"Bedtime\"\r\n"
                                      "\"23:01\",\"Daily\",\"Daily\",\"olwen\",\"Lights out\"\r\n");
    m_f->writeFile(m_f->settingsPath(), "\"Olwen\",0,1,2,5,#FALSE#,\"\"\r\n");
    start();
    QCOMPARE(synchronise(at(22, 57, 59)), at(22, 58));
    m_f->platform.doNotDisturb = desktop == "d";
    m_f->platform.fullScreen = desktop == "f";
    m_f->platform.locked = desktop == "l";
    QStringList heard;
    for (int minute = 59; minute <= 62; ++minute) {
        m_f->platform.locked = m_f->platform.locked && minute < 61;
        heard.append(tickAt(at(22, 0).addSecs(60 * minute)));
    }
    QCOMPARE(heard, spoken);
    QCOMPARE(m_window->windowTitle().endsWith(" PM"), !file.startsWith("TwentyFour"));
}

void TestMainWindow::quietTimesDialogKeepsItsOwnFile()
{
    frmHoravox& window = start();
    const QByteArray settings = m_f->readFile(m_f->settingsPath());
    const QList<QAction*> items = window.mnuOptions->actions();
    QVERIFY(items.value(items.size() - 2)->isSeparator());
    QCOMPARE(items.last(), window.mnuQuietTimes);
    window.mnuQuietTimes->trigger();
    window.quietDialog->txtPeriods->setText("22:00-24:00");
    QVERIFY(!window.quietDialog->buttons->button(QDialogButtonBox::Ok)->isEnabled());
    window.quietDialog->txtPeriods->setText("22:00-7:00");
    window.quietDialog->chkTwentyFourHour->click();
    window.quietDialog->buttons->button(QDialogButtonBox::Ok)->click();
    QVERIFY(m_f->readFile(m_f->platform.quietTimesFile()).contains("Periods=22:00-07:00"));
    tickAt(at(14, 5));
    QCOMPARE(window.windowTitle(), QString("Horavox - 12/5/2026, 14:05:00"));
    QCOMPARE(m_f->readFile(m_f->settingsPath()), settings);
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
