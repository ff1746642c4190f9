#include "shell/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFont>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSessionManager>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTimer>

#include "alarms/alarm_file.h"
#include "editor/alarm_wizard.h"
#include "pictures/pictures.h"
#include "platform/platform.h"
#include "platform/twips.h"
#include "shell/alarm_row_delegate.h"

namespace hv::shell {

using platform::px;

namespace {

void place(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(px(left), px(top), px(width), px(height));
}

QRadioButton* optionButton(QWidget* parent, const QString& caption, int left, int top, int width)
{
    auto* button = new QRadioButton(caption, parent);
    place(button, left, top, width, 255);
    return button;
}

QAction* checkItem(QMenu* menu, const QString& caption)
{
    QAction* item = menu->addAction(caption);
    item->setCheckable(true);
    return item;
}

// The items of one option: exactly one of them is checked at any time.
template <std::size_t N>
void optionItems(std::array<QAction*, N>& items, QMenu* menu, const QStringList& captions)
{
    auto* group = new QActionGroup(menu);
    for (std::size_t i = 0; i < N; ++i)
        items[i] = group->addAction(checkItem(menu, captions[int(i)]));
}

} // namespace

frmHoravox::frmHoravox(platform::Platform& platform, engine::AgentControl& agent, QWidget* parent)
    : QMainWindow(parent), Agent1(agent), m_platform(platform), m_desktop(platform),
      m_clock(m_desktop, agent, platform.applicationFolder(), platform.quietTimesFile())
{
    setWindowTitle(QStringLiteral("Horavox"));
    setWindowIcon(pictures::windowIconPicture());
    buildMenus();
    buildLayout();
    buildTrayIcon();
    connectControls();
    watchActivationSource();
    Form_Load();
}

frmHoravox::~frmHoravox()
{
    // The editor is a window of its own; it must not outlive the window it reports back to.
    if (alarmWizard) {
        alarmWizard->disconnect(this);
        delete alarmWizard;
    }
}

void frmHoravox::buildLayout()
{
    auto* client = new QWidget(this);
    setCentralWidget(client);
    // The client area is 7425 x 4470 twips under the menu bar.
    setFixedSize(px(7425), px(4470) + menuBar()->sizeHint().height());

    Label1 = new QLabel(QStringLiteral("The Horavox version 2.01"), client);
    place(Label1, 0, 0, 7440, 300);
    // Arial 12 point bold; pixels, like the layout, so that the title keeps to its box
    // whatever the screen's dots per inch.
    QFont title(QStringLiteral("Arial"));
    title.setPixelSize(16);
    title.setBold(true);
    Label1->setFont(title);

    fraMain = new QFrame(client);
    place(fraMain, 45, 345, 5070, 2415);
    fraMain->setFrameStyle(QFrame::Box | QFrame::Sunken);

    Frame1[0] = new QGroupBox(QStringLiteral("Say Time every"), fraMain);
    place(Frame1[0], 0, 0, 1410, 2415);
    const QStringList intervalCaptions{QStringLiteral("Hou&r"),       QStringLiteral("Hal&f Hour"),
                                       QStringLiteral("&15 Minutes"), QStringLiteral("1&0 Minutes"),
                                       QStringLiteral("&5 Minutes"),  QStringLiteral("1 &Minute"),
                                       QStringLiteral("&Never")};
    const int intervalTops[] = {270, 555, 840, 1125, 1410, 1695, 1995};
    // Option buttons that share a frame are exclusive; the frames make the groups.
    for (int i = 0; i < 7; ++i)
        optInterval[i] = optionButton(Frame1[0], intervalCaptions[i], 135, intervalTops[i], 1215);

    Frame1[1] = new QGroupBox(QStringLiteral("Time Agent"), fraMain);
    place(Frame1[1], 1380, 0, 1710, 2415);
    lstAgents = new QListWidget(Frame1[1]);
    place(lstAgents, 120, 240, 1485, 2085);

    Frame1[2] = new QGroupBox(QStringLiteral("Position"), fraMain);
    place(Frame1[2], 3060, 0, 1080, 1005);
    imgScreen = new QLabel(Frame1[2]);
    place(imgScreen, 75, 195, 945, 750);
    imgScreen->setPixmap(pictures::screenPicture(imgScreen->size()));
    // Corners and centre of the picture, with the button's own size taken off.
    const int posLefts[] = {75, 795, 75, 795, 435};
    const int posTops[] = {195, 195, 690, 690, 450};
    for (int i = 0; i < 5; ++i)
        optPos[i] = optionButton(Frame1[2], QString(), posLefts[i], posTops[i], 225);

    Frame1[3] = new QGroupBox(QStringLiteral("Balloon"), fraMain);
    place(Frame1[3], 3060, 1005, 1080, 825);
    optBalloon[0] = optionButton(Frame1[3], QStringLiteral("Yes"), 120, 240, 855);
    optBalloon[1] = optionButton(Frame1[3], QStringLiteral("No"), 120, 510, 855);

    Frame1[4] = new QGroupBox(QStringLiteral("Alarms"), fraMain);
    place(Frame1[4], 4110, 0, 945, 825);
    optAlarmsOpt[0] = optionButton(Frame1[4], QStringLiteral("On"), 120, 225, 765);
    optAlarmsOpt[1] = optionButton(Frame1[4], QStringLiteral("Off"), 120, 510, 765);

    QFont buttonFont = font();
    buttonFont.setBold(true);
    cmdTest = new QPushButton(QStringLiteral("&Test"), fraMain);
    place(cmdTest, 3135, 1875, 1005, 540);
    cmdClose = new QPushButton(QStringLiteral("&Minimize"), fraMain);
    place(cmdClose, 4185, 870, 870, 765);
    cmdExit = new QPushButton(QStringLiteral("E&xit"), fraMain);
    place(cmdExit, 4185, 1680, 870, 735);
    for (QPushButton* button : {cmdTest, cmdClose, cmdExit})
        button->setFont(buttonFont);

    imgAgents = new QLabel(client);
    place(imgAgents, 5145, 450, 2265, 2280);
    imgAgents->setPixmap(pictures::agentsPicture());
    imgAgents->setAlignment(Qt::AlignCenter);

    lblAlarmHeader[0] = new QLabel(
        QStringLiteral("  Time   |    When   |    Day    |   Agent   |    Message to Speak"),
        client);
    place(lblAlarmHeader[0], 45, 2805, 4470, 210);
    lblAlarmHeader[1] =
        new QLabel(QStringLiteral("<right-click alarm to test, edit or delete it>"), client);
    place(lblAlarmHeader[1], 4515, 2805, 2880, 210);
    lblAlarmHeader[0]->setAutoFillBackground(true);
    QPalette colours = lblAlarmHeader[0]->palette();
    colours.setColor(QPalette::Window, QColor(0xFF, 0xFF, 0xE1));
    colours.setColor(QPalette::WindowText, Qt::blue);
    lblAlarmHeader[0]->setPalette(colours);

    lstAlarms = new QListView(client);
    place(lstAlarms, 30, 3000, 7380, 1425);
    lstAlarms->setModel(&m_clock.alarmList());
    lstAlarms->setItemDelegate(new AlarmRowDelegate(*lblAlarmHeader[0], lstAlarms));
}

void frmHoravox::buildMenus()
{
    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuShow = checkItem(mnuFile, QStringLiteral("&Show"));
    mnuFile->addSeparator();
    mnuExit = mnuFile->addAction(QStringLiteral("E&xit"));

    mnuOptions = menuBar()->addMenu(QStringLiteral("&Options"));
    mnuChooseAgent = mnuOptions->addMenu(QStringLiteral("&Agents"));
    auto* agentGroup = new QActionGroup(mnuChooseAgent);
    mnuAgent.append(agentGroup->addAction(checkItem(mnuChooseAgent, QStringLiteral("None"))));
    mnuScrnPos = mnuOptions->addMenu(QStringLiteral("Screen &Position"));
    optionItems(mnuPos, mnuScrnPos,
                {QStringLiteral("Top &Left Corner"), QStringLiteral("Top &Right Corner"),
                 QStringLiteral("&Bottom Left Corner"), QStringLiteral("Bottom Right &Corner"),
                 QStringLiteral("Center &Screen")});
    mnuBalloons = mnuOptions->addMenu(QStringLiteral("&Balloons"));
    optionItems(mnuBalloonOpt, mnuBalloons, {QStringLiteral("&Yes"), QStringLiteral("&No")});
    mnuAlarms = mnuOptions->addMenu(QStringLiteral("Alarms"));
    optionItems(mnuAlarmsOpt, mnuAlarms, {QStringLiteral("&On"), QStringLiteral("O&ff")});
    mnuOptions->addSeparator();
    optionItems(mnuInterval, mnuOptions,
                {QStringLiteral("On the &Hour"), QStringLiteral("On the Ha&lf Hour"),
                 QStringLiteral("Every &15 Minutes"), QStringLiteral("Every 1&0 Minutes"),
                 QStringLiteral("Every &5 Minutes"), QStringLiteral("Every &Minute"),
                 QStringLiteral("&Never")});
    mnuOptions->addSeparator();
    mnuQuietTimes = mnuOptions->addAction(QStringLiteral("&Quiet Times..."));

    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuContents = mnuHelp->addAction(QStringLiteral("&Contents"));
    mnuAbout = mnuHelp->addMenu(QStringLiteral("&About"));
    mnuAboutAnimation = mnuAbout->addAction(QStringLiteral("Animation"));
    mnuAboutDialog = mnuAbout->addAction(QStringLiteral("Dialog Box"));
    connect(mnuAboutAnimation, &QAction::triggered, this, &frmHoravox::mnuAboutAnimation_Click);
    connect(mnuAboutDialog, &QAction::triggered, this, &frmHoravox::mnuAboutDialog_Click);

    // The alarm list's pop-up; never in the menu bar.
    mnuAlarmOptions = new QMenu(QStringLiteral("Options"), this);
    mnuAlarmAdd = mnuAlarmOptions->addAction(QStringLiteral("Add New"));
    mnuAlarmEdit = mnuAlarmOptions->addAction(QStringLiteral("Edit"));
    mnuAlarmDelete = mnuAlarmOptions->addAction(QStringLiteral("Delete"));
    mnuAlarmTest = mnuAlarmOptions->addAction(QStringLiteral("Test"));
    mnuAlarmOptions->addSeparator();
    mnuCancel4 = mnuAlarmOptions->addAction(QStringLiteral("Cancel"));
}

void frmHoravox::buildTrayIcon()
{
    cSysTray1 = new QSystemTrayIcon(pictures::trayIconPicture(), this);
    cSysTray1->setToolTip(QStringLiteral("Horavox"));
}

void frmHoravox::connectControls()
{
    for (int i = 0; i < 7; ++i) {
        connect(mnuInterval[i], &QAction::triggered, this, [this, i] { mnuInterval_Click(i); });
        connect(optInterval[i], &QRadioButton::clicked, this, [this, i] { mnuInterval_Click(i); });
    }
    for (int i = 0; i < 5; ++i) {
        connect(mnuPos[i], &QAction::triggered, this, [this, i] { mnuPos_Click(i); });
        connect(optPos[i], &QRadioButton::clicked, this, [this, i] { mnuPos_Click(i); });
    }
    for (int i = 0; i < 2; ++i) {
        connect(mnuBalloonOpt[i], &QAction::triggered, this, [this, i] { mnuBalloonOpt_Click(i); });
        connect(optBalloon[i], &QRadioButton::clicked, this, [this, i] { mnuBalloonOpt_Click(i); });
        connect(mnuAlarmsOpt[i], &QAction::triggered, this, [this, i] { mnuAlarmsOpt_Click(i); });
        connect(optAlarmsOpt[i], &QRadioButton::clicked, this,
                [this, i] { mnuAlarmsOpt_Click(i); });
    }
    connect(mnuAgent[0], &QAction::triggered, this, [this] { mnuAgent_Click(0); });
    // Any change of the current row, by the mouse or the keyboard, chooses the character.
    connect(lstAgents, &QListWidget::currentRowChanged, this, [this] { lstAgents_Click(); });
    connect(cmdTest, &QPushButton::clicked, this, &frmHoravox::cmdTest_Click);
    // The desktop session is ending: the session manager asks for everything to be saved.
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager&) { saveEverything(); });
    connect(cmdClose, &QPushButton::clicked, this, &frmHoravox::cmdClose_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmHoravox::mnuExit_Click);
    connect(mnuExit, &QAction::triggered, this, &frmHoravox::mnuExit_Click);
    connect(mnuShow, &QAction::triggered, this, &frmHoravox::mnuShow_Click);
    connect(mnuContents, &QAction::triggered, this, &frmHoravox::mnuContents_Click);
    connect(mnuQuietTimes, &QAction::triggered, this, &frmHoravox::mnuQuietTimes_Click);
    connect(cSysTray1, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    cSysTray1_MouseDown(1);
                else if (reason == QSystemTrayIcon::Context)
                    cSysTray1_MouseDown(2);
            });
    connect(mnuAlarmAdd, &QAction::triggered, this, &frmHoravox::mnuAlarmAdd_Click);
    connect(mnuAlarmEdit, &QAction::triggered, this, &frmHoravox::mnuAlarmEdit_Click);
    connect(mnuAlarmDelete, &QAction::triggered, this, &frmHoravox::mnuAlarmDelete_Click);
    connect(mnuAlarmTest, &QAction::triggered, this, &frmHoravox::mnuAlarmTest_Click);
    // A right press is taken before the list acts on it; any other press is handled once the
    // list has selected the row under the pointer.
    lstAlarms->viewport()->installEventFilter(this);
    connect(lstAlarms, &QListView::pressed, this, [this] { lstAlarms_MouseDown(1, 0, 0, 0); });
    connect(&m_clock.tmrClock(), &QTimer::timeout, this, &frmHoravox::tmrClock_Timer);
    connect(&Agent1, &engine::AgentControl::Click, this, &frmHoravox::Agent1_Click);
    connect(&Agent1, &engine::AgentControl::DblClick, this, &frmHoravox::Agent1_DblClick);
    connect(&Agent1, &engine::AgentControl::RequestComplete, this,
            &frmHoravox::Agent1_RequestComplete);
    connect(&m_clock, &core::TalkingClock::captionChanged, this, &QWidget::setWindowTitle);
    connect(&m_clock, &core::TalkingClock::tell, this, &frmHoravox::tell);
    connect(&m_clock, &core::TalkingClock::noticeOver, this, [this](const QString& title) {
        // The status line would otherwise go on saying so after the file is saved.
        if (statusBar()->currentMessage().startsWith(title))
            statusBar()->clearMessage();
    });
    // The presenter stands where the picture was.
    connect(&m_clock, &core::TalkingClock::characterStageChanged, this,
            [this](core::CharacterStage stage) {
                imgAgents->setVisible(stage != core::CharacterStage::Presenting);
            });
    connect(&m_clock, &core::TalkingClock::alarmsOptionChanged, this,
            &frmHoravox::showAlarmsOption);
}

void frmHoravox::tmrClock_Timer()
{
    m_clock.tmrClock_Timer();
}

void frmHoravox::Agent1_Click()
{
    m_clock.Agent1_Click();
}

void frmHoravox::Agent1_DblClick()
{
    m_clock.Agent1_DblClick();
}

void frmHoravox::Agent1_RequestComplete(const engine::AgentRequest& request)
{
    m_clock.Agent1_RequestComplete(request);
}

void frmHoravox::tell(const QString& title, const QString& text, core::Telling how)
{
    if (how == core::Telling::Notice)
        tellUser(title, text);
    else
        m_platform.messageBox(this, text, title, platform::MessageIcon::Exclamation,
                              platform::MessageButtons::Ok);
}

QDateTime frmHoravox::PlatformDesktop::now() const
{
    return m_platform.now();
}

QRect frmHoravox::PlatformDesktop::workArea() const
{
    return m_platform.workArea();
}

bool frmHoravox::PlatformDesktop::notificationsInhibited() const
{
    return m_platform.notificationsInhibited();
}

bool frmHoravox::PlatformDesktop::activeWindowFullScreen() const
{
    return m_platform.activeWindowFullScreen();
}

bool frmHoravox::PlatformDesktop::screenLocked() const
{
    return m_platform.screenLocked();
}

} // namespace hv::shell
