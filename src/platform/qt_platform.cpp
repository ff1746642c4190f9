#include "platform/qt_platform.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <QAudioDevice>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QMediaDevices>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>
#include <QUrl>

#include "platform/desktop_queries.h"
#include "platform/install_layout.h"

namespace hv::platform {

namespace {

// Room a window manager's title bar takes beside the title: its icon and three buttons.
constexpr int TITLE_BUTTONS_WIDTH = 110;

QString userDataFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return QDir::cleanPath(folder);
}

// The folder whose chars/ holds the characters. A copy run from its own folder has them beside
// it; an installed copy gives each user a chars/ folder of their own, which the user can write,
// with the bundled characters linked into it.
QString findCharacterRoot(const QString& executableFolder)
{
    if (!isInstalledCopy(executableFolder))
        return QDir::cleanPath(executableFolder);
    const QString user = userDataFolder();
    offerBundledCharacters(installedDataFolder(executableFolder) + QStringLiteral("/chars"),
                           user + QStringLiteral("/chars"),
                           user + QStringLiteral("/Bundled characters.txt"));
    return user;
}

} // namespace

QtPlatform::QtPlatform()
{
    const QString executableFolder = QDir::cleanPath(QCoreApplication::applicationDirPath());
    m_applicationFolder = chooseApplicationFolder(
        executableFolder, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    QDir().mkpath(m_applicationFolder);
    m_dataFolder = programDataFolder(executableFolder);
    m_windowsFolder = findCharacterRoot(executableFolder);
    // Tried when the first place has no characters: the installed ones themselves when the
    // user's folder could not be made, the user's own folder for a copy run from its folder.
    m_otherCharacterFolder =
        (isInstalledCopy(executableFolder)
             ? installedDataFolder(executableFolder)
             : QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)) +
        QStringLiteral("/chars/");
}

QDateTime QtPlatform::now() const
{
    return QDateTime::currentDateTime();
}

QString QtPlatform::applicationFolder() const
{
    return m_applicationFolder;
}

QString QtPlatform::windowsFolder() const
{
    return m_windowsFolder;
}

QString QtPlatform::userGuideFile() const
{
    return m_dataFolder + QStringLiteral("/horavox.html");
}

QString QtPlatform::otherCharacterFolder() const
{
    return m_otherCharacterFolder;
}

QRect QtPlatform::workArea() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

int QtPlatform::audioOutputCount() const
{
    return int(QMediaDevices::audioOutputs().size());
}

QString QtPlatform::quietTimesFile() const
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Horavox/Quiet Times.ini");
}

bool QtPlatform::notificationsInhibited() const
{
    return desktopNotificationsInhibited();
}

bool QtPlatform::activeWindowFullScreen() const
{
    return desktopActiveWindowFullScreen();
}

bool QtPlatform::screenLocked() const
{
    return desktopScreenLocked();
}

MessageResult QtPlatform::messageBox(QWidget* parent, const QString& text, const QString& title,
                                     MessageIcon icon, MessageButtons buttons)
{
    QMessageBox box(parent);
    box.setText(text);
    box.setWindowTitle(title);
    switch (icon) {
    case MessageIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MessageIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MessageIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    }
    box.setStandardButtons(buttons == MessageButtons::YesNo ? QMessageBox::Yes | QMessageBox::No
                                                            : QMessageBox::Ok);
    // The window manager draws the title in its own bolder, larger face beside its buttons: a
    // box as narrow as a short text would cut it ("Exiting Horavox!"), so it is made wider.
    QFont titleFont = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    titleFont.setBold(true);
    titleFont.setPixelSize(std::max(titleFont.pixelSize(), 14));
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(
            new QSpacerItem(QFontMetrics(titleFont).horizontalAdvance(title) + TITLE_BUTTONS_WIDTH,
                            0, QSizePolicy::Minimum, QSizePolicy::Fixed),
            grid->rowCount(), 0, 1, grid->columnCount());
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MessageResult::Yes;
    case QMessageBox::No:
        return MessageResult::No;
    default:
        return MessageResult::Ok;
    }
}

void QtPlatform::openAddress(const QString& address)
{
    QDesktopServices::openUrl(QUrl(address));
}

bool QtPlatform::openHelp(const QString& helpFile)
{
    // A missing file is the viewer's to report; a missing viewer (no xdg-open) is ours.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(helpFile));
}

void QtPlatform::endProgram()
{
    // At once: no close handling, no saving, no destructors that might write.
    std::fflush(nullptr);
    std::_Exit(0);
}

} // namespace hv::platform
