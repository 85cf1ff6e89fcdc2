#!/usr/bin/env python3
"""End-to-end test of the real program in Xvfb with openbox and a real tray
host (trayer), driven with xdotool, with a recording xdg-open first on PATH.

  1. type a query with Chinese characters and "&" into q, Enter: one URL;
  2. tick a second engine with a click, press the button: both URLs, in order;
  3. minimise: the window goes, the icon appears in the tray;
  4. click the icon, choose "软件搜索": the window is back on that page;
  5. quit from the tray menu's "退出": the program ends;
  (on the way: the settings dialog, the about box and the help page);
  6. with quelm_ie=yes, a search opens the built-in browser and the engine's
     request reaches a local server (through a proxy setting); an address
     typed into the browser window and "访问" reach it too; the helper killed
     while its window is open, and one that stopped answering, each bring up
     the error box once and the next search works; closing the main window
     ends the browser helper as well;
  7. with the engine unable to start (its process or its library missing),
     a search brings up the error box within seconds, every time, and the
     status bar does not claim success.
  8. a failing "保存" puts its error box in front of the settings dialog, which
     stays on top, and Return closes it;
  9. on a Wayland session with XWayland the program uses X and never talks to
     the Wayland display.

usage: main_e2e.py --program build/quelm
"""

import argparse
import os
import signal
import socket
import subprocess
import sys
import time
import urllib.parse

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import Session, TestFailure, check, require_tools, run, wait_until  # noqa: E402

TITLE = "QUELM搜索寻踪客"
BROWSER_TITLE = "Quelm浏览器"

# Client coordinates in the main window (its menu bar included).
FILE_MENU = (20, 8)
QUERY_BOX = (100, 369)
GO_BUTTON = (117, 404)
BAIDU_CHECK_BOX = (142, 32)
# ... and in the browser window.
BROWSER_ADDRESS = (185 + 200, 7 + 11)
BROWSER_GO = (632 + 40, 4 + 12)

QUERY = "Qt 中文&b"
QUERY_UTF8 = "Qt%20%E4%B8%AD%E6%96%87%26b"  # Google takes UTF-8, percent-encoded
QUERY_GB18030 = "Qt%20%D6%D0%CE%C4%26b"  # the other engines GB18030


def opened_urls(log):
    """The argument of every xdg-open start, in the order of the starts, checking that each had exactly one."""
    starts = Session.xdg_open_starts(log)
    for argc, arguments in starts:
        check(argc == 1, "xdg-open started with %d arguments: %r" % (argc, arguments))
    return [arguments for _, arguments in starts]


def wait_for_urls(log, count, what):
    return wait_until(lambda: len(opened_urls(log)) >= count and opened_urls(log), 10, what)


class Program:
    def __init__(self, session, path, name, extra_env):
        self.session = session
        self.desktop = session.desktop
        env = session.environment(**extra_env)
        self.process = session.spawn([path], name, env)
        self.window = self.desktop.wait_for_window("^%s$" % TITLE, 20)
        time.sleep(0.5)

    def click(self, point):
        self.desktop.click(self.window, *point)

    def shown(self):
        return bool(self.desktop.visible_windows("^%s$" % TITLE))


def tray_width(desktop, tray):
    return desktop.geometry(tray)[2]


def minimise_to_tray(program, tray, empty_tray):
    program.desktop.xdotool("windowminimize", program.window)
    wait_until(lambda: not program.shown(), 10, "the main window to hide")
    wait_until(lambda: tray_width(program.desktop, tray) > empty_tray, 10, "the icon in the tray")


def program_windows(desktop):
    """The program's visible top-level windows and their geometry."""
    out = desktop.xdotool("search", "--onlyvisible", "--classname", "quelm", check_rc=False)
    return {w: desktop.geometry(w) for w in out.split()}


def open_tray_menu(desktop, tray):
    """A left click on the newest icon (trayer adds them at the right), until the menu is up:
    on a busy machine the first click may come before the icon is ready for it."""
    x, y, width, height = desktop.geometry(tray)
    for _ in range(3):
        desktop.xdotool("mousemove", x + width - 12, y + height // 2)
        desktop.xdotool("click", "1")
        try:
            # The pop-up menu: the only window of the program that is tall and not the main window.
            wait_until(lambda: [w for w, g in program_windows(desktop).items()
                                if g[3] > 100 and desktop.xdotool("getwindowname", w).strip() != TITLE],
                       5, "the tray menu")
            time.sleep(0.3)
            return
        except TestFailure:
            desktop.key("Escape")
    raise TestFailure("the tray icon's menu never opened")


def test_main_window(session, program_path):
    desktop = session.desktop
    tray = session.start_tray_desktop()
    empty_tray = tray_width(desktop, tray)
    folder, log = session.recording_xdg_open()
    desktop.map_characters(QUERY)
    program = Program(session, program_path, "quelm", {"PATH": folder + os.pathsep + os.environ["PATH"]})

    # 1. Enter in the query box: one search with the one ticked engine.
    program.click(QUERY_BOX)  # selects the whole text, so typing replaces it
    desktop.type_text(QUERY)
    desktop.key("Return")
    urls = wait_for_urls(log, 1, "the first search")
    time.sleep(0.5)
    check(opened_urls(log) == ["http://www.google.com/search?q=" + QUERY_UTF8],
          "first search opened %r" % opened_urls(log))

    # 2. A second engine ticked by a click, then the button.
    program.click(BAIDU_CHECK_BOX)
    program.click(GO_BUTTON)
    urls = wait_for_urls(log, 3, "the second search")
    time.sleep(0.5)
    check(opened_urls(log)[1:] == ["http://www.google.com/search?q=" + QUERY_UTF8,
                                   "http://www.baidu.com/baidu?word=" + QUERY_GB18030],
          "second search opened %r" % urls[1:])

    # The settings dialog and the about box from the menus, with their own captions;
    # closing them only hides them.
    for menu_x, downs, title in ((57, 1, "Quelm设置"), (95, 2, "关于本软件")):
        program.click((menu_x, 8))
        time.sleep(0.5)
        desktop.key(*(["Down"] * downs + ["Return"]))
        dialog = desktop.wait_for_window("^%s$" % title, 10)
        desktop.close(dialog)
        wait_until(lambda: not desktop.visible_windows("^%s$" % title), 10, title + " to hide")
    check(program.process.poll() is None and program.shown(), "closing a dialog ended the program")

    # Help: the page beside the program, as a file URL.
    program.click((95, 8))
    time.sleep(0.5)
    desktop.key("Down", "Return")
    help_url = wait_for_urls(log, 4, "the help page")[3]
    check(help_url.startswith("file:///") and help_url.endswith("/help/index.htm"), "help opened %r" % help_url)
    check(os.path.isfile(urllib.parse.unquote(help_url[len("file://"):])), "no help page at %r" % help_url)

    # 3. Minimise: into the tray.
    minimise_to_tray(program, tray, empty_tray)

    # 4. The icon's menu, third item.
    open_tray_menu(desktop, tray)
    desktop.key("Down", "Down", "Down", "Return")
    wait_until(program.shown, 20, "the main window to come back")
    program.window = desktop.wait_for_window("^%s$" % TITLE, 5)
    wait_until(lambda: tray_width(desktop, tray) == empty_tray, 10, "the icon to leave the tray")
    time.sleep(0.5)
    # The software page's ticked engine answers the next search.
    program.click(GO_BUTTON)
    wait_for_urls(log, 5, "the search on the software page")
    time.sleep(0.5)
    check(opened_urls(log)[4:] and opened_urls(log)[4].startswith("http://www.onlinedown.net/"),
          "not on the software page: %r" % opened_urls(log)[4:])

    # 5. Quit from the tray menu: the last item.
    minimise_to_tray(program, tray, empty_tray)
    open_tray_menu(desktop, tray)
    desktop.key("Up", "Return")
    code = program.process.wait(15)
    check(code == 0, "the program ended with %s" % code)
    check(len(opened_urls(log)) == 5, "extra browser starts: %r" % opened_urls(log)[5:])


def helper_processes(helper_path, session):
    """The helpers this session's programs started: other tests may run the same helper at once."""
    mark = ("XDG_CONFIG_HOME=" + os.path.join(session.work_dir, "config")).encode()
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            if os.readlink("/proc/%s/exe" % pid) != helper_path:
                continue
            with open("/proc/%s/environ" % pid, "rb") as f:
                if mark in f.read().split(b"\0"):
                    found.append(int(pid))
        except OSError:
            pass
    return found


def handled_so_far(program):
    """Opens the File menu and closes it again: the program's event loop has handled what it had queued."""
    before = len(program_windows(program.desktop))
    program.click(FILE_MENU)
    wait_until(lambda: len(program_windows(program.desktop)) > before, 10, "the File menu to open")
    program.desktop.key("Escape")
    wait_until(lambda: len(program_windows(program.desktop)) == before, 10, "the File menu to close")


def error_boxes(program):
    """The program's error boxes: its windows with the application title, but for the main window."""
    return [w for w in program.desktop.visible_windows("^%s$" % TITLE) if w != program.window]


def wait_for_error_box(program, timeout, what):
    started = time.monotonic()
    box = wait_until(lambda: error_boxes(program), timeout, "the error box for " + what, interval=0.02)[0]
    print("error box for %s after %.1f s" % (what, time.monotonic() - started))
    return box


def status_bar_pixels(program):
    """The bottom 20 pixels of the main window, as the screen shows them."""
    _, _, width, height = program.desktop.geometry(program.window)
    return subprocess.run(["import", "-window", program.window, "-crop", "%dx20+0+%d" % (width, height - 20),
                           "-depth", "8", "rgb:-"], env=program.desktop.env, capture_output=True, check=True,
                          timeout=30).stdout


def move_clear_of_browser(program):
    """The main window to the top left corner, clear of the browser window, which is centred and stays on top."""
    program.desktop.xdotool("windowmove", program.window, 0, 0)
    wait_until(lambda: program.desktop.geometry(program.window)[:2] == (0, 0), 10, "the main window to move")


def write_browser_mode(session, value):
    config = os.path.join(session.work_dir, "config", "quelm_search")
    os.makedirs(config, exist_ok=True)
    with open(os.path.join(config, "quelm_search.ini"), "w") as f:
        f.write("[General]\nquelm_ie=%s\n" % value)


def test_built_in_browser(session, program_path, helper_path):
    desktop = session.desktop
    server = session.http_server()
    write_browser_mode(session, "yes")
    folder, log = session.recording_xdg_open()
    # The engine's hosts are out of reach here: the engine sends everything to the local server.
    flags = "--proxy-server=127.0.0.1:%d" % server.port
    program = Program(session, program_path, "quelm-built-in",
                      {"PATH": folder + os.pathsep + os.environ["PATH"], "QTWEBENGINE_CHROMIUM_FLAGS": flags})
    check(not helper_processes(helper_path, session), "the browser helper runs before it is needed")
    move_clear_of_browser(program)

    program.click(QUERY_BOX)
    desktop.type_text("abc")
    desktop.key("Return")
    browser = desktop.wait_for_window("^%s$" % BROWSER_TITLE, 30)
    expected = "http://www.google.com/search?q=abc"
    server.wait_for("request", expected, 30)
    check(not opened_urls(log), "built-in mode started the external browser: %r" % opened_urls(log))

    time.sleep(1.0)
    desktop.click(browser, *BROWSER_ADDRESS)
    desktop.key("ctrl+a")
    desktop.type_text(server.url("/typed"))
    desktop.click(browser, *BROWSER_GO)
    wait_until(lambda: [e for e in server.events if e[0] == "request" and e[1].endswith("/typed")], 20,
               "the typed address to reach the server")
    check(helper_processes(helper_path, session), "no browser helper process found")

    # The helper killed while its window is open, then one that stopped answering:
    # each is reported once, and the next search starts a new one.
    for what, sig, within in (("killed", signal.SIGKILL, 5), ("stopped", signal.SIGSTOP, 10)):
        (pid,) = helper_processes(helper_path, session)
        os.kill(pid, sig)
        if sig == signal.SIGSTOP:
            program.click(GO_BUTTON)  # the search finds it not answering
        box = wait_for_error_box(program, within, "the helper " + what)
        check(len(error_boxes(program)) == 1, "more than one message for the helper " + what)
        # Gone and reaped: whatever its end makes the program say is on its way.
        wait_until(lambda: not os.path.exists("/proc/%d" % pid), 10, "the %s helper to be gone" % what)
        desktop.close(box)
        wait_until(lambda: box not in error_boxes(program), 10, "the error box to close")
        handled_so_far(program)
        check(not error_boxes(program), "more than one message for the helper " + what)
        requests = len(server.seen("request", expected))
        program.click(GO_BUTTON)
        wait_until(lambda: len(server.seen("request", expected)) > requests, 30,
                   "the search after the helper was " + what)
        helpers = helper_processes(helper_path, session)
        check(helpers and pid not in helpers, "no new helper")

    # Closing the main window ends the program, and the helper with it.
    desktop.close(program.window)
    code = program.process.wait(20)
    check(code == 0, "the program ended with %s" % code)
    wait_until(lambda: not helper_processes(helper_path, session), 20, "the browser helper to end")


def test_error_box_in_front(session, program_path):
    desktop = session.desktop
    session.start_window_manager()
    # "保存" fails: a plain file stands where the autostart folder belongs.
    config = os.path.join(session.work_dir, "config")
    os.makedirs(config, exist_ok=True)
    open(os.path.join(config, "autostart"), "w").close()
    program = Program(session, program_path, "quelm-save-fails", {})
    program.click((57, 8))
    time.sleep(0.5)
    desktop.key("Down", "Return")
    dialog = desktop.wait_for_window("^Quelm设置$", 10)
    time.sleep(0.5)
    desktop.click(dialog, 56 + 37, 192 + 12)  # 保存
    desktop.xdotool("mousemove", 0, 0)  # no tool tip over the windows
    box = wait_until(lambda: [w for w in desktop.visible_windows("^%s$" % TITLE) if w != program.window], 10,
                     "the error box")[0]
    time.sleep(0.5)
    check(int(box) in desktop.stacking()[-1], "the error box is not the topmost window")
    desktop.key("Return")
    wait_until(lambda: box not in desktop.visible_windows("^%s$" % TITLE), 10, "Return to close the error box")
    check(desktop.visible_windows("^Quelm设置$") and program.process.poll() is None,
          "closing the error box closed more than the box")
    desktop.close(program.window)
    check(program.process.wait(15) == 0, "the program did not end cleanly")


def test_wayland_session(session, program_path):
    """A Wayland display that records whether anyone connects, with an X display beside it."""
    desktop = session.desktop
    name = "wayland-quelm-e2e"
    env = session.environment(WAYLAND_DISPLAY=name, XDG_SESSION_TYPE="wayland")
    env.pop("QT_QPA_PLATFORM")
    listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    listener.bind(os.path.join(env["XDG_RUNTIME_DIR"], name))
    listener.listen(8)
    listener.setblocking(False)
    try:
        process = session.spawn([program_path], "quelm-wayland", env)
        window = desktop.wait_for_window("^%s$" % TITLE, 20)
        time.sleep(0.5)
        try:
            listener.accept()[0].close()
            raise TestFailure("the program connected to the Wayland display")
        except BlockingIOError:
            pass
        desktop.close(window)
        check(process.wait(15) == 0, "the program did not end cleanly")
    finally:
        listener.close()


def test_engine_cannot_start(session, program_path):
    """The engine's process missing, then its library: every search brings up the
    error box within seconds, and the status bar keeps what it said before."""
    desktop = session.desktop
    require_tools("import")
    write_browser_mode(session, "yes")
    folder, log = session.recording_xdg_open()
    broken = os.path.join(session.work_dir, "broken-libs")
    os.makedirs(broken)
    open(os.path.join(broken, "libQt6WebEngineCore.so.6"), "w").close()
    path = {"PATH": folder + os.pathsep + os.environ["PATH"]}
    for name, env in (("no-engine-process", dict(path, QTWEBENGINEPROCESS_PATH="/nonexistent")),
                      ("broken-engine-library", dict(path, LD_LIBRARY_PATH=broken))):
        write_browser_mode(session, "yes")
        program = Program(session, program_path, name, env)
        move_clear_of_browser(program)
        before = status_bar_pixels(program)
        for attempt in (1, 2):
            program.click(GO_BUTTON)
            box = wait_for_error_box(program, 5, "%s, search %d" % (name, attempt))
            check(status_bar_pixels(program) == before, "%s: the status bar changed" % name)
            desktop.close(box)
            wait_until(lambda: not error_boxes(program), 10, "the error box to close")
        check(not opened_urls(log), "the external browser was started: %r" % opened_urls(log))
        # The same search in external mode ends on the welcome text, which the check above would see.
        write_browser_mode(session, "no")
        program.click(GO_BUTTON)
        wait_for_urls(log, 1, "the search in external mode")
        wait_until(lambda: status_bar_pixels(program) != before, 5, "the status bar to change")
        desktop.close(program.window)
        check(program.process.wait(20) == 0, "the program did not end cleanly")
        open(log, "w").close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--helper")
    args = parser.parse_args()
    require_tools("Xvfb", "xdotool", "openbox", "trayer")
    with Session(overall_timeout=200) as session:
        code = run(lambda: test_main_window(session, os.path.abspath(args.program)))
    if code:
        return code
    with Session(overall_timeout=100) as session:
        code = run(lambda: (test_error_box_in_front(session, os.path.abspath(args.program)),
                            test_wayland_session(session, os.path.abspath(args.program))))
    if code or not args.helper:
        return code
    with Session(overall_timeout=200) as session:
        code = run(lambda: test_built_in_browser(session, os.path.abspath(args.program),
                                                 os.path.abspath(args.helper)))
    if code:
        return code
    with Session(overall_timeout=200) as session:
        return run(lambda: test_engine_cannot_start(session, os.path.abspath(args.program)))


if __name__ == "__main__":
    sys.exit(main())
