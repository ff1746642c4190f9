#include "platform/install_layout.h"

#include <QDir>
#include <QFile>
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

bool offerBundledCharacters(const QString& bundledFolder, const QString& userFolder,
                            const QString& offeredList)
{
    if (!QDir().mkpath(userFolder))
        return false;
    QFile list(offeredList);
    QStringList offered;
    if (list.open(QIODevice::ReadOnly | QIODevice::Text))
        offered = QString::fromUtf8(list.readAll()).split('\n', Qt::SkipEmptyParts);
    list.close();
    const QStringList bundled =
        QDir(bundledFolder).entryList({QStringLiteral("*.acs")}, QDir::Files, QDir::Name);
    QStringList added;
    for (const QString& name : bundled) {
        if (offered.contains(name))
            continue;
        const QString link = QDir(userFolder).filePath(name);
        // A file of the user's own under that name stays. The link is relative, so that it
        // holds inside a chroot or a container as well.
        if (!QFileInfo(link).isSymLink() && !QFileInfo::exists(link))
            QFile::link(QDir(userFolder).relativeFilePath(QDir(bundledFolder).filePath(name)),
                        link);
        added += name;
    }
    if (!added.isEmpty() && list.open(QIODevice::Append | QIODevice::Text))
        list.write((added.join('\n') + '\n').toUtf8());
    return true;
}

} // namespace hv::platform
