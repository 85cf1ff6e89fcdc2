#!/usr/bin/env python3
"""Soak run of the real program in Xvfb: a few thousand searches from the query box, the
pages switched through the File menu in between, with a recording xdg-open on PATH.

Checks that every search opened exactly one address, of the page then showing, that the
program is still running and has left no unreaped children; measures its resident memory
after a warm-up and at the end, and reports both (memory is reported, not judged).
Bounded: about two minutes.

usage: soak.py --program build/quelm [--searches 2400]
"""

import argparse
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from e2e_support import Session, check, require_tools, run, wait_until  # noqa: E402

TITLE = "QUELM搜索寻踪客"
QUERY_BOX = (100, 369)          # client coordinates, menu bar included
FILE_MENU = (20, 8)
# The engine ticked at start on each page, in page order, as its address begins.
PAGE_HOSTS = ["http://www.google.com/", "http://www.chinamp3.com/", "http://www.onlinedown.net/",
              "http://bingle.pku.edu.cn/"]
BATCH = 60                      # searches between two page switches


def resident_kib(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise RuntimeError("no VmRSS")


def unreaped_children(pid):
    count = 0
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as f:
                fields = f.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        if fields[0] == "Z" and int(fields[1]) == pid:
            count += 1
    return count


def opened(log):
    """The address of every xdg-open start so far, in the order of the starts."""
    urls = []
    for argc, arguments in Session.xdg_open_starts(log):
        check(argc == 1, "xdg-open started with %d arguments: %r" % (argc, arguments))
        urls.append(arguments)
    return urls


def soak(program_path, searches):
    require_tools("Xvfb", "xdotool", "openbox", "trayer")
    with Session(overall_timeout=240) as session:
        desktop = session.desktop
        session.start_tray_desktop()
        folder, log = session.recording_xdg_open()
        env = session.environment(PATH=folder + os.pathsep + os.environ["PATH"])
        env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        process = session.spawn([program_path], "quelm", env)
        window = desktop.wait_for_window("^%s$" % TITLE, 30)
        time.sleep(0.5)
        desktop.click(window, *QUERY_BOX)
        desktop.type_text("soak")

        started = time.monotonic()
        done = 0
        page = 0
        warm_rss = None
        expected_hosts = []
        while done < searches:
            count = min(BATCH, searches - done)
            desktop.xdotool("key", "--delay", "2", *(["Return"] * count))
            expected_hosts += [PAGE_HOSTS[page]] * count
            done += count
            wait_until(lambda: len(opened(log)) >= done, 30, "%d searches to reach xdg-open" % done)
            if warm_rss is None and done >= 4 * BATCH:
                warm_rss = resident_kib(process.pid)
            # Next page through the File menu; the query box keeps the focus.
            page = (page + 1) % len(PAGE_HOSTS)
            desktop.click(window, *FILE_MENU)
            time.sleep(0.3)
            desktop.key(*(["Down"] * (page + 1) + ["Return"]))
            time.sleep(0.2)
        elapsed = time.monotonic() - started
        time.sleep(1.0)

        urls = opened(log)
        check(process.poll() is None, "the program ended during the soak")
        check(len(urls) == searches, "%d searches opened %d addresses" % (searches, len(urls)))
        wrong = [(i, u) for i, (u, host) in enumerate(zip(urls, expected_hosts)) if not u.startswith(host)]
        check(not wrong, "addresses of the wrong page, first: %r" % (wrong[:3],))
        zombies = unreaped_children(process.pid)
        check(zombies <= 2, "%d finished xdg-open children not collected" % zombies)
        end_rss = resident_kib(process.pid)
        print("soak: %d searches, %d page switches in %.1f s; resident memory %d KiB after %d searches, "
              "%d KiB at the end (%+d KiB); %d unreaped children"
              % (searches, searches // BATCH, elapsed, warm_rss or end_rss, 4 * BATCH, end_rss,
                 end_rss - (warm_rss or end_rss), zombies))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--searches", type=int, default=2400)
    args = parser.parse_args()
    return run(lambda: soak(os.path.abspath(args.program), args.searches))


if __name__ == "__main__":
    sys.exit(main())
