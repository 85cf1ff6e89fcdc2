"""Shared pieces of the end-to-end tests: a private X display, a recording
HTTP server on 127.0.0.1, the browser helper's line protocol, xdotool, and
clean-up of everything a test started.

Standard library only. Every test builds on `Session`:

    with Session() as s:
        server = s.http_server()
        helper = s.start_helper(path)
        ...

Leaving the block (normally, on failure, SIGTERM or SIGINT) stops every
process and thread the session started.
"""

import contextlib
import ctypes
import ctypes.util
import http.server
import os
import select
import shutil
import signal
import socketserver
import subprocess
import sys
import tempfile
import threading
import time

SKIP = 77  # CTest's SKIP_RETURN_CODE for the e2e tests


class TestFailure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise TestFailure(message)


def wait_until(predicate, timeout, what, interval=0.05):
    """Polls predicate until it returns something true; fails after timeout seconds."""
    deadline = time.monotonic() + timeout
    while True:
        result = predicate()
        if result:
            return result
        if time.monotonic() > deadline:
            raise TestFailure("timed out after %.1f s waiting for %s" % (timeout, what))
        time.sleep(interval)


def require_tools(*names):
    missing = [n for n in names if shutil.which(n) is None]
    if missing:
        print("SKIP: missing " + ", ".join(missing))
        sys.exit(SKIP)


# ---- the browser helper's line protocol (see browser/protocol/PROTOCOL.md) ----

def escape_argument(text):
    out = []
    for unit in _utf16_units(text):
        if unit == 0x5C:
            out.append("\\\\")
        elif 0x21 <= unit <= 0x7E:
            out.append(chr(unit))
        else:
            out.append("\\u%04X" % unit)
    return "".join(out)


def _utf16_units(text):
    data = text.encode("utf-16-le", "surrogatepass")
    return [data[i] | (data[i + 1] << 8) for i in range(0, len(data), 2)]


def encode_show():
    return b"show\n"


def encode_navigate(url):
    return ("navigate " + escape_argument(url) + "\n").encode("ascii")


def unescape_argument(argument):
    units, i = [], 0
    while i < len(argument):
        if argument.startswith("\\\\", i):
            units.append(0x5C)
            i += 2
        elif argument.startswith("\\u", i):
            units.append(int(argument[i + 2:i + 6], 16))
            i += 6
        else:
            units.append(ord(argument[i]))
            i += 1
    data = b"".join(u.to_bytes(2, "little") for u in units)
    return data.decode("utf-16-le", "surrogatepass")


def decode_answer(line):
    """("ok", ""), ("error", message) or ("fatal", message)."""
    word, _, argument = line.rstrip("\r\n").partition(" ")
    return word, unescape_argument(argument)


# ---- X display ----

class VirtualDisplay:
    """Xvfb on a display number it picks itself (-displayfd), so parallel
    tests and other X servers on the machine never collide."""

    def __init__(self, width=1280, height=1024):
        read_fd, write_fd = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "%dx%dx24" % (width, height),
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            start_new_session=True)
        os.close(write_fd)
        number = b""
        deadline = time.monotonic() + 20
        with os.fdopen(read_fd, "rb", buffering=0) as pipe:
            while not number.endswith(b"\n") and time.monotonic() < deadline:
                chunk = pipe.read(16)
                if not chunk:
                    break
                number += chunk
        if not number.strip():
            self.stop()
            raise TestFailure("Xvfb did not start")
        self.name = ":" + number.decode().strip()

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(5)


# ---- HTTP server ----

class RecordingHttpServer:
    """Serves small pages on 127.0.0.1 and records what happens to each
    request: ("request", path, headers), ("completed", path) and
    ("disconnected", path) when the client went away mid-response.

    Routes: /slow... streams a page for `slow_seconds` in small pieces;
    /setcookie sets a persistent cookie; /link-new-window is a page that is one
    big link to /popup with target=_blank; anything else is a small page."""

    slow_seconds = 30

    def __init__(self):
        self.events = []
        self._lock = threading.Lock()
        outer = self

        class Handler(http.server.BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.1"

            def log_message(self, *args):
                pass

            def do_GET(self):
                outer._record(("request", self.path, dict(self.headers)))
                try:
                    if self.path.startswith("/slow"):
                        self._slow()
                    elif self.path.startswith("/setcookie"):
                        self._page("<p>cookie set</p>",
                                   [("Set-Cookie", "quelm_e2e=kept; Max-Age=86400; Path=/")])
                    elif self.path.startswith("/link-new-window"):
                        self._page('<a href="/popup" target="_blank" style="display:block;'
                                   'position:fixed;left:0;top:0;width:100%;height:100%;'
                                   'background:#ddf">open in a new window</a>')
                    else:
                        self._page("<h1>page %s</h1>" % self.path)
                    outer._record(("completed", self.path))
                except (BrokenPipeError, ConnectionResetError):
                    outer._record(("disconnected", self.path))

            def _page(self, body, headers=()):
                data = ("<!DOCTYPE html><html><head><meta charset='utf-8'><title>e2e</title>"
                        "</head><body>%s</body></html>" % body).encode()
                self.send_response(200)
                self.send_header("Content-Type", "text/html; charset=utf-8")
                self.send_header("Content-Length", str(len(data)))
                self.send_header("Cache-Control", "no-store")
                for name, value in headers:
                    self.send_header(name, value)
                self.end_headers()
                self.wfile.write(data)

            def _slow(self):
                self.send_response(200)
                self.send_header("Content-Type", "text/html; charset=utf-8")
                self.send_header("Cache-Control", "no-store")
                self.send_header("Connection", "close")
                self.end_headers()
                self.wfile.write(b"<!DOCTYPE html><html><body><h1>slow</h1>" + b" " * 2048)
                self.wfile.flush()
                end = time.monotonic() + outer.slow_seconds
                while time.monotonic() < end:
                    time.sleep(0.1)
                    self.wfile.write(b"<span>.</span>\n")
                    self.wfile.flush()
                self.wfile.write(b"</body></html>")
                self.close_connection = True

        class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
            daemon_threads = True
            allow_reuse_address = True

        self._server = Server(("127.0.0.1", 0), Handler)
        self.port = self._server.server_address[1]
        self._thread = threading.Thread(target=self._server.serve_forever, daemon=True)
        self._thread.start()

    def url(self, path):
        return "http://127.0.0.1:%d%s" % (self.port, path)

    def _record(self, event):
        with self._lock:
            self.events.append(event)

    def seen(self, kind, path):
        with self._lock:
            return [e for e in self.events if e[0] == kind and e[1] == path]

    def wait_for(self, kind, path, timeout):
        return wait_until(lambda: self.seen(kind, path), timeout, "%s %s" % (kind, path))

    def stop(self):
        self._server.shutdown()
        self._server.server_close()


# ---- the helper program ----

class Helper:
    """quelm-browser started directly with pipes on its standard input and
    output (its answers); its standard error is kept for the checks on warnings."""

    def __init__(self, path, env, log_path, cwd=None):
        self.log_path = log_path
        self._log = open(log_path, "wb")
        self.started = time.monotonic()
        self.process = subprocess.Popen([path], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                         stderr=self._log, env=env, cwd=cwd, start_new_session=True)

    def answer(self, timeout=10):
        """The next answer line, decoded (see decode_answer)."""
        ready, _, _ = select.select([self.process.stdout], [], [], timeout)
        check(ready, "no answer from the helper within %s s" % timeout)
        line = self.process.stdout.readline().decode("ascii")
        check(line.endswith("\n"), "the helper's output ended: %r" % line)
        return decode_answer(line)

    def send(self, line):
        self.process.stdin.write(line)
        self.process.stdin.flush()

    def show(self):
        self.send(encode_show())

    def navigate(self, url):
        self.send(encode_navigate(url))

    def close_input(self):
        self.process.stdin.close()

    def wait(self, timeout):
        return self.process.wait(timeout)

    def output(self):
        self._log.flush()
        with open(self.log_path, "rb") as f:
            return f.read().decode("utf-8", "replace")

    def processes_left(self):
        """True while any process of the helper's session (engine children included) lives."""
        try:
            os.killpg(self.process.pid, 0)
            return True
        except ProcessLookupError:
            return False
        except PermissionError:
            return True

    def stop(self):
        with contextlib.suppress(Exception):
            if not self.process.stdin.closed:
                self.process.stdin.close()
        with contextlib.suppress(subprocess.TimeoutExpired):
            self.process.wait(5)
        with contextlib.suppress(ProcessLookupError, PermissionError):
            os.killpg(self.process.pid, signal.SIGKILL)
        with contextlib.suppress(Exception):
            self.process.wait(5)
        self._log.close()


# ---- xdotool ----

class Desktop:
    # Two clicks closer together than the double-click time (Qt's default is 400 ms) make a
    # double click, whose second press a skinned button ignores as a press.
    DOUBLE_CLICK_SECONDS = 0.5

    def __init__(self, display):
        self.env = dict(os.environ, DISPLAY=display)
        self._last_click = 0.0

    def xdotool(self, *args, check_rc=True):
        result = subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env,
                                capture_output=True, text=True, timeout=20)
        if check_rc and result.returncode != 0:
            raise TestFailure("xdotool %s failed: %s" % (" ".join(map(str, args)), result.stderr.strip()))
        return result.stdout

    def visible_windows(self, name):
        out = self.xdotool("search", "--onlyvisible", "--name", name, check_rc=False)
        return [w for w in out.split() if w]

    def wait_for_window(self, name, timeout, interval=0.01):
        return wait_until(lambda: self.visible_windows(name), timeout, "window " + name, interval)[0]

    def geometry(self, window):
        out = self.xdotool("getwindowgeometry", "--shell", window)
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def click(self, window, x, y):
        self.xdotool("mousemove", "--window", window, x, y)
        time.sleep(max(0.1, self._last_click + self.DOUBLE_CLICK_SECONDS - time.monotonic()))
        self.xdotool("click", "1")
        self._last_click = time.monotonic()

    def type_text(self, text):
        self.xdotool("type", "--delay", "20", text)

    def key(self, *keys):
        self.xdotool("key", *keys)

    def map_characters(self, text):
        """Gives every character of text outside the keymap a spare key of its own,
        for good. xdotool would otherwise map a key for each character and take it
        back at once, and a program that reads the key late sees nothing."""
        x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XDisplayKeycodes.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int),
                                         ctypes.POINTER(ctypes.c_int)]
        x11.XGetKeyboardMapping.restype = ctypes.POINTER(ctypes.c_ulong)
        x11.XGetKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_ubyte, ctypes.c_int,
                                            ctypes.POINTER(ctypes.c_int)]
        x11.XChangeKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                               ctypes.POINTER(ctypes.c_ulong), ctypes.c_int]
        x11.XFree.argtypes = [ctypes.c_void_p]
        x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        wanted = sorted({0x01000000 | ord(c) for c in text if ord(c) > 0xFF})
        if not wanted:
            return
        display = x11.XOpenDisplay(self.env["DISPLAY"].encode())
        check(display, "cannot open display " + self.env["DISPLAY"])
        try:
            low, high = ctypes.c_int(), ctypes.c_int()
            x11.XDisplayKeycodes(display, ctypes.byref(low), ctypes.byref(high))
            per = ctypes.c_int()
            count = high.value - low.value + 1
            table = x11.XGetKeyboardMapping(display, low.value, count, ctypes.byref(per))
            present = {table[i] for i in range(count * per.value)}
            free = [low.value + k for k in range(count)
                    if all(table[k * per.value + j] == 0 for j in range(per.value))]
            x11.XFree(table)
            wanted = [sym for sym in wanted if sym not in present]
            check(len(free) >= len(wanted), "not enough spare keys for %r" % text)
            for keycode, keysym in zip(free, wanted):
                syms = (ctypes.c_ulong * 1)(keysym)
                x11.XChangeKeyboardMapping(display, keycode, 1, syms, 1)
            x11.XSync(display, 0)
        finally:
            x11.XCloseDisplay(display)
        time.sleep(0.3)  # for every client to take in the new keymap

    def stacking(self):
        """The X server's stacking order of the mapped top-level windows that show on the screen,
        bottom first: for each, the set of its own and its descendants' ids (a window manager's
        frame holds the client). Helper windows of a pixel or off the screen are left out."""
        x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XDefaultRootWindow.restype = ctypes.c_ulong
        x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x11.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                   ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                                   ctypes.POINTER(ctypes.c_uint)]
        x11.XFree.argtypes = [ctypes.c_void_p]
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

        class Attributes(ctypes.Structure):  # XWindowAttributes
            _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int),
                        ("height", ctypes.c_int), ("border_width", ctypes.c_int), ("depth", ctypes.c_int),
                        ("visual", ctypes.c_void_p), ("root", ctypes.c_ulong), ("c_class", ctypes.c_int),
                        ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int),
                        ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
                        ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
                        ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                        ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                        ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                        ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]
        x11.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(Attributes)]

        display = x11.XOpenDisplay(self.env["DISPLAY"].encode())
        check(display, "cannot open display " + self.env["DISPLAY"])

        def children(window):
            root, parent = ctypes.c_ulong(), ctypes.c_ulong()
            kids, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
            if not x11.XQueryTree(display, window, ctypes.byref(root), ctypes.byref(parent), ctypes.byref(kids),
                                  ctypes.byref(count)):
                return []
            found = [kids[i] for i in range(count.value)]
            if kids:
                x11.XFree(kids)
            return found

        def family(window):
            ids = {window}
            for kid in children(window):
                ids |= family(kid)
            return ids

        try:
            order = []
            for window in children(x11.XDefaultRootWindow(display)):
                attributes = Attributes()
                if not x11.XGetWindowAttributes(display, window, ctypes.byref(attributes)):
                    continue
                a = attributes
                if a.map_state == 2 and a.width > 1 and a.height > 1 and a.x + a.width > 0 and a.y + a.height > 0:
                    order.append(family(window))  # IsViewable
            return order
        finally:
            x11.XCloseDisplay(display)

    def close(self, window):
        """What a window manager's close button does: WM_DELETE_WINDOW.
        xdotool only offers to destroy the window, which no user can do."""
        x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XInternAtom.restype = ctypes.c_ulong
        x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                   ctypes.c_void_p]
        x11.XFlush.argtypes = [ctypes.c_void_p]
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

        class ClientMessage(ctypes.Structure):
            _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                        ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                        ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                        ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]

        display = x11.XOpenDisplay(self.env["DISPLAY"].encode())
        check(display, "cannot open display " + self.env["DISPLAY"])
        try:
            event = ClientMessage()
            event.type = 33  # ClientMessage
            event.window = int(window)
            event.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
            event.format = 32
            event.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
            event.data[1] = 0  # CurrentTime
            check(x11.XSendEvent(display, int(window), 0, 0, ctypes.byref(event)) != 0, "XSendEvent failed")
            x11.XFlush(display)
        finally:
            x11.XCloseDisplay(display)


# ---- session ----

class Session:
    """Owns everything a test starts and stops it all on the way out."""

    def __init__(self, overall_timeout=150):
        self._stack = contextlib.ExitStack()
        self._overall_timeout = overall_timeout
        self.work_dir = None
        self.display = None
        self.desktop = None

    def __enter__(self):
        def interrupted(signum, frame):
            raise SystemExit("interrupted by signal %d" % signum)
        for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP, signal.SIGALRM):
            signal.signal(sig, interrupted)
        # Nothing runs forever, whatever hangs.
        signal.alarm(self._overall_timeout)
        self._stack.callback(signal.alarm, 0)
        self.work_dir = self._stack.enter_context(tempfile.TemporaryDirectory(prefix="quelm-e2e-"))
        self.display = VirtualDisplay()
        self._stack.callback(self.display.stop)
        self.desktop = Desktop(self.display.name)
        return self

    def __exit__(self, *exc):
        self._stack.close()
        return False

    def environment(self, **extra):
        """An environment with private XDG folders inside the session's directory."""
        env = dict(os.environ)
        for key in ("QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "QT_LOGGING_RULES"):
            env.pop(key, None)
        runtime = os.path.join(self.work_dir, "runtime")
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        env.update(DISPLAY=self.display.name, QT_QPA_PLATFORM="xcb", XDG_RUNTIME_DIR=runtime,
                   XDG_CONFIG_HOME=os.path.join(self.work_dir, "config"),
                   XDG_DATA_HOME=os.path.join(self.work_dir, "data"),
                   XDG_CACHE_HOME=os.path.join(self.work_dir, "cache"))
        env.update(extra)
        return env

    def http_server(self):
        server = RecordingHttpServer()
        self._stack.callback(server.stop)
        return server

    def spawn(self, argv, name, env=None):
        """A background process, its output in <name>.log, killed with its
        whole process group when the session ends."""
        log = open(os.path.join(self.work_dir, name + ".log"), "wb")
        process = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                                   env=env or self.environment(), start_new_session=True)

        def stop():
            if process.poll() is None:
                with contextlib.suppress(ProcessLookupError, PermissionError):
                    os.killpg(process.pid, signal.SIGTERM)
                with contextlib.suppress(subprocess.TimeoutExpired):
                    process.wait(5)
            with contextlib.suppress(ProcessLookupError, PermissionError):
                os.killpg(process.pid, signal.SIGKILL)
            with contextlib.suppress(Exception):
                process.wait(5)
            log.close()
        self._stack.callback(stop)
        return process

    def log_text(self, name):
        with open(os.path.join(self.work_dir, name + ".log"), "rb") as f:
            return f.read().decode("utf-8", "replace")

    def start_window_manager(self):
        """openbox, ready to manage the display when this returns."""
        require_tools("openbox", "xprop")
        self.spawn(["openbox", "--sm-disable"], "openbox")

        def window_manager_ready():
            result = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.desktop.env,
                                    capture_output=True, text=True, timeout=10)
            return "window id" in result.stdout
        wait_until(window_manager_ready, 15, "openbox to manage the display")

    def start_tray_desktop(self):
        """openbox and trayer, the XEmbed tray host that stays reliable on a bare Xvfb.
        Returns trayer's window."""
        require_tools("trayer")
        # trayer started before the window manager is ready may never map its panel.
        self.start_window_manager()

        def tray_window():
            out = self.desktop.xdotool("search", "--onlyvisible", "--class", "trayer", check_rc=False)
            # Its panel: docked at the bottom edge, 32 pixels high.
            return [w for w in out.split() if self.desktop.geometry(w)[3] == 32][:1]

        # Now and then trayer leaves its panel unmapped at start; another one does better.
        for attempt in range(4):
            trayer = self.spawn(["trayer", "--edge", "bottom", "--align", "right", "--widthtype", "request",
                                 "--heighttype", "pixel", "--height", "32", "--SetDockType", "true",
                                 "--transparent", "false", "--tint", "0xdddddd"], "trayer%d" % attempt)
            with contextlib.suppress(TestFailure):
                return wait_until(tray_window, 4, "trayer's window")[0]
            trayer.kill()
            trayer.wait(5)
        raise TestFailure("trayer never showed its panel")

    def recording_xdg_open(self):
        """A folder holding an xdg-open that logs its arguments and exits at once,
        and the log it writes: one line per start, in one write, "<pid> <argc> <arguments>"."""
        folder = os.path.join(self.work_dir, "stand-in")
        os.makedirs(folder, exist_ok=True)
        log = os.path.join(self.work_dir, "xdg-open.log")
        script = os.path.join(folder, "xdg-open")
        with open(script, "w") as f:
            f.write("#!/bin/sh\nprintf '%%s %%s %%s\\n' \"$$\" \"$#\" \"$*\" >> '%s'\n" % log)
        os.chmod(script, 0o755)
        open(log, "w").close()
        return folder, log

    @staticmethod
    def xdg_open_starts(log):
        """(argc, arguments) of every start in the log, in the order the starts were made.
        Starts made at once may write their lines in any order; their process numbers
        still rise in the order the processes were started."""
        starts = []
        with open(log, encoding="utf-8", errors="replace") as f:
            text = f.read()
        lines = text.splitlines()
        if lines and not text.endswith("\n"):
            lines.pop()  # still being written
        for line in lines:
            pid, argc, arguments = line.split(" ", 2)
            starts.append((int(pid), int(argc), arguments))
        return [(argc, arguments) for _, argc, arguments in sorted(starts)]

    def start_helper(self, path, name="helper", **extra_env):
        helper = Helper(path, self.environment(**extra_env), os.path.join(self.work_dir, name + ".log"),
                        cwd=self.work_dir)
        self._stack.callback(helper.stop)
        return helper


def run(main):
    """Runs main(); prints the failure and returns the exit code."""
    try:
        main()
    except TestFailure as failure:
        print("FAIL: %s" % failure)
        return 1
    print("PASS")
    return 0
