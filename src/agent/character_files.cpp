#include "agent/character_files.h"

#include <QDir>
#include <QFileInfo>

namespace hv::agent {

QStringList characterFileNames(const QString& folder)
{
    if (folder.isEmpty())
        return {};
    QDir dir(folder);
    dir.setNameFilters({QStringLiteral("*.acs")});
    dir.setFilter(QDir::Files);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    return dir.entryList();
}

QString resolveCharacterFile(const QString& path)
{
    const QFileInfo wanted(path);
    if (wanted.isFile())
        return path;
    const QDir dir = wanted.dir();
    const QStringList names = dir.entryList(QDir::Files);
    for (const QString& name : names) {
        if (name.compare(wanted.fileName(), Qt::CaseInsensitive) == 0)
            return dir.filePath(name);
    }
    return path;
}

QString pickDefaultAgent(const QStringList& names)
{
    for (const char* builtIn : {"olwen", "tock", "pim"}) {
        if (names.contains(QLatin1String(builtIn)))
            return QString::fromLatin1(builtIn);
    }
    return {};
}

} // namespace hv::agent
