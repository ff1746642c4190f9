#include "agent/screen_position.h"

#include <cmath>

namespace hv::agent {

namespace {

// std::nearbyint rounds in the default mode, to nearest with halves to even.
int roundHalfEven(double value)
{
    return int(std::nearbyint(value));
}

} // namespace

QPoint agentPosition(int position, QSize screen)
{
    const double w = screen.width();
    const double h = screen.height();
    switch (position) {
    case 0:
        return {5, 5};
    case 1:
        return {roundHalfEven(w - 160), 5};
    case 2:
        return {5, roundHalfEven(h - 153)};
    case 3:
        return {roundHalfEven(w - 160), roundHalfEven(h - 153)};
    default:
        return {roundHalfEven(w / 2 - 80), roundHalfEven(h / 2 - 64)};
    }
}

} // namespace hv::agent
