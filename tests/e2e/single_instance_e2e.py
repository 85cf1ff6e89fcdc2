#!/usr/bin/env python3
"""End-to-end test of one program per user and display, in Xvfb with openbox:

  1. a second start while the program is visible ends at once, ending the
     launcher's start-up feedback; the program's window comes above the
     window that covered it and is active, and carries the second start's
     start-up ID;
  2. a second start while it is hidden in the tray brings it back on its page,
     with its ticks and query, and the icon leaves the tray (trayer);
  3. a second start while the first is still starting (stopped before its
     event loop runs, for longer than an idle program needs to answer) waits
     for it and brings it forward;
  4. a start after the program was killed starts normally; a start while the
     program is stopped says so in a box after the bound and ends;
  5. the same user on another display, and another user (nobody, with a
     runtime folder of its own) on the same display, get programs of their own.

usage: single_instance_e2e.py --program build/quelm
"""

import argparse
import ctypes
import glob
import ctypes.util
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import Desktop, Session, TestFailure, VirtualDisplay, check, require_tools, run, wait_until  # noqa: E402
from main_e2e import (FILE_MENU, GO_BUTTON, QUERY_BOX, TITLE, Program, helper_processes,  # noqa: E402
                      minimise_to_tray, opened_urls, tray_width, wait_for_urls)

SKYCN_CHECK_BOX = (142, 32)  # second engine of the software page
NOBODY = 65534


def program_env(session, **extra):
    return session.environment(**extra)


def main_windows(desktop):
    return desktop.visible_windows("^%s$" % TITLE)


def second_start(session, path, name="second", **extra):
    """Starts the program again and waits for it to end; returns its exit code and how long it took."""
    started = time.monotonic()
    process = session.spawn([path], name, program_env(session, **extra))
    try:
        code = process.wait(15)
    except subprocess.TimeoutExpired:
        raise TestFailure("the %s start did not end" % name)
    return code, time.monotonic() - started


def root_property(desktop, name):
    out = subprocess.run(["xprop", "-root", name], env=desktop.env, capture_output=True, text=True,
                         timeout=10).stdout
    return [int(w, 16) for w in out.replace(",", " ").split() if w.startswith("0x")]


def window_text_property(desktop, window, name):
    out = subprocess.run(["xprop", "-id", str(window), name], env=desktop.env, capture_output=True, text=True,
                         timeout=10).stdout
    return out.split(" = ", 1)[1].strip().strip('"') if " = " in out else None


def window_pid(desktop, window):
    return desktop.xdotool("getwindowpid", window).strip()


def popups(desktop):
    out = desktop.xdotool("search", "--onlyvisible", "--classname", "quelm", check_rc=False)
    return [w for w in out.split() if w]


class StartupMessages:
    """Collects the start-up notification messages that reach the root window."""

    def __init__(self, display):
        x11 = self.x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XInternAtom.restype = ctypes.c_ulong
        x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x11.XDefaultRootWindow.restype = ctypes.c_ulong
        x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        x11.XPending.argtypes = x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.display = self.x11.XOpenDisplay(display.encode())
        check(self.display, "cannot open display " + display)
        self.begin = self.x11.XInternAtom(self.display, b"_NET_STARTUP_INFO_BEGIN", 0)
        self.more = self.x11.XInternAtom(self.display, b"_NET_STARTUP_INFO", 0)
        self.x11.XSelectInput(self.display, self.x11.XDefaultRootWindow(self.display), 1 << 22)  # PropertyChange
        self.x11.XSync(self.display, 0)
        self.pieces = b""
        self.messages = []

    def read(self):
        event = (ctypes.c_long * 24)()
        while self.x11.XPending(self.display):
            self.x11.XNextEvent(self.display, event)
            # ClientMessage: its type at offset 40, its 20 bytes of data at offset 56.
            if event[0] & 0xFFFFFFFF == 33 and event[5] in (self.begin, self.more):
                if event[5] == self.begin:
                    self.pieces = b""
                self.pieces += bytes(event)[56:76]
                if b"\0" in self.pieces:
                    self.messages.append(self.pieces.split(b"\0")[0].decode())
        return self.messages

    def close(self):
        self.x11.XCloseDisplay(self.display)


def test_second_start_while_visible(session, path):
    desktop = session.desktop
    session.start_tray_desktop()
    first = Program(session, path, "first", {})
    session.spawn(["xmessage", "-geometry", "500x700+600+0", "covering the program"], "cover")
    cover = desktop.wait_for_window("^xmessage$", 10)
    desktop.xdotool("windowactivate", "--sync", cover)
    wait_until(lambda: root_property(desktop, "_NET_ACTIVE_WINDOW") == [int(cover)], 10, "the cover to be active")

    # Started from a launcher with start-up feedback, which the second start ends.
    feedback = StartupMessages(session.display.name)
    code, seconds = second_start(session, path, DESKTOP_STARTUP_ID="e2e-launch_TIME0")
    check(code == 0, "the second start ended with %s" % code)
    print("second start took %.0f ms" % (seconds * 1000))
    wait_until(lambda: 'remove: ID="e2e-launch_TIME0"' in feedback.read(), 5, "the start-up feedback to end")
    feedback.close()
    wait_until(lambda: root_property(desktop, "_NET_ACTIVE_WINDOW") == [int(first.window)], 10,
               "the program's window to become active")
    stacking = root_property(desktop, "_NET_CLIENT_LIST_STACKING")
    check(stacking.index(int(first.window)) > stacking.index(int(cover)), "the program's window is still covered")
    # Where the window manager prevents focus stealing, the launch's ID is what lets it forward.
    startup_id = window_text_property(desktop, first.window, "_NET_STARTUP_ID")
    check(startup_id == "e2e-launch_TIME0", "the window's start-up ID: %r" % startup_id)
    check(main_windows(desktop) == [first.window], "main windows: %r" % main_windows(desktop))
    running = helper_processes(path, session)
    check(running == [first.process.pid], "programs running: %r" % running)


def test_second_start_while_in_tray(session, path):
    desktop = session.desktop
    tray = session.start_tray_desktop()
    empty_tray = tray_width(desktop, tray)
    folder, log = session.recording_xdg_open()
    first = Program(session, path, "first", {"PATH": folder + os.pathsep + os.environ["PATH"]})
    # The software page (文件 → 软件搜索), a second engine ticked, a query typed.
    before = popups(desktop)
    first.click(FILE_MENU)
    wait_until(lambda: len(popups(desktop)) > len(before), 10, "the File menu to open")
    desktop.key("Down", "Down", "Down", "Return")
    wait_until(lambda: len(popups(desktop)) == len(before), 10, "the File menu to close")
    first.click(SKYCN_CHECK_BOX)
    first.click(QUERY_BOX)
    desktop.type_text("xyz")
    minimise_to_tray(first, tray, empty_tray)

    code, _ = second_start(session, path)
    check(code == 0, "the second start ended with %s" % code)
    wait_until(first.shown, 10, "the main window to come back")
    first.window = desktop.wait_for_window("^%s$" % TITLE, 5)
    wait_until(lambda: tray_width(desktop, tray) == empty_tray, 10, "the icon to leave the tray")
    check(main_windows(desktop) == [first.window], "main windows: %r" % main_windows(desktop))
    # The page, its ticks and the query are as they were: the search says so.
    wait_until(lambda: root_property(desktop, "_NET_ACTIVE_WINDOW") == [int(first.window)], 10,
               "the program's window to become active")
    first.click(GO_BUTTON)
    wait_for_urls(log, 2, "the search")
    check(opened_urls(log) == ["http://www.onlinedown.net/ss.php?q=xyz",
                               "http://www.skycn.com/search.php?sor=00&ss_name=xyz"],
          "the search opened %r" % opened_urls(log))


def test_start_after_crash_or_hang(session, path):
    desktop = session.desktop
    first = Program(session, path, "first", {})
    first.process.send_signal(signal.SIGKILL)
    first.process.wait(10)
    wait_until(lambda: not main_windows(desktop), 10, "the killed program's window to go")

    # What the killed program left behind holds nothing up.
    second = Program(session, path, "second", {})
    check("did not answer" not in session.log_text("second"), "second start: %s" % session.log_text("second"))

    # A stopped program does not answer: the next start says so in a box after the bound and ends.
    second.process.send_signal(signal.SIGSTOP)
    started = time.monotonic()
    third = session.spawn([path], "third", program_env(session))
    box = wait_until(lambda: [w for w in main_windows(desktop) if w != second.window], 40, "the third start's box")[0]
    print("a start beside a stopped program told so after %.1f s" % (time.monotonic() - started))
    check(window_pid(desktop, box) == str(third.pid), "the box is not the third start's")
    check("did not answer within 20 s" in session.log_text("third"), "third start: %s" % session.log_text("third"))
    desktop.close(box)
    check(third.wait(10) == 1, "the third start ended with %s" % third.returncode)
    second.process.send_signal(signal.SIGCONT)

    # The channel is still the second's: a fourth start brings that one forward.
    code, _ = second_start(session, path, "fourth")
    check(code == 0, "the fourth start ended with %s" % code)
    check(second.process.poll() is None, "the second program ended")
    check(main_windows(desktop) == [second.window], "main windows: %r" % main_windows(desktop))


def test_second_start_while_first_is_starting(session, path):
    desktop = session.desktop
    first = session.spawn([path], "first", program_env(session))
    # Stopped once it holds the channel, before its window: a cold start at log-on.
    sockets = os.path.join(session.work_dir, "runtime", "quelm-x11-*.socket")
    wait_until(lambda: glob.glob(sockets), 20, "the first program's socket", interval=0.001)
    first.send_signal(signal.SIGSTOP)
    second = session.spawn([path], "second", program_env(session))
    # The first is slow: longer than an idle program needs to answer.
    time.sleep(3)
    first.send_signal(signal.SIGCONT)
    window = desktop.wait_for_window("^%s$" % TITLE, 20)
    try:
        code = second.wait(20)
    except subprocess.TimeoutExpired:
        raise TestFailure("the second start runs beside the first: %s" % session.log_text("second"))
    check(code == 0, "the second start ended with %s" % code)
    check(first.poll() is None, "the first program ended")
    check(main_windows(desktop) == [window], "main windows: %r" % main_windows(desktop))
    check(window_pid(desktop, window) == str(first.pid), "the window is not the first program's")


def test_other_display_and_user(session, path):
    desktop = session.desktop
    first = Program(session, path, "first", {})

    other = VirtualDisplay()
    try:
        there = session.spawn([path], "other-display", program_env(session, DISPLAY=other.name))
        Desktop(other.name).wait_for_window("^%s$" % TITLE, 20)
        check(there.poll() is None, "the program on the other display ended")
    finally:
        other.stop()

    if os.geteuid() != 0:
        print("note: not root, so the start as another user is left out")
        return
    require_tools("setpriv")
    home = tempfile.mkdtemp(prefix="quelm-e2e-nobody-")
    try:
        for sub in ("", "runtime", "config", "data", "cache"):
            os.makedirs(os.path.join(home, sub), mode=0o700, exist_ok=True)
            os.chown(os.path.join(home, sub), NOBODY, NOBODY)
        as_nobody = ["setpriv", "--reuid=%d" % NOBODY, "--regid=%d" % NOBODY, "--clear-groups"]
        check(subprocess.run(as_nobody + ["test", "-x", path]).returncode == 0,
              "nobody cannot run %s: put the build where every user can read it" % path)
        env = program_env(session, HOME=home, XDG_RUNTIME_DIR=os.path.join(home, "runtime"),
                          XDG_CONFIG_HOME=os.path.join(home, "config"), XDG_DATA_HOME=os.path.join(home, "data"),
                          XDG_CACHE_HOME=os.path.join(home, "cache"))
        env.pop("DBUS_SESSION_BUS_ADDRESS", None)  # this user's session bus is not theirs
        theirs = session.spawn(as_nobody + [path], "nobody", env)
        wait_until(lambda: len(main_windows(desktop)) == 2, 20, "nobody's main window")
        check(theirs.poll() is None and first.process.poll() is None, "a program ended")
        check(os.stat("/proc/%d" % theirs.pid).st_uid == NOBODY, "the second program does not run as nobody")
        check("running program" not in session.log_text("nobody"), "nobody's start: %s" % session.log_text("nobody"))
    finally:
        shutil.rmtree(home, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    args = parser.parse_args()
    require_tools("Xvfb", "xdotool", "xprop", "xmessage", "openbox", "trayer")
    path = os.path.abspath(args.program)
    code = 0
    for test in (test_second_start_while_visible, test_second_start_while_in_tray,
                 test_second_start_while_first_is_starting, test_start_after_crash_or_hang,
                 test_other_display_and_user):
        print("--- %s" % test.__name__)
        with Session(overall_timeout=100) as session:
            code |= run(lambda: test(session, path))
    return code


if __name__ == "__main__":
    sys.exit(main())
