#pragma once

#include <QPoint>
#include <QRect>

namespace hv::agent {

// Where the character stands for a position setting (0 top left, 1 top right, 2 bottom left,
// 3 bottom right, 4 centre) inside the desktop's work area (the screen without its panels), in
// pixels. A character is 128 x 128 pixels; the corners leave it the same 5-pixel margin on each
// side, and the centre puts its middle on the area's. Halves round to even.
[[nodiscard]] QPoint agentPosition(int position, QRect workArea);

} // namespace hv::agent
