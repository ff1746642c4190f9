#pragma once

namespace hv::shell {

// Layout values are twips; a pixel is 15 twips. Rounds to the nearest pixel.
constexpr int px(int twips)
{
    return (twips + 7) / 15;
}

} // namespace hv::shell
