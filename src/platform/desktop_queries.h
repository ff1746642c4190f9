#pragma once

// The desktop's own answers to "is the user busy?", asked of the session's D-Bus services and
// of the X server. Each answers false when nothing on this desktop can tell, so that a desktop
// without these services keeps the clock talking.
namespace hv::platform {

// The notification service's Inhibited property (do not disturb), or GNOME's banners off.
[[nodiscard]] bool desktopNotificationsInhibited();
// The window the window manager calls active is in the full-screen state.
[[nodiscard]] bool desktopActiveWindowFullScreen();
// The session's screen saver or its lock says the screen is locked.
[[nodiscard]] bool desktopScreenLocked();

} // namespace hv::platform
