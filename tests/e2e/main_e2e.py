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
     typed into the browser window and "访问" reach it too; closing the main
     window ends the browser helper as well.

usage: main_e2e.py --program build/quelm
"""

import argparse
import os
import sys
import time
import urllib.parse

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import Session, TestFailure, check, require_tools, run, wait_until  # noqa: E402

TITLE = "QUELM搜索寻踪客"
BROWSER_TITLE = "Quelm浏览器"

# Client coordinates in the main window (its menu bar included).
QUERY_BOX = (100, 369)
GO_BUTTON = (117, 404)
BAIDU_CHECK_BOX = (142, 32)
# ... and in the browser window.
BROWSER_ADDRESS = (185 + 200, 7 + 11)
BROWSER_GO = (632 + 40, 4 + 12)

QUERY = "Qt 中文&b"
QUERY_ENCODED = "Qt%20%D6%D0%CE%C4%26b"  # GB18030, percent-encoded


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
        env.pop("DBUS_SESSION_BUS_ADDRESS", None)  # Qt would try the D-Bus tray; trayer speaks XEmbed
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
    check(opened_urls(log) == ["http://www.google.com/search?q=" + QUERY_ENCODED],
          "first search opened %r" % opened_urls(log))

    # 2. A second engine ticked by a click, then the button.
    program.click(BAIDU_CHECK_BOX)
    program.click(GO_BUTTON)
    urls = wait_for_urls(log, 3, "the second search")
    time.sleep(0.5)
    check(opened_urls(log)[1:] == ["http://www.google.com/search?q=" + QUERY_ENCODED,
                                   "http://www.baidu.com/baidu?word=" + QUERY_ENCODED],
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


def helper_processes(helper_path, display):
    """The processes running helper_path on this display: other tests may run it at the same time."""
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/environ" % pid, "rb") as f:
                if (os.readlink("/proc/%s/exe" % pid) == helper_path
                        and ("DISPLAY=" + display).encode() in f.read().split(b"\0")):
                    found.append(int(pid))
        except OSError:
            pass
    return found


def test_built_in_browser(session, program_path, helper_path):
    desktop = session.desktop
    server = session.http_server()
    config = os.path.join(session.work_dir, "config", "quelm_search")
    os.makedirs(config, exist_ok=True)
    with open(os.path.join(config, "quelm_search.ini"), "w") as f:
        f.write("[General]\nquelm_ie=yes\n")
    folder, log = session.recording_xdg_open()
    # The engine's hosts are out of reach here: the engine sends everything to the local server.
    flags = "--proxy-server=127.0.0.1:%d" % server.port
    program = Program(session, program_path, "quelm-built-in",
                      {"PATH": folder + os.pathsep + os.environ["PATH"], "QTWEBENGINE_CHROMIUM_FLAGS": flags})
    check(not helper_processes(helper_path, session.display.name), "the browser helper runs before it is needed")

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
    check(helper_processes(helper_path, session.display.name), "no browser helper process found")

    # Closing the main window ends the program, and the helper with it.
    desktop.close(program.window)
    code = program.process.wait(20)
    check(code == 0, "the program ended with %s" % code)
    wait_until(lambda: not helper_processes(helper_path, session.display.name), 20, "the browser helper to end")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--helper")
    args = parser.parse_args()
    require_tools("Xvfb", "xdotool", "openbox", "trayer")
    with Session(overall_timeout=200) as session:
        code = run(lambda: test_main_window(session, os.path.abspath(args.program)))
    if code or not args.helper:
        return code
    with Session(overall_timeout=200) as session:
        return run(lambda: test_built_in_browser(session, os.path.abspath(args.program),
                                                 os.path.abspath(args.helper)))


if __name__ == "__main__":
    sys.exit(main())
