#pragma once

#include <QString>
#include <QStringList>

namespace hv::agent {

// The names of the character files directly in a folder (not its subfolders), sorted without
// regard to case. The extension ".acs" matches in any letter case.
[[nodiscard]] QStringList characterFileNames(const QString& folder);

// The path of an existing file that differs from `path` only in the letter case of its name,
// or `path` itself when there is none. Names chosen from the list are lower case while the
// file may not be.
[[nodiscard]] QString resolveCharacterFile(const QString& path);

// The built-in character that presents the program: olwen, tock or pim, the first of them that
// is among names (lower case); empty when none is.
[[nodiscard]] QString pickDefaultAgent(const QStringList& names);

} // namespace hv::agent
