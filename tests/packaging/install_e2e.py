#!/usr/bin/env python3
"""The installed program: `cmake --install` into a fresh prefix, then the
program from <prefix>/bin runs in a private Xvfb, hands the installed help
page to xdg-open (a recording stand-in first on PATH) and starts its browser
helper from <prefix>/lib/quelm.

usage: install_e2e.py --build-dir build [--with-helper]
"""

import argparse
import contextlib
import os
import shutil
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from e2e_support import Session, check, require_tools, run, wait_until  # noqa: E402

MAIN_TITLE = "^QUELM搜索寻踪客$"
BROWSER_TITLE = "^Quelm浏览器$"
# Client coordinates of the menu bar's first title, 文件.
FILE_MENU = (16, 10)

EXPECTED_FILES = [
    "bin/quelm",
    "lib/quelm/quelm-check",
    "share/quelm/help/index.htm",
    "share/applications/com.quelm.Search.desktop",
    "share/metainfo/com.quelm.Search.metainfo.xml",
    "share/icons/hicolor/scalable/apps/com.quelm.Search.svg",
    "share/doc/quelm/copyright",
] + ["share/icons/hicolor/%dx%d/apps/com.quelm.Search.png" % (n, n) for n in (16, 24, 32, 48, 64, 128, 256)]

STANDIN = """#!/bin/sh
printf '%s\\n' "$@" >> "{log}"
"""


def install(build_dir, prefix):
    result = subprocess.run(["cmake", "--install", build_dir, "--prefix", prefix],
                            capture_output=True, text=True, timeout=300)
    check(result.returncode == 0, "cmake --install failed:\n" + result.stdout + result.stderr)


def check_layout(prefix, build_dir, with_helper):
    expected = EXPECTED_FILES + (["lib/quelm/quelm-browser"] if with_helper else [])
    missing = [f for f in expected if not os.path.isfile(os.path.join(prefix, f))]
    check(not missing, "not installed: %s" % ", ".join(missing))
    for program in ["bin/quelm", "lib/quelm/quelm-check"] + (["lib/quelm/quelm-browser"] if with_helper else []):
        path = os.path.join(prefix, program)
        check(os.access(path, os.X_OK), program + " is not executable")
        # A run path into the build tree would make the copy depend on it.
        dynamic = subprocess.run(["readelf", "-d", path], capture_output=True, text=True).stdout
        check("NEEDED" in dynamic, "readelf read no dynamic section of " + program)
        check(os.path.realpath(build_dir) not in dynamic, program + " keeps a run path into the build tree")
    # The metainfo together with the launcher entry and icons it refers to, as installed.
    if shutil.which("appstreamcli"):
        tree = subprocess.run(["appstreamcli", "validate-tree", "--no-net", prefix],
                              capture_output=True, text=True, timeout=60)
        check(tree.returncode == 0, "appstreamcli validate-tree:\n" + tree.stdout + tree.stderr)
    # Nothing beside the program that would let it skip the installed locations.
    beside = sorted(os.listdir(os.path.join(prefix, "bin")))
    check(beside == ["quelm"], "bin/ holds %r" % beside)


def processes_with_exe(path):
    """pid -> parent pid of every process whose executable is path."""
    found = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        with contextlib.suppress(OSError):
            if os.path.realpath("/proc/%s/exe" % entry) != path:
                continue
            with open("/proc/%s/status" % entry) as status:
                for line in status:
                    if line.startswith("PPid:"):
                        found[int(entry)] = int(line.split()[1])
    return found


def open_menu_item(desktop, window, title_index, item_index):
    """Opens the title_index-th menu of the menu bar and triggers its item_index-th item
    (separators do not count), with the keys a user would press once the first menu is open."""
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


def test_installed_program(session, build_dir, with_helper):
    prefix = os.path.realpath(os.path.join(session.work_dir, "prefix"))
    install(build_dir, prefix)
    check_layout(prefix, build_dir, with_helper)

    standin_dir = os.path.join(session.work_dir, "standin")
    os.makedirs(standin_dir)
    log = os.path.join(session.work_dir, "xdg-open.log")
    standin = os.path.join(standin_dir, "xdg-open")
    with open(standin, "w") as f:
        f.write(STANDIN.format(log=log))
    os.chmod(standin, 0o755)

    env = session.environment(PATH=standin_dir + os.pathsep + os.environ.get("PATH", "/usr/bin:/bin"))
    wm = subprocess.Popen(["openbox", "--sm-disable"], env=env, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL, start_new_session=True)
    program_log = open(os.path.join(session.work_dir, "quelm.log"), "wb")
    program = None
    try:
        time.sleep(0.5)
        program = subprocess.Popen([os.path.join(prefix, "bin/quelm")], env=env, cwd=session.work_dir,
                                   stdout=program_log, stderr=subprocess.STDOUT, start_new_session=True)
        desktop = session.desktop
        window = desktop.wait_for_window(MAIN_TITLE, 30)
        time.sleep(1.0)

        # 帮助 → 帮助: the help page of the prefix, not of the source or build tree.
        open_menu_item(desktop, window, 2, 0)
        lines = wait_until(lambda: os.path.exists(log) and open(log).read().split(), 15, "xdg-open to be called")
        expected = "file://" + os.path.join(prefix, "share/quelm/help/index.htm")
        check(lines == [expected], "xdg-open was handed %r, expected %r" % (lines, expected))

        if with_helper:
            # 文件 → Quelm浏览器: the helper from <prefix>/lib/quelm, started by this program.
            helper_path = os.path.join(prefix, "lib/quelm/quelm-browser")
            open_menu_item(desktop, window, 0, 4)
            desktop.wait_for_window(BROWSER_TITLE, 60)
            helpers = wait_until(lambda: processes_with_exe(helper_path), 10, "a process running " + helper_path)
            check(list(helpers.values()) == [program.pid],
                  "helper processes %r, expected one child of %d" % (helpers, program.pid))

        desktop.close(window)
        code = program.wait(30)
        check(code == 0, "the installed program exited with %s" % code)
        if with_helper:
            wait_until(lambda: not processes_with_exe(helper_path), 15, "the helper to end with the program")
    finally:
        for process in (program, wm):
            if process is None:
                continue
            with contextlib.suppress(ProcessLookupError, PermissionError):
                os.killpg(process.pid, signal.SIGKILL)
            with contextlib.suppress(Exception):
                process.wait(5)
        program_log.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--with-helper", action="store_true")
    args = parser.parse_args()
    require_tools("cmake", "Xvfb", "xdotool", "openbox", "readelf")
    with Session(overall_timeout=240) as session:
        try:
            test_installed_program(session, args.build_dir, args.with_helper)
        except Exception:
            path = os.path.join(session.work_dir, "quelm.log")
            if os.path.exists(path):
                print("program output:\n" + open(path, errors="replace").read())
            raise


if __name__ == "__main__":
    sys.exit(run(main))
