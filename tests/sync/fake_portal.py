#!/usr/bin/python3
# A desktop portal with the GlobalShortcuts interface, as a desktop's portal
# answers: each request answers through its Request object's Response signal.
#   fake_portal.py BUS_ADDRESS approve|deny|absent
# approve: the user accepts the key; deny: the user cancels the dialog
# (response 1); absent: a portal without the interface (its version
# property is unknown). Prints "ready" once it owns its name. The test
# presses the key through org.vellacor.test.FakePortal.Press and reads what
# was bound through Bound().
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

PORTAL = "org.freedesktop.portal.Desktop"
PATH = "/org/freedesktop/portal/desktop"
SHORTCUTS = "org.freedesktop.portal.GlobalShortcuts"
REQUEST = "org.freedesktop.portal.Request"
SESSION = "org.freedesktop.portal.Session"
TEST = "org.vellacor.test.FakePortal"


class Request(dbus.service.Object):
    @dbus.service.signal(REQUEST, signature="ua{sv}")
    def Response(self, response, results):
        pass


class Session(dbus.service.Object):
    def __init__(self, bus, path, portal):
        super().__init__(bus, path)
        self.portal = portal

    @dbus.service.method(SESSION, in_signature="", out_signature="")
    def Close(self):
        self.portal.closed = True


class Portal(dbus.service.Object):
    def __init__(self, bus, mode):
        super().__init__(bus, PATH)
        self.bus, self.mode = bus, mode
        self.session, self.bound, self.closed = None, "", False

    def answer(self, sender, token, response, results):
        path = PATH + "/request/" + sender[1:].replace(".", "_") + "/" + token
        request = Request(self.bus, path)
        GLib.idle_add(lambda: (request.Response(dbus.UInt32(response), dbus.Dictionary(results, signature="sv")),
                               request.remove_from_connection(), False)[-1])
        return dbus.ObjectPath(path)

    @dbus.service.method("org.freedesktop.DBus.Properties", in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        if self.mode == "absent" or interface != SHORTCUTS or name != "version":
            raise dbus.exceptions.DBusException("No such interface or property",
                                                name="org.freedesktop.DBus.Error.InvalidArgs")
        return dbus.UInt32(1)

    @dbus.service.method(SHORTCUTS, in_signature="a{sv}", out_signature="o", sender_keyword="sender")
    def CreateSession(self, options, sender=None):
        self.session = PATH + "/session/" + sender[1:].replace(".", "_") + "/" + options["session_handle_token"]
        Session(self.bus, self.session, self)
        return self.answer(sender, options["handle_token"], 0, {"session_handle": dbus.String(self.session)})

    @dbus.service.method(SHORTCUTS, in_signature="oa(sa{sv})sa{sv}", out_signature="o", sender_keyword="sender")
    def BindShortcuts(self, session, shortcuts, parent, options, sender=None):
        if str(session) != self.session:
            raise dbus.exceptions.DBusException("Invalid session", name="org.freedesktop.portal.Error.NotFound")
        self.bound = ";".join("%s|%s|%s" % (i, p.get("description", ""), p.get("preferred_trigger", ""))
                              for i, p in shortcuts)
        if self.mode == "deny":
            return self.answer(sender, options["handle_token"], 1, {})
        given = dbus.Array([dbus.Struct((i, dbus.Dictionary({"description": p["description"],
                                                             "trigger_description": "Ctrl+Insert"},
                                                            signature="sv")))
                            for i, p in shortcuts], signature="(sa{sv})")
        return self.answer(sender, options["handle_token"], 0, {"shortcuts": given})

    @dbus.service.signal(SHORTCUTS, signature="osta{sv}")
    def Activated(self, session, shortcut, timestamp, options):
        pass

    @dbus.service.method(TEST, in_signature="s", out_signature="")
    def Press(self, shortcut):
        self.Activated(dbus.ObjectPath(self.session or "/"), shortcut, dbus.UInt64(0),
                       dbus.Dictionary({}, signature="sv"))

    @dbus.service.method(TEST, in_signature="", out_signature="s")
    def Bound(self):
        return self.bound + (" closed" if self.closed else "")


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.bus.BusConnection(sys.argv[1])
    name = dbus.service.BusName(PORTAL, bus)
    portal = Portal(bus, sys.argv[2])
    print("ready", flush=True)
    GLib.MainLoop().run()


main()
