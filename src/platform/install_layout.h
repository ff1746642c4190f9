#pragma once

#include <QString>

// Where an installed copy and a copy run from its own folder keep their files.
namespace hv::platform {

// The program's read-only data (characters, user guide) of an installed copy, the executable
// lying in <prefix>/bin: <prefix>/share/horavox.
[[nodiscard]] QString installedDataFolder(const QString& executableFolder);

// True when the executable lies in <prefix>/bin beside an existing <prefix>/share/horavox, as
// an installation (package or cmake --install) lays it out. A build or unpacked folder has no
// share/horavox above it.
[[nodiscard]] bool isInstalledCopy(const QString& executableFolder);

// The folder of the program's read-only data: the installed data folder of an installed copy,
// the executable's own folder otherwise.
[[nodiscard]] QString programDataFolder(const QString& executableFolder);

// Where Settings.ini and Alarms.dat live: beside the executable for a copy run from its own,
// writable folder; the per-user data folder for an installed copy (even when root could write
// into its bin folder) and wherever the executable's folder cannot be written.
[[nodiscard]] QString chooseApplicationFolder(const QString& executableFolder,
                                              const QString& userDataFolder);

// Makes the user's own character folder and links into it every bundled character not offered
// before, so that a package upgrade's new characters reach existing users while a character the
// user removed stays removed. The names offered are kept in offeredList, one a line. Returns
// false when the folder cannot be made.
bool offerBundledCharacters(const QString& bundledFolder, const QString& userFolder,
                            const QString& offeredList);

} // namespace hv::platform
