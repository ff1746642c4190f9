#include <memory>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "alarms/alarm_table.h"
#include "fake_platform.h"
#include "recording_agent.h"
#include "shell/main_window.h"

using hv::shell::frmHoravox;
using hv::testing::FakePlatform;
using hv::testing::RecordingAgent;

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList folderListing(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files);
}

} // namespace

class TestMainWindow final : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void firstRunShowsTheWindowAndWritesTheFoundFolder();
    void laterRunStartsHiddenWithTheStoredOptions();
    void storedAlarmsOnIsKeptWithoutAnAlarmFile();
    void loadsAlarmRowsAboveTheLastRow();
    void optionGroupsStayInStep_data();
    void optionGroupsStayInStep();
    void positionsFollowTheScreen();
    void alarmsCannotBeSwitchedOnWithoutAlarms();
    void closeMinimizeAndExitWriteBothFiles_data();
    void closeMinimizeAndExitWriteBothFiles();
    void exitHidesTheCharacterAndEnds();
    void noSoundDeviceEndsAtOnceWritingNothing();
    void showToggleFollowsTheWindow();
    void helpOpensTheHelpFile();

private:
    std::unique_ptr<frmHoravox> start();
    QString appPath() const { return m_app->path(); }
    QString settingsPath() const { return appPath() + "/Settings.ini"; }
    QString alarmsPath() const { return appPath() + "/Alarms.dat"; }
    QString charsPath() const { return m_windows->path() + "/msagent/chars/"; }

    std::unique_ptr<QTemporaryDir> m_app;
    std::unique_ptr<QTemporaryDir> m_windows;
    std::unique_ptr<FakePlatform> m_platform;
    std::unique_ptr<RecordingAgent> m_agent;
};

void TestMainWindow::init()
{
    m_app = std::make_unique<QTemporaryDir>();
    m_windows = std::make_unique<QTemporaryDir>();
    QDir().mkpath(charsPath());
    writeFile(charsPath() + "Peedy.acs", "character");
    m_platform = std::make_unique<FakePlatform>(appPath(), m_windows->path());
    m_agent = std::make_unique<RecordingAgent>();
}

std::unique_ptr<frmHoravox> TestMainWindow::start()
{
    return std::make_unique<frmHoravox>(*m_platform, *m_agent);
}

void TestMainWindow::firstRunShowsTheWindowAndWritesTheFoundFolder()
{
    auto window = start();
    QVERIFY(window->isWindowShown());
    QVERIFY(!window->mnuShow->isChecked());
    QCOMPARE(window->iAgentX, 5);
    QCOMPARE(window->iAgentY, 768 - 153);
    QVERIFY(window->mnuInterval[1]->isChecked());
    QVERIFY(window->optPos[2]->isChecked());
    QCOMPARE(readFile(settingsPath()),
             QByteArray("\"Peedy\",1,1,2,1,#FALSE#,\"" + charsPath().toUtf8() + "\"\r\n"));
    QCOMPARE(window->lstAgents->currentItem()->text(), QStringLiteral("peedy"));
    QCOMPARE(window->sAgentName, QStringLiteral("Peedy"));
    QVERIFY(window->tmrClock->isActive());
    QCOMPARE(window->tmrClock->interval(), 1000);
}

void TestMainWindow::laterRunStartsHiddenWithTheStoredOptions()
{
    writeFile(settingsPath(), "\"peedy\",1,0,4,5,#TRUE#,\"" + charsPath().toUtf8() + "\"\r\n");
    auto window = start();
    QVERIFY(!window->isWindowShown());
    QVERIFY(window->optBalloon[0]->isChecked() && window->mnuBalloonOpt[0]->isChecked());
    QVERIFY(window->optInterval[5]->isChecked() && window->mnuInterval[5]->isChecked());
    QCOMPARE(QPoint(window->iAgentX, window->iAgentY), QPoint(432, 320));
    // The reserved field survives the save that the character search makes.
    QCOMPARE(readFile(settingsPath()),
             QByteArray("\"peedy\",1,0,4,5,#TRUE#,\"" + charsPath().toUtf8() + "\"\r\n"));
}

void TestMainWindow::storedAlarmsOnIsKeptWithoutAnAlarmFile()
{
    writeFile(settingsPath(), "\"Peedy\",0,1,2,1,#FALSE#,\"\"\r\n");
    auto window = start();
    QCOMPARE(window->alarmTable.iAlarmCount, 0);
    QVERIFY(window->bAlarmsOn);
    QVERIFY(window->mnuAlarmsOpt[0]->isChecked() && window->optAlarmsOpt[0]->isChecked());
}

void TestMainWindow::loadsAlarmRowsAboveTheLastRow()
{
    writeFile(alarmsPath(), "\"07:30\",\"Daily\",\"Daily\",\"peedy\",\"Wake up\"\r\n"
                            "\"12:00\",\"Weekly\",\"Fri\",\"peedy\",\"Lunch\"\r\n"
                            "\"18:00\",\"Yearly\",\"12/24/2026\",\"peedy\",\"Eve\"\r\n");
    auto window = start();
    QCOMPARE(window->alarmTable.iAlarmCount, 3);
    QCOMPARE(window->lstAlarms->count(), 4);
    QCOMPARE(window->lstAlarms->item(2)->text(),
             QStringLiteral("18:00\tYearly\t12/24\tpeedy\tEve"));
    QCOMPARE(window->lstAlarms->item(3)->text(),
             QStringLiteral("-- Click on this line to add a new Alarm --"));
}

void TestMainWindow::optionGroupsStayInStep_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("fromMenu");
    for (bool fromMenu : {true, false}) {
        const char* side = fromMenu ? "menu" : "button";
        QTest::addRow("interval 4 from %s", side) << "interval" << 4 << fromMenu;
        QTest::addRow("interval 6 from %s", side) << "interval" << 6 << fromMenu;
        QTest::addRow("position 0 from %s", side) << "position" << 0 << fromMenu;
        QTest::addRow("position 3 from %s", side) << "position" << 3 << fromMenu;
        QTest::addRow("balloon 0 from %s", side) << "balloon" << 0 << fromMenu;
        QTest::addRow("alarms 1 from %s", side) << "alarms" << 1 << fromMenu;
    }
}

void TestMainWindow::optionGroupsStayInStep()
{
    QFETCH(QString, group);
    QFETCH(int, index);
    QFETCH(bool, fromMenu);
    auto window = start();

    QList<QAction*> items;
    QList<QRadioButton*> buttons;
    const qint16* field = nullptr;
    if (group == "interval") {
        items = {window->mnuInterval.begin(), window->mnuInterval.end()};
        buttons = {window->optInterval.begin(), window->optInterval.end()};
        field = &window->iInterval;
    } else if (group == "position") {
        items = {window->mnuPos.begin(), window->mnuPos.end()};
        buttons = {window->optPos.begin(), window->optPos.end()};
        field = &window->iPosition;
    } else if (group == "balloon") {
        items = {window->mnuBalloonOpt.begin(), window->mnuBalloonOpt.end()};
        buttons = {window->optBalloon.begin(), window->optBalloon.end()};
        field = &window->iBalloonOption;
    } else {
        items = {window->mnuAlarmsOpt.begin(), window->mnuAlarmsOpt.end()};
        buttons = {window->optAlarmsOpt.begin(), window->optAlarmsOpt.end()};
        field = &window->iAlarmsOption;
    }

    if (fromMenu)
        items[index]->trigger();
    else
        QTest::mouseClick(buttons[index], Qt::LeftButton, {},
                          QPoint(4, buttons[index]->height() / 2));

    QCOMPARE(*field, index);
    for (int i = 0; i < items.size(); ++i) {
        QCOMPARE(items[i]->isChecked(), i == index);
        QCOMPARE(buttons[i]->isChecked(), i == index);
    }
    // Options reach the file only with the next save.
    QCOMPARE(readFile(settingsPath()).split(',').value(4), QByteArray("1"));
}

void TestMainWindow::positionsFollowTheScreen()
{
    m_platform->screen = QSize(1024, 768);
    auto window = start();
    window->mnuPos[4]->trigger();
    QCOMPARE(QPoint(window->iAgentX, window->iAgentY), QPoint(432, 320));
    window->mnuPos[3]->trigger();
    QCOMPARE(QPoint(window->iAgentX, window->iAgentY), QPoint(864, 615));
    m_platform->screen = QSize(1920, 1080);
    window->mnuPos[1]->trigger();
    QCOMPARE(QPoint(window->iAgentX, window->iAgentY), QPoint(1760, 5));
}

void TestMainWindow::alarmsCannotBeSwitchedOnWithoutAlarms()
{
    auto window = start();
    window->mnuAlarmsOpt[0]->trigger();
    QVERIFY(window->mnuAlarmsOpt[1]->isChecked() && !window->mnuAlarmsOpt[0]->isChecked());
    QVERIFY(window->optAlarmsOpt[1]->isChecked());
    QCOMPARE(window->iAlarmsOption, 1);
    QVERIFY(!window->bAlarmsOn);

    window->alarmTable.iAlarmCount = 1;
    window->optAlarmsOpt[0]->click();
    QVERIFY(window->bAlarmsOn);
    QVERIFY(window->mnuAlarmsOpt[0]->isChecked());
}

void TestMainWindow::closeMinimizeAndExitWriteBothFiles_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("close box") << "close";
    QTest::newRow("Minimize") << "minimize";
    QTest::newRow("Exit menu") << "exit";
    QTest::newRow("Exit button") << "exitButton";
}

void TestMainWindow::closeMinimizeAndExitWriteBothFiles()
{
    QFETCH(QString, how);
    writeFile(alarmsPath(), "\"07:30\",\"Daily\",\"Daily\",\"peedy\",\"Wake up\"\r\n");
    auto window = start();
    QFile::remove(settingsPath());
    QFile::remove(alarmsPath());
    window->mnuInterval[4]->trigger();

    if (how == "close")
        window->close();
    else if (how == "minimize")
        window->cmdClose->click();
    else if (how == "exit")
        window->mnuExit->trigger();
    else
        window->cmdExit->click();

    QCOMPARE(readFile(settingsPath()).split(',').value(4), QByteArray("4"));
    QCOMPARE(readFile(alarmsPath()),
             QByteArray("\"07:30\",\"Daily\",\"Daily\",\"peedy\",\"Wake up\"\r\n"));
    if (how.startsWith("exit")) {
        QVERIFY(window->bExiting);
        // The close is posted: it is handled once the handler has returned.
        QTRY_VERIFY(!window->isVisible());
    } else {
        QVERIFY(!window->isWindowShown());
        QVERIFY(!window->mnuShow->isChecked());
        QVERIFY(!window->bExiting);
    }
}

void TestMainWindow::exitHidesTheCharacterAndEnds()
{
    auto window = start();
    window->AgentSpeak(QStringLiteral("The time is, 9:00."));
    QVERIFY(window->objCharacter);
    m_agent->log.clear();
    window->mnuExit->trigger();
    QCOMPARE(m_agent->log, QStringList{"Hide"});
    QVERIFY(!window->objCharacter);

    // With no character loaded Exit still ends, after writing the files.
    auto second = start();
    QFile::remove(settingsPath());
    second->mnuExit->trigger();
    QVERIFY(QFile::exists(settingsPath()));
    QTRY_VERIFY(!second->isVisible());
}

void TestMainWindow::noSoundDeviceEndsAtOnceWritingNothing()
{
    auto window = start();
    const QStringList before = folderListing(appPath());
    const QByteArray settingsBefore = readFile(settingsPath());
    m_platform->audioOutputs = 0;

    window->Form_Activate();

    QCOMPARE(m_platform->messageBoxes.size(), 1);
    const FakePlatform::MessageBox& box = m_platform->messageBoxes.first();
    QCOMPARE(box.text, QStringLiteral("No Sound Card Found!"));
    QCOMPARE(box.title, QStringLiteral("Exiting Horavox!"));
    QCOMPARE(box.icon, hv::platform::MessageIcon::Critical);
    QCOMPARE(box.buttons, hv::platform::MessageButtons::Ok);
    QCOMPARE(m_platform->endRequests, 1);
    QCOMPARE(folderListing(appPath()), before);
    QCOMPARE(readFile(settingsPath()), settingsBefore);

    m_platform->audioOutputs = 1;
    window->Form_Activate();
    QCOMPARE(m_platform->messageBoxes.size(), 1);
}

void TestMainWindow::showToggleFollowsTheWindow()
{
    writeFile(settingsPath(), "\"Peedy\",1,1,2,1,#FALSE#,\"\"\r\n");
    auto window = start();
    QVERIFY(!window->isWindowShown());
    window->mnuShow->trigger();
    QVERIFY(window->isWindowShown());
    QVERIFY(window->mnuShow->isChecked());
    window->mnuShow->trigger();
    QVERIFY(!window->isWindowShown());
    QVERIFY(!window->mnuShow->isChecked());
}

void TestMainWindow::helpOpensTheHelpFile()
{
    auto window = start();
    window->mnuContents->trigger();
    QCOMPARE(m_platform->helpRequests, QStringList{appPath() + "/horavox.hlp"});
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
