#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeView>

#include "platform/platform.h"
#include "platform/twips.h"
#include "shell/main_window.h"

namespace hv::shell {

using platform::px;

namespace {

// Heights of the whole window in twips, of which 660 go to the caption, menu bar and borders.
constexpr int FULL_HEIGHT = 5130;
constexpr int PANEL_HEIGHT = 3450;
constexpr int FRAME_HEIGHT = 660;
constexpr int IN_VIEW = 45;
constexpr int OUT_OF_VIEW = -10000;

} // namespace

void frmHoravox::buildFolderSearchPanel()
{
    fraFindAgentPath = new QFrame(centralWidget());
    fraFindAgentPath->setGeometry(px(OUT_OF_VIEW), px(300), px(4965), px(2370));
    fraFindAgentPath->setFrameStyle(QFrame::Box | QFrame::Sunken);
    lblFindAgentPath = new QLabel(
        QStringLiteral("Please select the drive and folder where your Agent files are located:"),
        fraFindAgentPath);
    lblFindAgentPath->setWordWrap(true);
    lblFindAgentPath->setGeometry(px(120), px(60), px(4725), px(420));

    drvList = new QComboBox(fraFindAgentPath);
    drvList->setGeometry(px(120), px(540), px(3360), px(330));
    const QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    for (const QStorageInfo& volume : volumes) {
        if (volume.isValid() && volume.isReady())
            drvList->addItem(volume.rootPath());
    }
    if (drvList->findText(QDir::rootPath()) < 0)
        drvList->insertItem(0, QDir::rootPath());

    dirModel = new QFileSystemModel(this);
    dirModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    dirList = new QTreeView(fraFindAgentPath);
    dirList->setGeometry(px(120), px(930), px(3360), px(1380));
    dirList->setModel(dirModel);
    dirList->setHeaderHidden(true);
    for (int column = 1; column < dirModel->columnCount(); ++column)
        dirList->hideColumn(column);

    cmdOkAgentPath = new QPushButton(QStringLiteral("&OK"), fraFindAgentPath);
    cmdOkAgentPath->setGeometry(px(3600), px(930), px(1245), px(420));
    cmdCancelAgentPath = new QPushButton(QStringLiteral("&Cancel"), fraFindAgentPath);
    cmdCancelAgentPath->setGeometry(px(3600), px(1470), px(1245), px(420));

    connect(drvList, &QComboBox::textActivated, this, [this] { drvList_Change(); });
    connect(cmdOkAgentPath, &QPushButton::clicked, this, &frmHoravox::cmdOkAgentPath_Click);
    connect(cmdCancelAgentPath, &QPushButton::clicked, this, &frmHoravox::cmdCancelAgentPath_Click);
    fraFindAgentPath->show();
}

void frmHoravox::setWindowHeight(int twips)
{
    setFixedHeight(px(twips - FRAME_HEIGHT) + menuBar()->sizeHint().height());
}

QString frmHoravox::openFolder() const
{
    return dirModel->rootPath();
}

void frmHoravox::openFolderOf(const QString& path)
{
    const QString drive = QStorageInfo(path).rootPath();
    const int row = drvList->findText(drive);
    drvList->setCurrentIndex(row < 0 ? 0 : row);
    dirList->setRootIndex(dirModel->setRootPath(drvList->currentText()));
    const QModelIndex folder = dirModel->index(path);
    dirList->setCurrentIndex(folder);
    dirList->scrollTo(folder);
}

void frmHoravox::ShowFindAgentPath()
{
    // Built the first time it is needed: most starts find the characters, and the folder list
    // would watch the file system for nothing.
    if (!fraFindAgentPath)
        buildFolderSearchPanel();
    if (!dirList->rootIndex().isValid()) {
        const QString stored = m_clock.settings().sAgentPath;
        const QString start = QFileInfo(stored).isDir() ? stored : QDir::homePath();
        openFolderOf(QDir::cleanPath(start));
    }
    fraMain->move(px(OUT_OF_VIEW), fraMain->y());
    fraFindAgentPath->move(px(IN_VIEW), fraFindAgentPath->y());
    setWindowHeight(PANEL_HEIGHT);
}

void frmHoravox::drvList_Change()
{
    const QString drive = drvList->currentText();
    if (!QFileInfo(drive).isReadable()) {
        // Back to the drive of the folder still shown; no message.
        const int row = drvList->findText(QStorageInfo(openFolder()).rootPath());
        drvList->setCurrentIndex(row < 0 ? 0 : row);
        return;
    }
    dirList->setRootIndex(dirModel->setRootPath(drive));
    dirList->setCurrentIndex(QModelIndex());
}

void frmHoravox::cmdOkAgentPath_Click()
{
    // A highlighted folder wins over the open one: it is opened, so that after "search
    // again" the user goes on from the folder that was tried.
    const QModelIndex highlighted = dirList->currentIndex();
    if (highlighted.isValid() && dirModel->filePath(highlighted) != openFolder()) {
        dirList->setRootIndex(dirModel->setRootPath(dirModel->filePath(highlighted)));
        dirList->setCurrentIndex(QModelIndex());
    }
    m_clock.setAgentPath(openFolder());

    if (FindAgentFiles()) {
        fraMain->move(px(IN_VIEW), fraMain->y());
        fraFindAgentPath->move(px(OUT_OF_VIEW), fraFindAgentPath->y());
        setWindowHeight(FULL_HEIGHT);
        return;
    }
    const platform::MessageResult answer = m_platform.messageBox(
        this,
        QStringLiteral("No Agent Files Found at this Location!\r\nWould you like to search again?"),
        QStringLiteral("Find the Agent Files?"), platform::MessageIcon::Critical,
        platform::MessageButtons::YesNo);
    if (answer == platform::MessageResult::No) {
        m_platform.endProgram();
        return;
    }
    ShowFindAgentPath();
}

void frmHoravox::cmdCancelAgentPath_Click()
{
    const platform::MessageResult answer = m_platform.messageBox(
        this,
        QStringLiteral("Horavox cannot run without knowing\r\nwhere the Agent files are located. "
                       "Would you like\r\nto look for the Agent files?"),
        QStringLiteral("Search again for the Agent Files?"), platform::MessageIcon::Critical,
        platform::MessageButtons::YesNo);
    if (answer == platform::MessageResult::No) {
        m_platform.endProgram();
        return;
    }
    ShowFindAgentPath();
}

} // namespace hv::shell
