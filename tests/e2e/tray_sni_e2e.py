#!/usr/bin/env python3
"""The tray on a StatusNotifierItem desktop (Plasma, LXQt, Deepin, GNOME's AppIndicator
extension): a small watcher on the test's own D-Bus session stands in for the desktop's,
reads the item and its menu and clicks in it as a desktop does.

usage: tray_sni_e2e.py --program build/quelm
"""

import argparse
import os
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import SKIP, Session, TestFailure, check, require_tools, run, wait_until  # noqa: E402
from main_e2e import GO_BUTTON, TITLE, Program, opened_urls, program_windows, wait_for_urls  # noqa: E402

try:
    from gi.repository import Gio, GLib
except ImportError:
    # python3-gi belongs to Debian's own Python, which another python3 first on PATH may not be.
    if os.path.realpath(sys.executable) != os.path.realpath("/usr/bin/python3") and os.path.exists("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    print("SKIP: python3-gi is not installed")
    sys.exit(SKIP)

WATCHER_XML = """<node><interface name="org.kde.StatusNotifierWatcher">
  <method name="RegisterStatusNotifierItem"><arg type="s" direction="in"/></method>
  <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
</interface></node>"""


class Watcher:
    """Owns the watcher's name, says a host is there and keeps the items that register;
    answers on a GLib loop of its own."""

    def __init__(self):
        self.bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
        self.items = []
        info = Gio.DBusNodeInfo.new_for_xml(WATCHER_XML).interfaces[0]
        context = GLib.MainContext.new()
        self._loop = GLib.MainLoop.new(context, False)
        ready = threading.Event()

        def serve():
            context.push_thread_default()
            self.bus.register_object("/StatusNotifierWatcher", info, self._call,
                                     lambda *_: GLib.Variant("b", True), None)
            ready.set()
            self._loop.run()
        threading.Thread(target=serve, daemon=True).start()
        ready.wait(10)
        check(self.call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.RequestName",
                        "(su)", ("org.kde.StatusNotifierWatcher", 4)) == (1,), "cannot own the watcher's name")

    def _call(self, connection, sender, path, interface, method, parameters, invocation):
        self.items.append(parameters.unpack()[0])
        invocation.return_value(None)

    def call(self, service, path, method, signature, arguments):
        interface, _, name = method.rpartition(".")
        return self.bus.call_sync(service, path, interface, name, GLib.Variant(signature, arguments), None,
                                  Gio.DBusCallFlags.NONE, 5000, None).unpack()

    def item(self, service):
        return self.call(service, "/StatusNotifierItem", "org.freedesktop.DBus.Properties.GetAll", "(s)",
                         ("org.kde.StatusNotifierItem",))[0]

    def menu(self, service):
        """[(id, properties)] of the item's menu, as a desktop reads it before showing it."""
        path = self.item(service)["Menu"]
        self.call(service, path, "com.canonical.dbusmenu.AboutToShow", "(i)", (0,))
        _, (_, _, children) = self.call(service, path, "com.canonical.dbusmenu.GetLayout", "(iias)", (0, -1, []))
        return [(child[0], child[1]) for child in children]

    def click(self, service, label):
        ids = [i for i, p in self.menu(service) if p.get("label") == label]
        self.call(service, self.item(service)["Menu"], "com.canonical.dbusmenu.Event", "(isvu)",
                  (ids[0], "clicked", GLib.Variant("i", 0), 0))


def minimise(program, watcher):
    known = len(watcher.items)
    program.desktop.xdotool("windowminimize", program.window)
    wait_until(lambda: not program.shown() and len(watcher.items) > known, 10, "the item to register")
    check(len(watcher.items) == known + 1, "more than one item: %r" % watcher.items[known:])
    service = watcher.items[-1]
    check(watcher.item(service)["Title"] == TITLE, "the item's title is %r" % watcher.item(service)["Title"])
    return service


def test_status_notifier_tray(session, program_path):
    desktop = session.desktop
    session.start_window_manager()
    watcher = Watcher()
    folder, log = session.recording_xdg_open()
    program = Program(session, program_path, "quelm", {"PATH": folder + os.pathsep + os.environ["PATH"]})

    # The menu a desktop shows by itself, the glyphs with it.
    service = minimise(program, watcher)
    entries = [p for _, p in watcher.menu(service)]
    labels = ["-" if p.get("type") == "separator" else p.get("label") for p in entries]
    check(labels == ["综合搜索", "娱乐搜索", "软件搜索", "其它搜索", "-", "退出"], "the menu reads %r" % labels)
    check(all(bytes(p["icon-data"]).startswith(b"\x89PNG") for p in entries if p.get("type") != "separator"),
          "an item without its glyph")

    # A left click on the item (Activate): the program's own menu, as on any tray. As with a real
    # click on a busy machine, the first may come before the item is ready for it: click again.
    for attempt in range(3):
        watcher.call(service, "/StatusNotifierItem", "org.kde.StatusNotifierItem.Activate", "(ii)", (600, 1000))
        try:
            wait_until(lambda: [w for w, g in program_windows(desktop).items()
                                if g[3] > 100 and w != program.window], 5, "the program's menu")
            break
        except TestFailure:
            desktop.key("Escape")
    else:
        raise TestFailure("the program's menu never opened on Activate")
    desktop.key("Escape")

    # "软件搜索": back on that page (its ticked engine answers the next search), the item gone.
    watcher.click(service, "软件搜索")
    program.window = desktop.wait_for_window("^%s$" % TITLE, 20)
    wait_until(lambda: not watcher.call("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                        "org.freedesktop.DBus.NameHasOwner", "(s)", (service,))[0],
               10, "the item to leave")
    time.sleep(0.5)
    program.click(GO_BUTTON)
    urls = wait_for_urls(log, 1, "the search on the software page")
    check(urls[0].startswith("http://www.onlinedown.net/"), "not on the software page: %r" % urls)

    # "退出" from the item of the next minimise ends the program.
    watcher.click(minimise(program, watcher), "退出")
    status = program.process.wait(15)
    check(status == 0, "the program did not end cleanly (%d): %s" % (status, session.log_text("quelm")[-3000:]))
    check(len(opened_urls(log)) == 1, "extra browser starts: %r" % opened_urls(log)[1:])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    args = parser.parse_args()
    require_tools("Xvfb", "xdotool", "openbox")
    with Session(overall_timeout=120) as session:
        return run(lambda: test_status_notifier_tray(session, os.path.abspath(args.program)))


if __name__ == "__main__":
    sys.exit(main())
