#pragma once

namespace hv::shell {

// Makes the classic 8-point dialog face, for which every window's layout was drawn, the
// application's default font. Call once, after the application object is made.
void useDialogFont();

} // namespace hv::shell
