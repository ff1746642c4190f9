#pragma once

#include <QIcon>
#include <QPixmap>

// The program's own pictures, drawn in code so that no binary art is kept in the sources.
namespace hv::pictures {

[[nodiscard]] QIcon windowIconPicture();
[[nodiscard]] QIcon trayIconPicture();
// The program's mark, square, at any size: also the desktop's icon files.
[[nodiscard]] QPixmap markPicture(int size);
// A small screen with a desk behind the position buttons.
[[nodiscard]] QPixmap screenPicture(QSize size);
// The 151 x 152 picture beside the options panel.
[[nodiscard]] QPixmap agentsPicture();

} // namespace hv::pictures
