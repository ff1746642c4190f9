#include "agent/screen_position.h"

#include <cmath>

namespace hv::agent {

namespace {

constexpr int CHARACTER_SIZE = 128;
constexpr int MARGIN = 5;

// std::nearbyint rounds in the default mode, to nearest with halves to even.
int roundHalfEven(double value)
{
    return int(std::nearbyint(value));
}

} // namespace

QPoint agentPosition(int position, QRect workArea)
{
    const int left = workArea.x() + MARGIN;
    const int top = workArea.y() + MARGIN;
    // QRect's right() and bottom() are the last pixel inside, hence x + width.
    const int right = workArea.x() + workArea.width() - MARGIN - CHARACTER_SIZE;
    const int bottom = workArea.y() + workArea.height() - MARGIN - CHARACTER_SIZE;
    switch (position) {
    case 0:
        return {left, top};
    case 1:
        return {right, top};
    case 2:
        return {left, bottom};
    case 3:
        return {right, bottom};
    default:
        return {roundHalfEven(workArea.x() + (workArea.width() - CHARACTER_SIZE) / 2.0),
                roundHalfEven(workArea.y() + (workArea.height() - CHARACTER_SIZE) / 2.0)};
    }
}

} // namespace hv::agent
