#!/usr/bin/python3
"""A desktop panel along the bottom of the screen: a dock window that reserves its height with
a strut, as a task bar does. Usage: dock_panel.py HEIGHT. Prints "ready" once it is mapped."""
import sys
from Xlib import X, Xatom, Xutil, display

height = int(sys.argv[1])
d = display.Display()
screen = d.screen()
width, bottom = screen.width_in_pixels, screen.height_in_pixels
panel = screen.root.create_window(0, bottom - height, width, height, 0, screen.root_depth,
                                  background_pixel=screen.black_pixel)
panel.change_property(d.intern_atom("_NET_WM_WINDOW_TYPE"), Xatom.ATOM, 32,
                      [d.intern_atom("_NET_WM_WINDOW_TYPE_DOCK")])
panel.change_property(d.intern_atom("_NET_WM_STRUT"), Xatom.CARDINAL, 32, [0, 0, 0, height])
panel.change_property(d.intern_atom("_NET_WM_STRUT_PARTIAL"), Xatom.CARDINAL, 32,
                      [0, 0, 0, height, 0, 0, 0, 0, 0, 0, 0, width - 1])
# Asked for outright: without it a window manager may place the panel where it sees fit.
panel.set_wm_normal_hints(flags=Xutil.USPosition | Xutil.PPosition, x=0, y=bottom - height)
panel.set_wm_name("panel")
panel.map()
d.sync()
print("ready", flush=True)
while True:
    d.next_event()
