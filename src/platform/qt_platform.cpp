#include "platform/qt_platform.h"

#include <cstdio>
#include <cstdlib>

#include <QAudioDevice>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
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

QSize QtPlatform::screenSize() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize(1024, 768);
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

void QtPlatform::openHelp(const QString& helpFile)
{
    // A missing file is the viewer's to report; the program carries on either way.
    QDesktopServices::openUrl(QUrl::fromLocalFile(helpFile));
}

void QtPlatform::endProgram()
{
    // At once: no close handling, no saving, no destructors that might write.
    std::fflush(nullptr);
    std::_Exit(0);
}

} // namespace hv::platform
