#pragma once

namespace hv::platform {

// Window layouts are given in twips; a pixel is 15 twips. Rounds to the nearest pixel.
constexpr int px(int twips)
{
    return (twips + 7) / 15;
}

} // namespace hv::platform
