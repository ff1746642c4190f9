#!/usr/bin/python3
"""A window that asks the window manager for the full-screen state from the start, as a
presentation, a game or a film does. Prints its id once mapped and stays until killed."""
from Xlib import X, Xatom, display

d = display.Display()
screen = d.screen()
window = screen.root.create_window(
    0, 0, 640, 480, 0, screen.root_depth, X.InputOutput, X.CopyFromParent,
    background_pixel=screen.black_pixel, event_mask=X.StructureNotifyMask)
window.set_wm_name("Full screen")
window.change_property(d.intern_atom("_NET_WM_STATE"), Xatom.ATOM, 32,
                       [d.intern_atom("_NET_WM_STATE_FULLSCREEN")])
window.map()
while d.next_event().type != X.MapNotify:
    pass
print(hex(window.id), flush=True)
while True:
    d.next_event()
