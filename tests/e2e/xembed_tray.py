#!/usr/bin/python3
"""A minimal XEmbed notification area: owns _NET_SYSTEM_TRAY_S<screen>, announces itself and
prints "ready", then the window of every dock request, one a line."""
from Xlib import X, display
from Xlib.protocol import event

REQUEST_DOCK = 0

d = display.Display()
screen = d.screen()
selection = d.intern_atom("_NET_SYSTEM_TRAY_S%d" % d.get_default_screen())
opcode = d.intern_atom("_NET_SYSTEM_TRAY_OPCODE")
tray = screen.root.create_window(0, 0, 1, 1, 0, screen.root_depth)
tray.set_selection_owner(selection, X.CurrentTime)
announce = event.ClientMessage(window=screen.root, client_type=d.intern_atom("MANAGER"),
                               data=(32, [X.CurrentTime, selection, tray.id, 0, 0]))
screen.root.send_event(announce, event_mask=X.StructureNotifyMask)
d.flush()
print("ready", flush=True)
while True:
    e = d.next_event()
    if e.type == X.ClientMessage and e.client_type == opcode and e.data[1][1] == REQUEST_DOCK:
        print("0x%x" % e.data[1][2], flush=True)
