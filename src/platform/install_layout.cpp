#include "platform/install_layout.h"

#include <QDir>
#include <QFileInfo>

namespace hv::platform {

QString installedDataFolder(const QString& executableFolder)
{
    return QDir::cleanPath(executableFolder + QStringLiteral("/../share/horavox"));
}

bool isInstalledCopy(const QString& executableFolder)
{
    return QFileInfo(QDir::cleanPath(executableFolder)).fileName() == QStringLiteral("bin") &&
           QFileInfo(installedDataFolder(executableFolder)).isDir();
}

QString programDataFolder(const QString& executableFolder)
{
    return isInstalledCopy(executableFolder) ? installedDataFolder(executableFolder)
                                             : QDir::cleanPath(executableFolder);
}

QString chooseApplicationFolder(const QString& executableFolder, const QString& userDataFolder)
{
    if (isInstalledCopy(executableFolder) || !QFileInfo(executableFolder).isWritable())
        return userDataFolder;
    return QDir::cleanPath(executableFolder);
}

} // namespace hv::platform
