#!/usr/bin/env python3
"""Takes the README's screenshots from the real program: a private Xvfb with
openbox, the windows opened through the menus with xdotool, each captured
with ImageMagick's `import -window`, written to docs/screenshots/.

The main window and the settings dialog are taken once more under GNOME's dark style
(qt6-gtk-platformtheme, GTK_THEME=Adwaita:dark). Runs in a D-Bus session of its own.

usage: tools/screenshots.py [build-dir]     (default: build)
Needs xvfb, openbox, xdotool, imagemagick, dbus-daemon and qt6-gtk-platformtheme
(tools/debian-packages.txt).
"""

import http.server
import os
import re
import subprocess
import sys
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
from e2e_support import Session, require_tools  # noqa: E402

OUT = os.path.join(ROOT, "docs", "screenshots")
FILE_MENU = (16, 10)              # client coordinates of the menu bar's 文件
ADDRESS_BOX = (185 + 200, 7 + 11)  # the built-in browser's address box
GO_BUTTON = (632 + 40, 4 + 12)     # and its 访问 button
CHECK_BUTTON = (272 + 35, 350 + 12)  # 搜索引擎管理's 检测

# What the stand-in web answers each engine host of the 综合 page with, for 检测: the program
# reaches it as the desktop's proxy. Any other host gets no answer at all, as most of the
# catalogue's services today.
CHECK_ANSWERS = {
    "www.google.com": (200, None),
    "www.baidu.com": (200, None),
    "search.sina.com.cn": (404, None),
    "search.sohu.com": ("hang", None),
    "search.163.com": (302, "/loop"),
    "isearch.hc360.com": (301, "/moved"),
    "www.chinasearch.com.cn": (500, None),
    "e.pku.edu.cn": (200, None),
}


class StandInWeb(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        host, _, path = self.path.partition("://")[2].partition("/")
        status, location = CHECK_ANSWERS.get(host, (None, None))
        if path.startswith("moved") or path.startswith("loop") and host != "search.163.com":
            status, location = 200, None
        if status == "hang":
            time.sleep(12)
            return
        if status is None:
            self.close_connection = True
            return
        self.send_response(status)
        if location:
            self.send_header("Location", location)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def do_CONNECT(self):  # the user's https engines: nothing behind the proxy
        self.close_connection = True

    def log_message(self, *args):
        pass


class StandInServer(http.server.ThreadingHTTPServer):
    request_queue_size = 64
    daemon_threads = True


ENGINES_FILE = """[ts1]
hidden = syahoo s163 scs

[engine]
page = ts1
name = Bing
address = https://www.bing.com/search?q=%s
ticked = yes

[engine]
page = ts1
name = DuckDuckGo
address = https://duckduckgo.com/html/?q=%s

[engine]
page = ts1
name = 维基百科
address = https://zh.wikipedia.org/w/index.php?search=%s

[engine]
page = ts1
name = 百度 (UTF-8)
address = https://www.baidu.com/s?wd=%s&ie=utf-8
charset = UTF-8
"""


def open_menu_item(desktop, window, title_index, item_index):
    desktop.click(window, *FILE_MENU)
    time.sleep(0.5)
    for _ in range(title_index):
        desktop.key("Right")
        time.sleep(0.2)
    # A menu reached with Right opens with its first item active; one opened by a click does not.
    for _ in range(item_index + (0 if title_index else 1)):
        desktop.key("Down")
        time.sleep(0.1)
    desktop.key("Return")


def capture(desktop, window, name):
    desktop.xdotool("windowactivate", "--sync", window, check_rc=False)
    desktop.xdotool("windowraise", window)
    time.sleep(0.8)
    path = os.path.join(OUT, name)
    subprocess.run(["import", "-frame", "-window", window, path], env=desktop.env, check=True, timeout=30)
    print("wrote " + os.path.relpath(path, ROOT))


def openbox_config(work_dir):
    """The stock configuration with a title font that has the Chinese glyphs and is not
    made bold by smearing them."""
    with open("/etc/xdg/openbox/rc.xml") as f:
        text = f.read()
    text = re.sub(r"<weight>bold</weight>", "<weight>normal</weight>", text)
    text = re.sub(r"<name>sans</name>", "<name>AR PL UMing CN</name>", text)
    path = os.path.join(work_dir, "openbox-rc.xml")
    with open(path, "w") as f:
        f.write(text)
    return path


def take_windows(desktop, main, suffix):
    """The main window and the settings dialog: the shots taken under both colour schemes."""
    capture(desktop, main, "main-window%s.png" % suffix)
    open_menu_item(desktop, main, 1, 0)  # 设置 → 系统设置
    settings = desktop.wait_for_window("^Quelm设置$", 15)
    capture(desktop, settings, "settings-dialog%s.png" % suffix)
    desktop.key("Escape")
    time.sleep(0.5)


def take(session, build_dir):
    desktop = session.desktop
    standin_dir = os.path.join(session.work_dir, "bin")
    os.makedirs(standin_dir)
    with open(os.path.join(standin_dir, "xdg-open"), "w") as f:
        f.write("#!/bin/sh\nexit 0\n")  # no real browser pops up over the windows
    os.chmod(os.path.join(standin_dir, "xdg-open"), 0o755)
    env = session.environment(PATH=standin_dir + os.pathsep + os.environ.get("PATH", "/usr/bin:/bin"))
    program = [os.path.join(build_dir, "quelm")]
    session.spawn(["openbox", "--sm-disable", "--config-file", openbox_config(session.work_dir)], "openbox", env)
    time.sleep(1.0)
    process = session.spawn(program, "quelm", env)
    main = desktop.wait_for_window("^QUELM搜索寻踪客$", 30)
    time.sleep(2.0)
    take_windows(desktop, main, "")

    open_menu_item(desktop, main, 2, 1)  # 帮助 → 关于
    about = desktop.wait_for_window("^关于本软件$", 15)
    capture(desktop, about, "about-box.png")
    desktop.key("Escape")
    time.sleep(0.5)

    open_menu_item(desktop, main, 0, 4)  # 文件 → Quelm浏览器
    browser = desktop.wait_for_window("^Quelm浏览器$", 60)
    time.sleep(2.0)
    # No network needed: the program's own help page, typed into the address box.
    desktop.click(browser, *ADDRESS_BOX)
    desktop.key("ctrl+a")
    desktop.type_text("file://" + os.path.join(ROOT, "help", "index.htm"))
    desktop.click(browser, *GO_BUTTON)
    time.sleep(4.0)
    capture(desktop, browser, "built-in-browser.png")
    desktop.close(main)
    process.wait(30)

    # GNOME's dark style: the windows must read exactly as under the default one.
    dark = dict(env, QT_QPA_PLATFORMTHEME="gtk3", GTK_THEME="Adwaita:dark")
    process = session.spawn(program, "quelm-dark", dark)
    main = desktop.wait_for_window("^QUELM搜索寻踪客$", 30)
    time.sleep(2.0)
    take_windows(desktop, main, "-dark")
    desktop.close(main)
    process.wait(30)

    # The user's engines: three built-in ones hidden on 综合, four of the user's own after them.
    folder = os.path.join(env["XDG_CONFIG_HOME"], "quelm_search")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "engines.ini"), "w", encoding="utf-8") as f:
        f.write(ENGINES_FILE)
    process = session.spawn(program, "quelm-engines", env)
    main = desktop.wait_for_window("^QUELM搜索寻踪客$", 30)
    time.sleep(2.0)
    capture(desktop, main, "main-window-engines.png")
    open_menu_item(desktop, main, 1, 2)  # 设置 → 搜索引擎管理
    manager = desktop.wait_for_window("^搜索引擎管理$", 15)
    capture(desktop, manager, "engine-manager.png")
    desktop.close(main)
    process.wait(30)

    # 检测 against the stand-in web, with one engine silent until its 10 s are up.
    web = StandInServer(("127.0.0.1", 0), StandInWeb)
    threading.Thread(target=web.serve_forever, daemon=True).start()
    proxy = "http://127.0.0.1:%d" % web.server_address[1]
    process = session.spawn(program, "quelm-check", dict(env, http_proxy=proxy, https_proxy=proxy))
    main = desktop.wait_for_window("^QUELM搜索寻踪客$", 30)
    time.sleep(2.0)
    open_menu_item(desktop, main, 1, 2)  # 设置 → 搜索引擎管理
    manager = desktop.wait_for_window("^搜索引擎管理$", 15)
    time.sleep(1.0)
    desktop.click(manager, *CHECK_BUTTON)
    time.sleep(12.0)
    capture(desktop, manager, "engine-check.png")
    desktop.close(main)
    process.wait(30)
    web.shutdown()


def main():
    if os.environ.get("QUELM_OWN_BUS") != "1":
        # The GTK style talks to the session bus; a private one leaves nothing running afterwards.
        os.execvp("dbus-run-session", ["dbus-run-session", "--", "env", "QUELM_OWN_BUS=1", sys.executable]
                  + sys.argv)
    build_dir = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build"))
    require_tools("Xvfb", "openbox", "xdotool", "import")
    os.makedirs(OUT, exist_ok=True)
    with Session(overall_timeout=200) as session:
        take(session, build_dir)
    return 0


if __name__ == "__main__":
    sys.exit(main())
