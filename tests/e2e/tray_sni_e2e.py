#!/usr/bin/env python3
"""End-to-end test of the tray on a StatusNotifierItem desktop (Plasma, LXQt, Deepin,
GNOME's AppIndicator extension). A small StatusNotifierWatcher on the test's own D-Bus
session stands in for the desktop's and reads the item as a desktop does:

  1. minimise: the item registers, titled with the application's title, with a menu;
  2. the menu's layout: 综合搜索, 娱乐搜索, 软件搜索, 其它搜索, a separator, 退出,
     each with its glyph;
  3. the item activated (a left click): the program's own menu pops up;
  4. "软件搜索" clicked through the menu: the window is back on the software page (its
     ticked engine answers the next search) and the item is gone;
  5. "退出" clicked through the menu: the program ends.

usage: tray_sni_e2e.py --program build/quelm
"""

import argparse
import os
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import SKIP, Session, check, require_tools, run, wait_until  # noqa: E402
from main_e2e import GO_BUTTON, TITLE, Program, opened_urls, program_windows, wait_for_urls  # noqa: E402

try:
    from gi.repository import Gio, GLib
except ImportError:
    # python3-gi belongs to Debian's own Python, which another python3 first on PATH may not be.
    if os.path.realpath(sys.executable) != os.path.realpath("/usr/bin/python3") and os.path.exists("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    print("SKIP: python3-gi is not installed")
    sys.exit(SKIP)

WATCHER = "org.kde.StatusNotifierWatcher"
WATCHER_XML = """
<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
  </interface>
</node>
"""
PAGE_ITEMS = ["综合搜索", "娱乐搜索", "软件搜索", "其它搜索"]


class Watcher:
    """The desktop's side: owns the watcher's name, says a host is there, and keeps the
    items that register. Its calls are answered on a GLib loop of its own."""

    def __init__(self):
        self.bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
        self.items = []
        self._lock = threading.Lock()
        info = Gio.DBusNodeInfo.new_for_xml(WATCHER_XML).interfaces[0]
        self._context = GLib.MainContext.new()
        self._loop = GLib.MainLoop.new(self._context, False)
        ready = threading.Event()

        def serve():
            self._context.push_thread_default()
            self.bus.register_object("/StatusNotifierWatcher", info, self._call, self._property, None)
            ready.set()
            self._loop.run()
        self._thread = threading.Thread(target=serve, daemon=True)
        self._thread.start()
        ready.wait(10)
        reply = self.bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                   "RequestName", GLib.Variant("(su)", (WATCHER, 4)), None,
                                   Gio.DBusCallFlags.NONE, 5000, None)
        check(reply.unpack()[0] == 1, "cannot own " + WATCHER)

    def _call(self, connection, sender, path, interface, method, parameters, invocation):
        if method == "RegisterStatusNotifierItem":
            with self._lock:
                self.items.append(parameters.unpack()[0])
        invocation.return_value(None)

    def _property(self, connection, sender, path, interface, name):
        with self._lock:
            return {"RegisteredStatusNotifierItems": GLib.Variant("as", self.items),
                    "IsStatusNotifierHostRegistered": GLib.Variant("b", True),
                    "ProtocolVersion": GLib.Variant("i", 0)}[name]

    def registered(self):
        with self._lock:
            return list(self.items)

    def call(self, service, path, interface, method, signature, arguments):
        parameters = GLib.Variant(signature, arguments) if signature else None
        return self.bus.call_sync(service, path, interface, method, parameters, None,
                                  Gio.DBusCallFlags.NONE, 5000, None).unpack()

    def on_bus(self, service):
        return self.call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                         "NameHasOwner", "(s)", (service,))[0]

    def stop(self):
        self._loop.quit()
        self._thread.join(5)


class Item:
    """One registered item, read as a desktop reads it."""

    def __init__(self, watcher, service):
        self.watcher = watcher
        self.service = service

    def properties(self):
        return self.watcher.call(self.service, "/StatusNotifierItem", "org.freedesktop.DBus.Properties",
                                 "GetAll", "(s)", ("org.kde.StatusNotifierItem",))[0]

    def activate(self):
        self.watcher.call(self.service, "/StatusNotifierItem", "org.kde.StatusNotifierItem", "Activate",
                          "(ii)", (600, 1000))

    def menu(self):
        """[(id, properties)] of the menu's top level, in order."""
        path = self.properties()["Menu"]
        self.watcher.call(self.service, path, "com.canonical.dbusmenu", "AboutToShow", "(i)", (0,))
        _, (_, _, children) = self.watcher.call(self.service, path, "com.canonical.dbusmenu", "GetLayout",
                                                "(iias)", (0, -1, []))
        return [(child[0], child[1]) for child in children]

    def click(self, label):
        path = self.properties()["Menu"]
        ids = [i for i, p in self.menu() if p.get("label") == label]
        check(len(ids) == 1, "no single menu item %r" % label)
        self.watcher.call(self.service, path, "com.canonical.dbusmenu", "Event", "(isvu)",
                          (ids[0], "clicked", GLib.Variant("i", 0), 0))


def minimise(program, watcher, already):
    program.desktop.xdotool("windowminimize", program.window)
    wait_until(lambda: not program.shown(), 10, "the main window to hide")
    services = wait_until(lambda: watcher.registered()[already:], 10, "the item to register")
    check(len(services) == 1, "more than one item registered: %r" % services)
    return Item(watcher, services[0])


def test_status_notifier_tray(session, program_path):
    desktop = session.desktop
    session.start_window_manager()
    watcher = Watcher()
    try:
        folder, log = session.recording_xdg_open()
        program = Program(session, program_path, "quelm", {"PATH": folder + os.pathsep + os.environ["PATH"]})

        # 1. Minimised: one item, with the title and a menu.
        item = minimise(program, watcher, 0)
        properties = item.properties()
        check(properties["Title"] == TITLE, "the item's title is %r" % properties["Title"])
        check(properties["ToolTip"][2] == "Quelm搜索寻踪客", "the item's tip is %r" % (properties["ToolTip"],))
        check(properties["Menu"] != "/NO_DBUSMENU", "the item has no menu")

        # 2. The menu as the desktop shows it.
        entries = item.menu()
        labels = [p.get("label", "") if p.get("type") != "separator" else "-" for _, p in entries]
        check(labels == PAGE_ITEMS + ["-", "退出"], "the menu reads %r" % labels)
        for _, p in entries:
            if p.get("type") != "separator":
                check(bytes(p.get("icon-data", b""))[:8] == b"\x89PNG\r\n\x1a\n", "no glyph for %r" % p.get("label"))
                check(p.get("enabled", True) and p.get("visible", True), "%r is not offered" % p.get("label"))

        # 3. A left click on the item: the program's own menu, as on any tray.
        item.activate()
        wait_until(lambda: [w for w, g in program_windows(desktop).items() if g[3] > 100 and w != program.window],
                   10, "the program's menu")
        desktop.key("Escape")

        # 4. "软件搜索" from the desktop's menu: back on that page, the item gone.
        item.click("软件搜索")
        wait_until(program.shown, 20, "the main window to come back")
        program.window = desktop.wait_for_window("^%s$" % TITLE, 5)
        wait_until(lambda: not watcher.on_bus(item.service), 10, "the item to leave")
        time.sleep(0.5)
        program.click(GO_BUTTON)
        urls = wait_for_urls(log, 1, "the search on the software page")
        check(urls[0].startswith("http://www.onlinedown.net/"), "not on the software page: %r" % urls)

        # 5. "退出" from the desktop's menu: the program ends.
        item = minimise(program, watcher, 1)
        check(item.properties()["Title"] == TITLE, "the second item's title is %r" % item.properties()["Title"])
        item.click("退出")
        code = program.process.wait(15)
        check(code == 0, "the program ended with %s" % code)
        check(len(opened_urls(log)) == 1, "extra browser starts: %r" % opened_urls(log)[1:])
    finally:
        watcher.stop()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    args = parser.parse_args()
    require_tools("Xvfb", "xdotool", "openbox")
    with Session(overall_timeout=120) as session:
        return run(lambda: test_status_notifier_tray(session, os.path.abspath(args.program)))


if __name__ == "__main__":
    sys.exit(main())
