#pragma once

namespace hv::platform {

// Window layouts are given in twips; a pixel is 15 twips. Rounds to the nearest pixel.
inline constexpr int TWIPS_PER_PIXEL = 15;

constexpr int px(int twips)
{
    return (twips + TWIPS_PER_PIXEL / 2) / TWIPS_PER_PIXEL;
}

} // namespace hv::platform
