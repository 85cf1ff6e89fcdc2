#!/usr/bin/env python3
"""End-to-end test of the built-in browser helper with the real engine:
quelm-browser is started directly with a pipe, driven over its line
protocol and through its window with xdotool, against a local HTTP server.

usage: browser_e2e.py --helper build/quelm-browser
"""

import argparse
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import Session, check, require_tools, run, wait_until  # noqa: E402

TITLE = "Quelm浏览器"
# Client coordinates of the address bar's controls.
EDIT1 = (185 + 200, 7 + 11)
GO = (632 + 40, 4 + 12)
STOP = (80 + 40, 5 + 12)
PAGE = (350, 36 + 200)

PROFILE_WARNING = "Release of profile requested but WebEnginePage still not deleted"


def check_clean_exit(helper, what):
    helper.close_input()
    code = helper.wait(20)
    check(code == 0, "%s: the helper exited with %s" % (what, code))
    wait_until(lambda: not helper.processes_left(), 10, "the engine's processes to end (%s)" % what)
    output = helper.output()
    check(PROFILE_WARNING not in output, "%s: a page outlived its profile:\n%s" % (what, output))
    check("Segmentation" not in output and "Aborted" not in output, "%s: crash:\n%s" % (what, output))


def test_helper(session, helper_path):
    server = session.http_server()
    desktop = session.desktop

    helper = session.start_helper(helper_path, "first-run")
    helper.show()
    window = desktop.wait_for_window(TITLE, 30, interval=0.005)
    print("window shown %.0f ms after the helper started" % ((time.monotonic() - helper.started) * 1000))
    width, height = desktop.geometry(window)[2:]
    check((width, height) == (705, 452), "window size %dx%d" % (width, height))

    # Nothing is loaded before the first navigation.
    time.sleep(0.5)
    check(not server.events, "requests before any navigation: %r" % server.events)

    started = time.monotonic()
    helper.navigate(server.url("/setcookie"))
    server.wait_for("completed", "/setcookie", 30)
    print("first page requested %.0f ms after navigate" % ((time.monotonic() - started) * 1000))

    # Typed without a scheme; Enter does nothing, only 访问 loads it.
    desktop.click(window, *EDIT1)
    desktop.key("ctrl+a")
    desktop.type_text("127.0.0.1:%d/typed" % server.port)
    desktop.key("Return")
    time.sleep(1.5)
    check(not server.seen("request", "/typed"), "Enter in the address box loaded the page")
    desktop.click(window, *GO)
    request = server.wait_for("request", "/typed", 15)[0]
    check(request[2].get("Cookie") == "quelm_e2e=kept", "cookie not sent: %r" % request[2])

    # A link that asks for a new window opens in this one.
    helper.navigate(server.url("/link-new-window"))
    server.wait_for("completed", "/link-new-window", 15)
    time.sleep(1.0)
    desktop.click(window, *PAGE)
    server.wait_for("request", "/popup", 15)
    check(len(desktop.visible_windows(TITLE)) == 1, "a second browser window appeared")

    # 停止 during a slow response: the engine drops the connection long
    # before the server would have finished.
    helper.navigate(server.url("/slow-stop"))
    server.wait_for("request", "/slow-stop", 15)
    time.sleep(1.0)
    check(not server.seen("disconnected", "/slow-stop"), "the slow page ended by itself")
    desktop.click(window, *STOP)
    server.wait_for("disconnected", "/slow-stop", 8)
    check(not server.seen("completed", "/slow-stop"), "the slow page was not stopped")

    # A refused navigation shows the error box; the helper carries on.
    helper.navigate("")
    box = desktop.wait_for_window("QUELM搜索寻踪客", 10)
    desktop.xdotool("windowactivate", "--sync", box, check_rc=False)
    desktop.key("Return")
    wait_until(lambda: not desktop.visible_windows("QUELM搜索寻踪客"), 10, "the error box to close")
    helper.navigate(server.url("/after-error"))
    server.wait_for("completed", "/after-error", 15)

    # Closing the window hides it; show brings it back where it was, with the
    # same page (Qt may give it a new X window on the way).
    desktop.xdotool("windowmove", window, 40, 60)
    wait_until(lambda: desktop.geometry(window)[:2] == (40, 60), 10, "the window to move")
    desktop.close(window)
    wait_until(lambda: not desktop.visible_windows(TITLE), 10, "the window to hide")
    helper.show()
    window = desktop.wait_for_window(TITLE, 10)
    check(desktop.geometry(window)[:2] == (40, 60), "shown again at %r" % (desktop.geometry(window),))
    time.sleep(0.5)
    check(len(server.seen("request", "/after-error")) == 1, "showing again reloaded the page")

    # Quitting while a page is still loading.
    helper.navigate(server.url("/slow-quit"))
    server.wait_for("request", "/slow-quit", 15)
    check_clean_exit(helper, "quit while loading")

    # A second run keeps the cookie and quits cleanly while idle.
    helper = session.start_helper(helper_path, "second-run")
    helper.show()
    desktop.wait_for_window(TITLE, 30)
    helper.navigate(server.url("/second-run"))
    request = server.wait_for("completed", "/second-run", 30)
    check(server.seen("request", "/second-run")[0][2].get("Cookie") == "quelm_e2e=kept",
          "the cookie did not last to the next run")
    time.sleep(0.5)
    check_clean_exit(helper, "quit while idle")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--helper", required=True)
    args = parser.parse_args()
    require_tools("Xvfb", "xdotool")
    with Session() as session:
        return run(lambda: test_helper(session, args.helper))


if __name__ == "__main__":
    sys.exit(main())
