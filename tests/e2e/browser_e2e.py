#!/usr/bin/env python3
"""End-to-end test of the built-in browser helper with the real engine:
quelm-browser is started directly with pipes, driven over its line
protocol (every command answered) and through its window with xdotool,
against a local HTTP server. Then the helper where the engine cannot start
and where there is no display.

usage: browser_e2e.py --helper build/quelm-browser
"""

import argparse
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import Session, check, require_tools, run, wait_until  # noqa: E402

OK = ("ok", "")

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


def answered(helper, send, *args):
    """Sends a command and returns its answer and how long it took, in ms."""
    started = time.monotonic()
    send(*args)
    answer = helper.answer(10)
    return answer, (time.monotonic() - started) * 1000


def test_helper(session, helper_path):
    server = session.http_server()
    desktop = session.desktop

    helper = session.start_helper(helper_path, "first-run")
    answer, took = answered(helper, helper.show)
    check(answer == OK, "show answered %r" % (answer,))
    print("first show answered %.0f ms after the helper started" % took)
    window = desktop.wait_for_window(TITLE, 30, interval=0.005)
    print("window shown %.0f ms after the helper started" % ((time.monotonic() - helper.started) * 1000))
    width, height = desktop.geometry(window)[2:]
    check((width, height) == (705, 452), "window size %dx%d" % (width, height))

    started = time.monotonic()
    answer, took = answered(helper, helper.navigate, server.url("/setcookie"))
    check(answer == OK, "navigate answered %r" % (answer,))
    # Answered before the engine is up: the engine takes far longer than this to start.
    check(not server.events, "the first navigation was answered only once the page was requested")
    server.wait_for("completed", "/setcookie", 30)
    # Nothing was loaded before the first navigation: its request is the first the server saw.
    check(server.events[0][:2] == ("request", "/setcookie"), "requests before any navigation: %r" % server.events)
    print("first navigate answered in %.1f ms, page requested %.0f ms after it"
          % (took, (time.monotonic() - started) * 1000))

    # Typed without a scheme; Enter does nothing, only 访问 loads it: the page is asked for once.
    desktop.click(window, *EDIT1)
    desktop.key("ctrl+a")
    desktop.type_text("127.0.0.1:%d/typed" % server.port)
    desktop.key("Return")
    desktop.click(window, *GO)
    server.wait_for("completed", "/typed", 15)
    requests = server.seen("request", "/typed")
    check(len(requests) == 1, "Enter in the address box loaded the page too: %d requests" % len(requests))
    check(requests[0][2].get("Cookie") == "quelm_e2e=kept", "cookie not sent: %r" % requests[0][2])

    # A link that asks for a new window opens in this one.
    answer, took = answered(helper, helper.navigate, server.url("/link-new-window"))
    check(answer == OK, "navigate answered %r" % (answer,))
    print("later navigate answered in %.1f ms" % took)
    server.wait_for("completed", "/link-new-window", 15)
    # Clicked until the page, drawn some time after it arrived, takes the click.
    wait_until(lambda: desktop.click(window, *PAGE) or server.seen("completed", "/popup"), 15, "the link to open",
               interval=0.5)
    check(len(desktop.visible_windows(TITLE)) == 1, "a second browser window appeared")

    # 停止 during a slow response: the engine drops the connection long
    # before the server would have finished.
    check(answered(helper, helper.navigate, server.url("/slow-stop"))[0] == OK, "navigate not answered ok")
    server.wait_for("request", "/slow-stop", 15)
    desktop.click(window, *STOP)
    server.wait_for("disconnected", "/slow-stop", 8)
    check(not server.seen("completed", "/slow-stop"), "the slow page was not stopped")

    # A refused navigation is answered with the message, which the main
    # program shows; the helper shows no box of its own and carries on.
    # The window carries out commands in order: a box for the refused one would be up once the next has loaded.
    answer = answered(helper, helper.navigate, "")[0]
    check(answer == ("error", "无法打开网页：地址为空"), "empty address answered %r" % (answer,))
    check(answered(helper, helper.navigate, server.url("/after-error"))[0] == OK, "navigate not answered ok")
    server.wait_for("completed", "/after-error", 15)
    check(not desktop.visible_windows("QUELM搜索寻踪客"), "the helper opened an error box of its own")

    # Closing the window hides it; show brings it back where it was, with the
    # same page (Qt may give it a new X window on the way).
    desktop.xdotool("windowmove", window, 40, 60)
    wait_until(lambda: desktop.geometry(window)[:2] == (40, 60), 10, "the window to move")
    desktop.close(window)
    wait_until(lambda: not desktop.visible_windows(TITLE), 10, "the window to hide")
    check(answered(helper, helper.show)[0] == OK, "show not answered ok")
    window = desktop.wait_for_window(TITLE, 10)
    check(desktop.geometry(window)[:2] == (40, 60), "shown again at %r" % (desktop.geometry(window),))

    # Quitting while a page is still loading. A reload on showing would have come before this page.
    check(answered(helper, helper.navigate, server.url("/slow-quit"))[0] == OK, "navigate not answered ok")
    server.wait_for("request", "/slow-quit", 15)
    check(len(server.seen("request", "/after-error")) == 1, "showing again reloaded the page")
    check_clean_exit(helper, "quit while loading")

    # A second run keeps the cookie and quits cleanly while idle.
    helper = session.start_helper(helper_path, "second-run")
    check(answered(helper, helper.show)[0] == OK, "show not answered ok")
    desktop.wait_for_window(TITLE, 30)
    check(answered(helper, helper.navigate, server.url("/second-run"))[0] == OK, "navigate not answered ok")
    server.wait_for("completed", "/second-run", 30)
    check(server.seen("request", "/second-run")[0][2].get("Cookie") == "quelm_e2e=kept",
          "the cookie did not last to the next run")
    check_clean_exit(helper, "quit while idle")


def test_engine_cannot_start(session, helper_path):
    """The engine's process is missing: navigations are refused with a message
    that says what to do, instead of the engine taking the helper down."""
    helper = session.start_helper(helper_path, "no-engine", QTWEBENGINEPROCESS_PATH="/nonexistent")
    check(answered(helper, helper.show)[0] == OK, "show not answered ok")
    for _ in range(2):
        answer = answered(helper, helper.navigate, "http://127.0.0.1:9/")[0]
        check(answer[0] == "error" and "QTWEBENGINEPROCESS_PATH" in answer[1] and "/nonexistent" in answer[1],
              "navigation without the engine answered %r" % (answer,))
    print("without the engine: %s" % answer[1])
    check_clean_exit(helper, "without the engine")


def test_no_display(session, helper_path):
    """A display the helper cannot connect to: its last words say so before it ends."""
    helper = session.start_helper(helper_path, "no-display", DISPLAY=":97", XAUTHORITY="/nonexistent")
    answer = helper.answer(20)
    check(answer[0] == "fatal" and "无法连接图形显示“:97”" in answer[1], "no display answered %r" % (answer,))
    check(helper.wait(20) != 0, "the helper went on without a display")
    print("without a display: %s" % answer[1])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--helper", required=True)
    args = parser.parse_args()
    args.helper = os.path.abspath(args.helper)
    require_tools("Xvfb", "xdotool")
    with Session() as session:
        return run(lambda: (test_helper(session, args.helper), test_engine_cannot_start(session, args.helper),
                            test_no_display(session, args.helper)))


if __name__ == "__main__":
    sys.exit(main())
