#!/usr/bin/python3
"""A desktop's notification service and screen saver on the test's own session bus, as KDE
Plasma and others run them. What they report is read from STATE_FILE at each question: the
word "inhibited" turns do-not-disturb on, "locked" the lock. Prints "ready", then each
question asked."""
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NOTIFICATIONS = "org.freedesktop.Notifications"
SCREEN_SAVER = "org.freedesktop.ScreenSaver"


def state():
    try:
        with open(sys.argv[1]) as f:
            return f.read().split()
    except OSError:
        return []


class Notifications(dbus.service.Object):
    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        if interface != NOTIFICATIONS or name != "Inhibited":
            raise dbus.exceptions.DBusException(
                name, name="org.freedesktop.DBus.Error.UnknownProperty")
        print("Inhibited?", flush=True)
        return dbus.Boolean("inhibited" in state())

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {"Inhibited": dbus.Boolean("inhibited" in state())}

    @dbus.service.method(NOTIFICATIONS, out_signature="ssss")
    def GetServerInformation(self):
        return ("e2e", "Horavox tests", "1", "1.2")


class ScreenSaver(dbus.service.Object):
    @dbus.service.method(SCREEN_SAVER, out_signature="b")
    def GetActive(self):
        print("Locked?", flush=True)
        return "locked" in state()


DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
names = [dbus.service.BusName(NOTIFICATIONS, bus), dbus.service.BusName(SCREEN_SAVER, bus)]
services = [Notifications(bus, "/org/freedesktop/Notifications"),
            ScreenSaver(bus, "/org/freedesktop/ScreenSaver")]
print("ready", flush=True)
GLib.MainLoop().run()
