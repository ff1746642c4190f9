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
using hv::testing::alarmLines;
using hv::testing::readFile;
using hv::testing::WindowFixture;
using hv::testing::writeFile;

namespace {

const QDate DAY(2026, 12, 5);

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
    void optionGroupsStayInStep_data();
    void optionGroupsStayInStep();
    void closeMinimizeAndExitWriteBothFiles_data();
    void closeMinimizeAndExitWriteBothFiles();
    void everyTextFitsItsWidget_data();
    void everyTextFitsItsWidget();
    void noSoundDeviceEndsAtOnceOnComingBackFromTheProgram_data();
    void noSoundDeviceEndsAtOnceOnComingBackFromTheProgram();
    void showToggleAndHelp();
    void showsWhatTheClockReports();

    void listsTheCharactersOfTheFolder_data();
    void listsTheCharactersOfTheFolder();
    void searchesTheStoredFolderOrTheDefaultPlaces_data();
    void searchesTheStoredFolderOrTheDefaultPlaces();
    void menuListAndKeyboardChooseTheCharacter_data();
    void menuListAndKeyboardChooseTheCharacter();

    void quietTimesDialogKeepsItsOwnFile();

private:
    frmHoravox& start(const QStringList& characters = {"Olwen.acs"});
    QStringList& log() { return m_f->agent.log; }

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
        writeFile(m_f->settingsPath(), settings.replace("CHARS", chars));

    frmHoravox& window = start();

    QCOMPARE(window.isWindowShown(), shown);
    QVERIFY(!window.mnuShow->isChecked());
    QCOMPARE(window.clock().agentPosition(), position);
    QCOMPARE(readFile(m_f->settingsPath()), written.replace("CHARS", chars));
    QCOMPARE(window.optInterval[window.clock().settings().iInterval]->isChecked(), true);
    QCOMPARE(window.mnuBalloonOpt[window.clock().settings().iBalloonOption]->isChecked(), true);
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
    writeFile(m_f->alarmsPath(), alarmLines(2));
    frmHoravox& window = start();
    window.show();
    const int rowHeight =
        window.lstAlarms->visualRect(window.clock().alarmList().index(0)).height();

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
    writeFile(m_f->alarmsPath(), alarmLines(alarms));
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
    writeFile(m_f->alarmsPath(), alarmLines(alarms));
    writeFile(m_f->settingsPath(), "\"Olwen\",0,1,2,1,#FALSE#,\"\"\r\n");
    frmHoravox& window = start();
    const int left = file.count('\n');

    window.selectAlarmRow(row);
    window.mnuAlarmDelete->trigger();

    QCOMPARE(readFile(m_f->alarmsPath()), file);
    QCOMPARE(QFile::exists(m_f->alarmsPath()), left > 0);
    QCOMPARE(window.clock().alarmList().rowCount(), left + 1);
    QCOMPARE(window.clock().bAlarmsOn(), left > 0);
    QCOMPARE(window.optAlarmsOpt[1]->isChecked(), left == 0);
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
    writeFile(m_f->settingsPath(), "\"Olwen\",0,1,2,1,#FALSE#,\"\"\r\n");
    frmHoravox& w = start();
    QVERIFY(w.clock().bAlarmsOn());
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

    const QList<qint16> fields{w.clock().settings().iInterval, w.clock().settings().iPosition,
                               w.clock().settings().iBalloonOption,
                               w.clock().settings().iAlarmsOption};
    QCOMPARE(fields[group], chosen);
    for (int i = 0; i < menus[group].size(); ++i) {
        QCOMPARE(menus[group][i]->isChecked(), i == chosen);
        QCOMPARE(panel[group][i]->isChecked(), i == chosen);
    }
    // Options reach the file only with the next save.
    QCOMPARE(readFile(m_f->settingsPath()).split(',').value(4), QByteArray("1"));
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
    writeFile(m_f->alarmsPath(), alarm);
    frmHoravox& window = start();
    window.mnuInterval[4]->trigger();
    window.cmdTest->click(); // a character on screen for Exit to send away
    QFile::remove(m_f->settingsPath());
    QFile::remove(m_f->alarmsPath());
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

    QCOMPARE(readFile(m_f->settingsPath()).split(',').value(4), QByteArray("4"));
    QCOMPARE(readFile(m_f->alarmsPath()), alarm);
    if (how == "exit") {
        // Exit hides the character; the close is posted, handled once the handler returned.
        QCOMPARE(log(), QStringList{"Hide"});
        QVERIFY(!window.clock().objCharacter());
        QTRY_VERIFY(!window.isVisible());
    } else if (how != "session") {
        QVERIFY(!window.isWindowShown() && !window.mnuShow->isChecked());
    }
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
        main.mnuAlarmAdd->trigger();
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
    const QByteArray settings = readFile(m_f->settingsPath());
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
    QCOMPARE(readFile(m_f->settingsPath()), settings);
}

void TestMainWindow::showToggleAndHelp()
{
    writeFile(m_f->settingsPath(), "\"Olwen\",1,1,2,1,#FALSE#,\"\"\r\n");
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

void TestMainWindow::listsTheCharactersOfTheFolder_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("storedName");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("agentName");
    QTest::newRow("name kept in its own case") << QStringList{"pim.acs", "Tock.ACS", "notes.txt"}
                                               << "TOCK" << QStringList{"pim", "tock"} << "TOCK";
    QTest::newRow("stored name gone")
        << QStringList{"wren.acs", "zak.acs"} << "Olwen" << QStringList{"wren", "zak"} << "wren";
}

void TestMainWindow::listsTheCharactersOfTheFolder()
{
    QFETCH(QStringList, files);
    QFETCH(QString, storedName);
    QFETCH(QStringList, entries);
    QFETCH(QString, agentName);
    m_f->writeSettings(storedName, QString());

    frmHoravox& window = start(files);

    QCOMPARE(texts(window.lstAgents), entries);
    const int current = int(entries.indexOf(agentName.toLower()));
    QCOMPARE(window.lstAgents->currentRow(), current);
    for (int i = 0; i < entries.size(); ++i) {
        QCOMPARE(window.mnuAgent[i]->text(), entries[i]);
        QCOMPARE(window.mnuAgent[i]->isChecked(), i == current);
    }
    QCOMPARE(window.mnuAgent.size(), entries.size());
    QCOMPARE(window.clock().settings().sAgentName, agentName);
    // The character is opened by its file's own name, whatever the letter case of either.
    window.cmdTest->click();
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

    QCOMPARE(window.clock().settings().sAgentPath, found.isEmpty() ? QString() : root + found);
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

    QCOMPARE(window.lstAgents->currentRow(), index);
    QCOMPARE(window.lstAgents->currentRow(), index);
    for (int i = 0; i < window.mnuAgent.size(); ++i)
        QCOMPARE(window.mnuAgent[i]->isChecked(), i == index);
    QCOMPARE(window.clock().settings().sAgentName, window.lstAgents->item(index)->text());
    QVERIFY(!QFile::exists(m_f->settingsPath()));
}

void TestMainWindow::quietTimesDialogKeepsItsOwnFile()
{
    frmHoravox& window = start();
    const QByteArray settings = readFile(m_f->settingsPath());
    const QList<QAction*> items = window.mnuOptions->actions();
    QVERIFY(items.value(items.size() - 2)->isSeparator());
    QCOMPARE(items.last(), window.mnuQuietTimes);
    window.mnuQuietTimes->trigger();
    window.quietDialog->txtPeriods->setText("22:00-24:00");
    QVERIFY(!window.quietDialog->buttons->button(QDialogButtonBox::Ok)->isEnabled());
    window.quietDialog->txtPeriods->setText("22:00-7:00");
    window.quietDialog->chkTwentyFourHour->click();
    window.quietDialog->buttons->button(QDialogButtonBox::Ok)->click();
    QVERIFY(readFile(m_f->platform.quietTimesFile()).contains("Periods=22:00-07:00"));
    m_f->platform.clock = QDateTime(DAY, QTime(14, 5));
    window.tmrClock_Timer();
    QCOMPARE(window.windowTitle(), QString("Horavox - 12/5/2026, 14:05:00"));
    QCOMPARE(readFile(m_f->settingsPath()), settings);
}

void TestMainWindow::showsWhatTheClockReports()
{
    // A missed alarm at start-up is a box; while the clock runs, reports are notices in the
    // status line where there is no notification area.
    m_f->platform.clock = QDateTime(DAY, QTime(9, 0));
    writeFile(m_f->alarmsPath(), "\"07:00\",\"Once\",\"12/4/2026\",\"olwen\",\"Two\"\r\n"
                                 "\"07:30\",\"Daily\",\"Daily\",\"tock\",\"Wake up\"\r\n");
    frmHoravox& window = start({"Olwen.acs", "tock.acs"});
    QCOMPARE(m_f->platform.messageBoxes.value(0).title, "1 Missed Alarm(s)!");
    QFile::remove(m_f->settingsPath());

    // Test says the time at once and keeps the settings.
    window.cmdTest->click();
    QCOMPARE(log().filter("Speak "), QStringList{"Speak The time is, 9:00."});
    QVERIFY(QFile::exists(m_f->settingsPath()));
    QCOMPARE(window.windowTitle(), "Horavox - 12/5/2026, 09:00:00 AM");
    // The alarm's test: the selected alarm, by its own character.
    window.selectAlarmRow(0);
    window.mnuAlarmTest->trigger();
    QCOMPARE(log().filter("Load ").last(), "Load CharacterID " + m_f->charsFolder() + "tock.acs");
    QCOMPARE(log().filter("Speak ").last(), "Speak Wake up");

    m_f->agent.failingPaths.append(m_f->charsFolder() + "Olwen.acs");
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("loading: cannot open"));
    window.cmdTest->click();
    QVERIFY(window.statusBar()->currentMessage().startsWith(
        "Horavox: There was an error opening the Agent file \r\ncannot open "));
    // A failed save is told until a save works.
    QVERIFY(QFile::remove(m_f->settingsPath()) && QDir().mkdir(m_f->settingsPath()));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("could not save"));
    window.cmdClose->click();
    QVERIFY(window.statusBar()->currentMessage().startsWith("Settings Not Saved: "));
    QVERIFY(QDir().rmdir(m_f->settingsPath()));
    window.cmdClose->click();
    QCOMPARE(window.statusBar()->currentMessage(), QString());
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
