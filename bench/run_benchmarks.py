#!/usr/bin/env python3
"""Runs every benchmark program side by side and prints one table (Markdown).

    python3 bench/run_benchmarks.py --build build-bench [--rounds N] [--no-callgrind]

tools/bench.sh builds the tree first and then calls this. Everything runs in a
private Xvfb with private XDG folders; the figures are medians of repeated
runs, and every goal is a ratio against a reference measured in the same run,
so that a busy machine shifts both sides alike.
"""

import argparse
import os
import platform
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def parse(line):
    """'name k=v k=v' -> (name, {k: float})"""
    parts = line.split()
    values = {}
    for part in parts[1:]:
        key, _, value = part.partition("=")
        values[key] = float(value)
    return parts[0], values


def run_lines(command, env, timeout=600):
    result = subprocess.run(command, env=env, capture_output=True, text=True, timeout=timeout)
    if result.returncode != 0:
        raise RuntimeError("%s failed (%d): %s" % (" ".join(command), result.returncode, result.stderr[-2000:]))
    return [parse(l) for l in result.stdout.splitlines() if "=" in l]


def median(values):
    return statistics.median(values) if values else float("nan")


class Xvfb:
    def __init__(self):
        read_fd, write_fd = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        os.close(write_fd)
        number = b""
        with os.fdopen(read_fd, "rb", buffering=0) as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(16)
                if not chunk:
                    break
                number += chunk
        if not number.strip():
            self.stop()
            raise RuntimeError("Xvfb did not start")
        self.name = ":" + number.decode().strip()

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(5)


class Bench:
    def __init__(self, build, work, display, compare=None):
        self.build = build
        self.bench = os.path.join(build, "bench")
        self.compare = compare   # another build of the program, measured in the same run ("before")
        self.work = work
        self.display = display
        self.rows = []   # (section, measure, quelm, reference, ratio, goal, before)

    def program(self, name, build=None):
        return os.path.join(build or self.build, "bench", name)

    def env(self, config=None, **extra):
        env = dict(os.environ)
        for key in ("QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "QT_LOGGING_RULES", "QUELM_BENCH_ASCII_LABEL",
                    "QUELM_BENCH_STANDIN_MS", "SESSION_MANAGER"):
            env.pop(key, None)
        runtime = os.path.join(self.work, "runtime")
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        env.update(XDG_RUNTIME_DIR=runtime,
                   XDG_CONFIG_HOME=config or os.path.join(self.work, "config"),
                   XDG_DATA_HOME=os.path.join(self.work, "data"),
                   XDG_CACHE_HOME=os.path.join(self.work, "cache"))
        if self.display:
            env["DISPLAY"] = self.display
        env.update(extra)
        return env

    def add(self, section, measure, quelm, reference="", ratio="", goal="", before=""):
        self.rows.append((section, measure, quelm, reference, ratio, goal, before))

    # ---- 1, 2, 6: start-up and memory ----

    def config_dir(self, settings, quelm):
        """settings: "" (none), "ini" (a settings file holding "yes"), "ini+autostart" or "engines"
        (20 of the user's engines on the page shown at start)."""
        path = tempfile.mkdtemp(prefix="config-", dir=self.work)
        if settings == "engines":
            os.makedirs(os.path.join(path, "quelm_search"))
            with open(os.path.join(path, "quelm_search", "engines.ini"), "w", encoding="utf-8") as f:
                for i in range(20):
                    f.write("[engine]\npage = ts1\nname = 引擎%d\naddress = https://e%d.example.cn/?q=%%s\n\n"
                            % (i + 1, i + 1))
            return path
        if settings:
            os.makedirs(os.path.join(path, "quelm_search"))
            with open(os.path.join(path, "quelm_search", "quelm_search.ini"), "w") as f:
                f.write("[General]\nquelm_ie=yes\n")
        if settings == "ini+autostart":
            os.makedirs(os.path.join(path, "autostart"))
            with open(os.path.join(path, "autostart", "com.quelm.Search.desktop"), "w") as f:
                f.write("[Desktop Entry]\nType=Application\nName=QUELM搜索寻踪客\nExec=%s\n"
                        "X-GNOME-Autostart-enabled=true\n" % quelm)
        return path

    def startup(self, rounds):
        harness = self.program("bench_startup")
        if not os.path.exists(harness):
            self.add("start-up", "skipped: bench_startup not built (libxdamage-dev missing)", "")
            return
        quelm = os.path.join(self.build, "quelm")
        variants = [
            ("minimal", [self.program("bench_minimal")], "", {}),
            ("quelm", [quelm], "", {}),
            ("quelm_yes", [quelm], "ini", {}),
            ("quelm_settings", [quelm], "ini+autostart", {}),
            ("quelm_engines", [quelm], "engines", {}),
            ("minimal_ascii", [self.program("bench_minimal")], "", {"QUELM_BENCH_ASCII_LABEL": "1"}),
            # The main window's size and its stored place (696, 27).
            ("minimal_large", [self.program("bench_minimal")], "", {"QUELM_BENCH_GEOMETRY": "234x520+696+27"}),
        ]
        if self.compare:
            variants.append(("quelm_before", [os.path.join(self.compare, "quelm")], "", {}))
        results = {name: [] for name, *_ in variants}
        for _ in range(2):   # warm the caches (fontconfig, page cache) for every program alike
            for name, command, settings, extra in variants:
                self._start_once(harness, command, settings, extra, quelm)
        for round_number in range(rounds):
            # A different order each round, so that no program always follows the same one.
            order = variants[round_number % len(variants):] + variants[:round_number % len(variants)]
            for name, command, settings, extra in order:
                results[name].append(self._start_once(harness, command, settings, extra, quelm))

        def med(name, key):
            return median([r[key] for r in results[name]])

        ref_paint, ref_hwm = med("minimal", "paint_us"), med("minimal", "vmhwm_kb")
        q_paint, q_hwm = med("quelm", "paint_us"), med("quelm", "vmhwm_kb")
        before = lambda key, scale, fmt: (fmt % (med("quelm_before", key) / scale)) if self.compare else ""
        self.add("start-up", "spawn to first frame of the main window, ms (no settings file)",
                 "%.1f" % (q_paint / 1000), "%.1f" % (ref_paint / 1000), "%.2f×" % (q_paint / ref_paint), "≤ 1.15×",
                 before("paint_us", 1000, "%.1f"))
        y_paint = med("quelm_yes", "paint_us")
        self.add("start-up", "… with a settings file holding \"yes\", ms",
                 "%.1f" % (y_paint / 1000), "%.1f" % (ref_paint / 1000), "%.2f×" % (y_paint / ref_paint), "≤ 1.15×")
        s_paint = med("quelm_settings", "paint_us")
        self.add("start-up", "… with a settings file and an autostart entry, ms",
                 "%.1f" % (s_paint / 1000), "%.1f" % (ref_paint / 1000), "%.2f×" % (s_paint / ref_paint), "≤ 1.15×")
        e_paint = med("quelm_engines", "paint_us")
        self.add("start-up", "… with 20 of the user's engines on the page shown at start, ms",
                 "%.1f" % (e_paint / 1000), "%.1f" % (q_paint / 1000), "%.2f×" % (e_paint / q_paint),
                 "≤ 1.05× (against none)")
        self.add("start-up", "spawn to main window mapped, ms",
                 "%.1f" % (med("quelm", "map_us") / 1000), "%.1f" % (med("minimal", "map_us") / 1000),
                 "%.2f×" % (med("quelm", "map_us") / med("minimal", "map_us")), "", before("map_us", 1000, "%.1f"))
        a_paint = med("minimal_ascii", "paint_us")
        self.add("start-up", "(for comparison: a QLabel with ASCII text only, ms)", "",
                 "%.1f" % (a_paint / 1000), "%.2f×" % (q_paint / a_paint))
        l_paint = med("minimal_large", "paint_us")
        self.add("start-up", "(for comparison: the same QLabel in a window of the main window's size and place, ms)",
                 "", "%.1f" % (l_paint / 1000), "%.2f×" % (q_paint / l_paint))
        self.add("memory", "peak RSS (VmHWM) idle after start-up, MiB",
                 "%.1f" % (q_hwm / 1024), "%.1f" % (ref_hwm / 1024), "%.2f×" % (q_hwm / ref_hwm), "≤ 1.2×",
                 before("vmhwm_kb", 1024, "%.1f"))
        s_hwm = med("quelm_settings", "vmhwm_kb")
        self.add("memory", "… with a settings file and an autostart entry, MiB",
                 "%.1f" % (s_hwm / 1024), "%.1f" % (ref_hwm / 1024), "%.2f×" % (s_hwm / ref_hwm), "≤ 1.2×")
        a_hwm = med("minimal_ascii", "vmhwm_kb")
        self.add("memory", "(for comparison: a QLabel with ASCII text only, MiB)", "",
                 "%.1f" % (a_hwm / 1024), "%.2f×" % (q_hwm / a_hwm))
        self.add("start-up", "window size painted (quelm / reference)",
                 "%dx%d" % (results["quelm"][0]["width"], results["quelm"][0]["height"]),
                 "%dx%d" % (results["minimal"][0]["width"], results["minimal"][0]["height"]))

    def _start_once(self, harness, command, settings, extra, quelm):
        config = self.config_dir(settings, quelm)
        try:
            lines = run_lines([harness, "--idle-ms", "1000", "--"] + command,
                              self.env(config=config, QT_QPA_PLATFORM="xcb", **extra), timeout=120)
        finally:
            shutil.rmtree(config, ignore_errors=True)
        return lines[-1][1]

    # ---- 3, 6: search ----

    def search(self, rounds):
        # A temporary folder of its own, so that what other programs write there does not count.
        tmp = os.path.join(self.work, "tmp")
        os.makedirs(tmp, exist_ok=True)
        env = self.env(TMPDIR=tmp)
        standin = self.program("bench_xdg_open")
        searches, spawns, detached, zombies, written, old = {}, {}, [], [], [], []
        # The page's row count, from one quick run.
        most = max(int(v["rows"]) for name, v in run_lines([self.program("bench_search"), "1", "0", "all"], env)
                   if name == "search")
        for _ in range(rounds):
            # Each row count measured right next to its reference, so that both see the same load.
            for count in range(1, most + 1):
                for name, values in run_lines([self.program("bench_search"), "20", "0", str(count)], env):
                    if name == "search":
                        searches.setdefault(count, []).append(values)
                    elif name == "search:files":
                        written.append(values["folders_written"])
                    else:
                        zombies.append(values["zombies"])
                opens = int(searches[count][-1]["opens"])
                for name, values in run_lines([self.program("bench_spawn"), standin, str(opens), "20"], env):
                    spawns.setdefault(count, []).append(values)
            opens = int(searches[most][-1]["opens"])
            detached += [v["median_us"] for _, v in
                         run_lines([self.program("bench_spawn"), standin, str(opens), "20", "qprocess"], env)]
            if self.compare:
                old += [v["median_us"] for name, v in
                        run_lines([self.program("bench_search", self.compare), "20", "0", "all"], env)
                        if name == "search"]
        full = max(searches)
        for rows in sorted(searches):
            s = median([v["median_us"] for v in searches[rows]])
            b = median([v["median_us"] for v in spawns[rows]])
            opens = int(searches[rows][-1]["opens"])
            label = ("one search, every row of the page ticked (%d rows, %d browser starts), µs" % (rows, opens)
                     if rows == full else "search with %d ticked row%s (%d start%s), µs"
                     % (rows, "" if rows == 1 else "s", opens, "" if opens == 1 else "s"))
            self.add("search" if rows == full else "growth", label, "%.0f" % s, "%.0f" % b, "%.2f×" % (s / b),
                     "≤ 1.2×" if rows == full else "", "%.0f" % median(old) if old and rows == full else "")
            if rows == full:
                full_row = self.rows.pop()
        self.rows.insert(len(self.rows) - len(searches) + 1, full_row)
        full_search = median([v["median_us"] for v in searches[full]])
        if "starts_us" in searches[full][0]:
            own = [v["median_us"] - v["starts_us"] for v in searches[full]]
            self.add("search", "… of which the search's own work (all but the %d starts), µs"
                     % int(searches[full][-1]["opens"]), "%.0f" % median(own), "", "", "report")
            single = [v["median_us"] - v["starts_us"] for v in searches[min(searches)]]
            self.add("growth", "… with 1 ticked row, the search's own work (all but the start), µs",
                     "%.0f" % median(single), "", "", "≤ 100")
        self.add("search", "(for comparison: the bare program with QProcess::startDetached, %d starts), µs"
                 % int(searches[full][-1]["opens"]), "", "%.0f" % median(detached),
                 "%.2f×" % (full_search / median(detached)))
        slow = run_lines([self.program("bench_search"), "3", "2000", "all"], env)[0][1]
        self.add("search", "same search with a stand-in that stays 2 s (no waiting on the browser), µs",
                 "%.0f" % slow["median_us"], "", "", "≪ 2,000,000")
        self.add("search", "stand-ins left as zombies after the searches", "%d" % max(zombies), "", "", "0")
        self.add("search", "folders a search wrote in (the settings folder, the temporary folder)",
                 "%d" % max(written), "", "", "0")

    # ---- 5: painting ----

    def paint(self, rounds, callgrind):
        env = self.env()
        builds = [self.build] + ([self.compare] if self.compare else [])
        times = {build: {} for build in builds}
        for _ in range(rounds):
            for build in builds:
                for name, values in run_lines([self.program("bench_paint", build), "40"], env):
                    times[build].setdefault(name.split(":", 1)[1], []).append(values)
        instructions = {build: {} for build in builds}
        if callgrind and shutil.which("valgrind"):
            for build in builds:
                for target in times[build]:
                    instructions[build][target] = self._instructions(build, target, times[build][target][0], env)
        for target, values in times[self.build].items():
            size = "%dx%d" % (values[0]["width"], values[0]["height"])
            what = "full repaint of the main window" if target == "TForm1" else "one paint of %s" % target
            before = ""
            if self.compare:
                before = "%.1f" % median([v["median_us"] for v in times[self.compare][target]])
            self.add("paint", "%s (%s), µs" % (what, size), "%.1f" % median([v["median_us"] for v in values]),
                     "", "", "report", before)
            if target in instructions[self.build]:
                self.add("paint", "… instructions per paint (callgrind), thousands",
                         "%.0f" % (instructions[self.build][target] / 1000), "", "", "report",
                         "%.0f" % (instructions[self.compare][target] / 1000) if self.compare else "")

    def _instructions(self, build, target, sample, env):
        """Instructions of one paint: two callgrind runs of different lengths, the difference
        divided by the extra paints, so that start-up and first-paint costs drop out."""
        counts = []
        for batches in ("1", "3"):
            out = os.path.join(self.work, "callgrind.out")
            subprocess.run(["valgrind", "--tool=callgrind", "--toggle-collect=BenchRenderLoop*",
                            "--callgrind-out-file=" + out, self.program("bench_paint", build), batches, target],
                           env=env, capture_output=True, check=True, timeout=900)
            with open(out) as f:
                total = re.search(r"^(?:summary|totals):\s*(\d+)", f.read(), re.M)
            counts.append(int(total.group(1)))
        per_batch = sample["renders"] / 41   # renders = paints per batch * (batches + 1)
        return (counts[1] - counts[0]) / (2 * per_batch)

    # ---- 4: the built-in browser ----

    def navigate(self, rounds=3):
        program = self.program("bench_navigate")
        if not os.path.exists(program):
            self.add("built-in browser", "skipped: the helper quelm-browser is not built", "")
            return
        env = self.env(QT_QPA_PLATFORM="xcb")
        builds = [("quelm", self.build)]
        if self.compare and os.path.exists(self.program("bench_navigate", self.compare)):
            builds.append(("before", self.compare))
        samples = {name: [] for name, _ in builds}
        for _ in range(rounds):
            for name, build in builds:
                samples[name].append(dict(run_lines([self.program("bench_navigate", build), "10"], env, timeout=300)))

        def row(measure, key, field, scale, fmt):
            values = {name: [s[key][field] / scale for s in runs if field in s[key]] for name, runs in samples.items()}
            if not values["quelm"]:
                return
            before = fmt % median(values["before"]) if values.get("before") else ""
            self.add("built-in browser", measure, fmt % median(values["quelm"]), "", "", "report", before)

        row("first show + navigate: helper started, request at the local server, ms",
            "navigate:first", "request_ms", 1, "%.0f")
        row("… of which the calls themselves (no waiting on the page), ms", "navigate:first", "call_us", 1000, "%.1f")
        row("… first show: waits for the helper to start and answer, ms", "navigate:first", "show_us", 1000, "%.1f")
        row("… first navigate: answered before the engine is up, µs", "navigate:first", "navigate_us", 1, "%.0f")
        row("later navigation: request at the local server, ms", "navigate:later", "request_ms", 1, "%.0f")
        row("… of which the call itself (with its answer: the round trip), µs", "navigate:later", "call_us", 1, "%.0f")
        row("… the fastest of these calls, µs", "navigate:later", "call_min_us", 1, "%.0f")
        memory = samples["quelm"][-1]["navigate:memory"]
        self.add("built-in browser", "memory the engine adds: RSS / PSS of the helper's %d processes, MiB"
                 % memory["processes"], "%.0f / %.0f" % (memory["rss_kb"] / 1024, memory["pss_kb"] / 1024),
                 "", "", "report")

    # ---- the engine check ----

    def check(self, rounds=5, engines=33):
        """quelm-check asking `engines` addresses, each on a host of its own (127.0.0.n), of a
        server in this process that answers at once: the check's own cost, without the network's.
        Its peak RSS is what a check adds to the session; the main program only holds the pipes."""
        import http.server
        import resource
        import threading

        class Answer(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                self.send_response(200)
                self.send_header("Content-Length", "2048")
                self.end_headers()
                self.wfile.write(b"x" * 2048)

            def log_message(self, *args):
                pass

        class Server(http.server.ThreadingHTTPServer):
            request_queue_size = 64  # the default 5 drops the eighth SYN, and the client retries after 1 s

        server = Server(("0.0.0.0", 0), Answer)
        threading.Thread(target=server.serve_forever, daemon=True).start()
        port = server.server_address[1]
        requests = "".join("check %d http://127.0.0.%d:%d/s?q=quelm\n" % (i, i + 1, port) for i in range(engines))
        measure = ("import resource, subprocess, sys, time\n"
                   "t = time.monotonic()\n"
                   "r = subprocess.run([sys.argv[1]], input=sys.stdin.buffer.read(), capture_output=True)\n"
                   "print('check ms=%f rss_kb=%d answers=%d rc=%d' % ((time.monotonic() - t) * 1000,\n"
                   "      resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss, r.stdout.count(b'status '),"
                   " r.returncode))\n")
        times, memory = [], []
        try:
            for _ in range(rounds):
                result = subprocess.run([sys.executable, "-c", measure, os.path.join(self.build, "quelm-check")],
                                        input=requests.encode(), capture_output=True, env=self.env(), timeout=120)
                _, values = parse(result.stdout.decode().strip())
                if values["answers"] != engines or values["rc"] != 0:
                    raise RuntimeError("quelm-check answered %d of %d: %s" % (values["answers"], engines, result.stderr))
                times.append(values["ms"])
                memory.append(values["rss_kb"])
        finally:
            server.shutdown()
        self.add("engine check", "%d engines answering at once: helper started to every answer in, ms" % engines,
                 "%.0f" % median(times), "", "", "report")
        self.add("engine check", "memory a check adds while it runs: the helper's peak RSS, MiB",
                 "%.1f" % (median(memory) / 1024), "", "", "report")

    def table(self):
        if self.compare:
            lines = ["| part | measure | before | quelm | reference | ratio | goal |",
                     "|---|---|---:|---:|---:|---:|---|"]
            cells = [[r[0], r[1], r[6], r[2], r[3], r[4], r[5]] for r in self.rows]
        else:
            lines = ["| part | measure | quelm | reference | ratio | goal |", "|---|---|---:|---:|---:|---|"]
            cells = [list(r[:6]) for r in self.rows]
        for row in cells:
            lines.append("| " + " | ".join(str(c) for c in row) + " |")
        return "\n".join(lines)


def machine():
    cpu = "unknown CPU"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
    with open("/proc/meminfo") as f:
        mem = int(f.readline().split()[1]) / 1024 / 1024
    debian = open("/etc/debian_version").read().strip() if os.path.exists("/etc/debian_version") else "?"
    qt = subprocess.run(["dpkg-query", "-W", "-f=${Version}", "libqt6core6"], capture_output=True, text=True).stdout
    return "%s, %d logical CPUs, %.0f GiB RAM, Linux %s, Debian %s, Qt %s, Xvfb" % (
        cpu, os.cpu_count(), mem, platform.release(), debian, qt or "?")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(ROOT, "build-bench"))
    parser.add_argument("--rounds", type=int, default=11, help="start-up runs per program")
    parser.add_argument("--no-callgrind", action="store_true")
    parser.add_argument("--compare", help="another build tree measured alongside (the 'before' column)")
    parser.add_argument("--only", choices=["startup", "search", "paint", "navigate", "check"], action="append")
    args = parser.parse_args()
    only = set(args.only or ["startup", "search", "paint", "navigate", "check"])

    work = tempfile.mkdtemp(prefix="quelm-bench-")
    display = Xvfb()
    try:
        bench = Bench(os.path.abspath(args.build), work, display.name,
                      os.path.abspath(args.compare) if args.compare else None)
        started = time.monotonic()
        if "startup" in only:
            bench.startup(args.rounds)
        if "search" in only:
            bench.search(3)
        if "paint" in only:
            bench.paint(3, not args.no_callgrind)
        if "navigate" in only:
            bench.navigate()
        if "check" in only:
            bench.check()
        print("Machine: " + machine())
        print("Took %.0f s; medians of repeated runs; ratios against the reference measured in the same run.\n"
              % (time.monotonic() - started))
        print(bench.table())
    finally:
        display.stop()
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
