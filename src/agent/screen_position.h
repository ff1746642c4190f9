#pragma once

#include <QPoint>
#include <QSize>

namespace hv::agent {

// Where the character stands for a position setting (0 top left, 1 top right, 2 bottom left,
// 3 bottom right, 4 centre) on a screen of the given size in pixels. The corners keep
// 160 x 153 pixels free for the character; the centre assumes 160 x 128. Halves round to even.
[[nodiscard]] QPoint agentPosition(int position, QSize screen);

} // namespace hv::agent
