#pragma once

namespace hv::platform {

// Window layouts and window positions are given in twips; a pixel is 15 twips. The one
// conversion: to the nearest pixel (a fifteenth is never exactly a half), also left of or
// above the primary screen, where positions are negative.
inline constexpr int TWIPS_PER_PIXEL = 15;

constexpr int px(int twips)
{
    const int shifted = twips + TWIPS_PER_PIXEL / 2;
    return shifted >= 0 ? shifted / TWIPS_PER_PIXEL
                        : -((-shifted + TWIPS_PER_PIXEL - 1) / TWIPS_PER_PIXEL);
}

} // namespace hv::platform
