#pragma once

#include <QPixmap>
#include <QSize>

// The editor's own pictures, drawn in code so that no binary art is kept in the sources.
namespace hv::editor {

// A green tick on a transparent ground, as wide as the box and centred in its height.
[[nodiscard]] QPixmap checkMarkPicture(QSize size);

} // namespace hv::editor
