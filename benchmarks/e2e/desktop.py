# SPDX-License-Identifier: MIT
"""The pieces the end-to-end benchmarks drive on the test desktop: the tray application with
its log read line by line as it is written, mousepad, a stand-in for the hosted AI service,
and the X tools (xdotool, xclip, xwininfo)."""

import ctypes
import ctypes.util
import http.server
import json
import os
import re
import shutil
import signal
import subprocess
import tempfile
import threading
import time

RESULT = "This sentence has two mistakes."


def tool(*arguments, stdin=None):
    """Runs an X tool to its end and answers its standard output (empty when it failed)."""
    done = subprocess.run(arguments, input=stdin, capture_output=True, timeout=10)
    return done.stdout.decode(errors="replace") if done.returncode == 0 else ""


def wait_until(condition, timeout, interval=0.005):
    """Polls the condition until it holds; its last answer (falsy when time ran out)."""
    deadline = time.monotonic() + timeout
    while True:
        answer = condition()
        if answer or time.monotonic() > deadline:
            return answer
        time.sleep(interval)


class Relay:
    """Answers every POST to /ai as the hosted service does, at once, on 127.0.0.1."""

    def __init__(self):
        body = json.dumps({"text": RESULT, "usage": {"prompt_tokens": 12, "completion_tokens": 7}})

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_POST(self):
                self.rfile.read(int(self.headers.get("Content-Length", 0)))
                payload = body.encode()
                self.send_response(200)
                self.send_header("Content-Type", "application/json")
                self.send_header("Content-Length", str(len(payload)))
                self.end_headers()
                self.wfile.write(payload)

            def log_message(self, *_):
                pass

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.url = "http://127.0.0.1:%d" % self.server.server_address[1]

    def close(self):
        self.server.shutdown()


class Tray:
    """The quillmark tray process. Every log line is stamped with the monotonic time at
    which it arrived, so a figure is the time between a key press and a line."""

    def __init__(self, binary, environment):
        self.lines = []
        self.changed = threading.Condition()
        self.started_at = time.monotonic()
        self.process = subprocess.Popen([binary], env=environment, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.PIPE)
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for raw in self.process.stderr:
            stamp = time.monotonic()
            with self.changed:
                self.lines.append((stamp, raw.decode(errors="replace").rstrip("\n")))
                self.changed.notify_all()

    def mark(self):
        with self.changed:
            return len(self.lines)

    def wait_for(self, pattern, start=0, timeout=20.0):
        """The time of the first line from position `start` on matching the pattern as a
        whole; raises when none came in time."""
        expression = re.compile(pattern)
        deadline = time.monotonic() + timeout
        with self.changed:
            while True:
                for stamp, line in self.lines[start:]:
                    if expression.fullmatch(line):
                        return stamp
                left = deadline - time.monotonic()
                if left <= 0 or self.process.poll() is not None:
                    tail = "\n".join(line for _, line in self.lines[-15:])
                    raise RuntimeError("no log line matching %r; last lines:\n%s" % (pattern, tail))
                self.changed.wait(left)

    def resident_kib(self):
        with open("/proc/%d/status" % self.process.pid) as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
        return 0

    def cpu_seconds(self):
        """User plus system time of every thread so far."""
        with open("/proc/%d/stat" % self.process.pid) as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

    def switches(self):
        """Context switches so far of each thread, by thread id: each one is a wake-up."""
        counts = {}
        task_dir = "/proc/%d/task" % self.process.pid
        for task in os.listdir(task_dir):
            try:
                with open("%s/%s/status" % (task_dir, task)) as status:
                    counts[task] = sum(int(line.split()[1]) for line in status
                                       if line.startswith(("voluntary_ctxt_switches",
                                                           "nonvoluntary_ctxt_switches")))
            except FileNotFoundError:
                pass
        return counts

    def stop(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(20)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


class TextWindow:
    """A window holding the user's text, in front, its text selected with Ctrl+A."""

    def __init__(self, name, command, cleanup=None):
        self.name = name
        self.cleanup = cleanup
        self.process = subprocess.Popen(command, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        found = wait_until(lambda: tool("xdotool", "search", "--all", "--onlyvisible", "--pid",
                                        str(self.process.pid), "--name", ".").split(), 30)
        if not found:
            self.stop()
            raise RuntimeError("%s did not show its window" % name)
        self.window = found[-1]
        self.activate()

    def activate(self):
        for _ in range(10):
            tool("xdotool", "windowactivate", self.window)
            if wait_until(lambda: tool("xdotool", "getactivewindow").strip() == self.window, 1):
                return
        raise RuntimeError("%s did not come to the front" % self.name)

    def title(self):
        return tool("xdotool", "getwindowname", self.window).strip()

    def select_all(self, expected):
        for _ in range(10):
            tool("xdotool", "key", "ctrl+a")
            if wait_until(lambda: tool("xclip", "-o", "-selection", "primary") == expected, 1):
                return
        raise RuntimeError("Ctrl+A did not select %r in %s" % (expected, self.name))

    def stop(self):
        self.process.kill()
        self.process.wait()
        if self.cleanup:
            self.cleanup()


class Mousepad(TextWindow):
    """GTK 3's editor, with the text in a file it can save."""

    def __init__(self, text):
        self.directory = tempfile.TemporaryDirectory()
        self.path = os.path.join(self.directory.name, "notes.txt")
        with open(self.path, "w") as file:
            file.write(text)
        super().__init__("mousepad", ["mousepad", "--disable-server", self.path],
                         self.directory.cleanup)

    def save(self):
        """Saves, so that the title loses its modified mark until the next change."""
        tool("xdotool", "key", "ctrl+s")
        if not wait_until(lambda: not self.title().startswith("*"), 10):
            raise RuntimeError("mousepad did not save the file")


QT6_TEXT_EDIT = """
import sys
from PyQt6.QtWidgets import QApplication, QTextEdit, QVBoxLayout, QWidget
app = QApplication(sys.argv)
window = QWidget()
window.setWindowTitle("qt6 text edit")
edit = QTextEdit()
edit.setPlainText(sys.argv[1])
QVBoxLayout(window).addWidget(edit)
window.resize(300, 100)
window.show()
edit.setFocus()
app.exec()
"""


# The toolkits' Python bindings come with the system's Python, not with another one first
# on the PATH.
SYSTEM_PYTHON = "/usr/bin/python3"


def text_window(kind, text):
    """The target of that toolkit holding the text: mousepad (GTK 3), gtk4, qt6 or
    chromium; None when the toolkit is not installed."""
    here = os.path.dirname(os.path.abspath(__file__))
    if kind == "mousepad":
        return Mousepad(text)
    if kind == "gtk4":
        script = os.path.join(here, "..", "..", "tests", "capture", "gtk4_text_view.py")
        return TextWindow(kind, [SYSTEM_PYTHON, script, text])
    if kind == "qt6":
        probe = subprocess.run([SYSTEM_PYTHON, "-c", "import PyQt6.QtWidgets"],
                               capture_output=True)
        if probe.returncode != 0:
            return None
        return TextWindow(kind, [SYSTEM_PYTHON, "-c", QT6_TEXT_EDIT, text])
    if kind == "chromium":
        browser = shutil.which("chromium")
        if not browser:
            return None
        profile = tempfile.TemporaryDirectory()
        page = "data:text/html,<textarea autofocus cols=40>%s</textarea>" % text.replace(" ", "%20")
        return TextWindow(kind, [browser, "--no-sandbox", "--force-renderer-accessibility",
                                 "--no-first-run", "--user-data-dir=" + profile.name,
                                 "--app=" + page], profile.cleanup)
    raise ValueError(kind)


def tray_selection_owned():
    """Whether a system tray owns the screen's _NET_SYSTEM_TRAY_S0 selection."""
    xlib = ctypes.CDLL(ctypes.util.find_library("X11"))
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    xlib.XInternAtom.restype = ctypes.c_ulong
    xlib.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    xlib.XGetSelectionOwner.restype = ctypes.c_ulong
    xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = xlib.XOpenDisplay(None)
    if not display:
        return False
    try:
        atom = xlib.XInternAtom(display, b"_NET_SYSTEM_TRAY_S0", 0)
        return xlib.XGetSelectionOwner(display, atom) != 0
    finally:
        xlib.XCloseDisplay(display)


class TrayHost:
    """A system tray (trayer) for the icon to sit in."""

    def __init__(self):
        self.process = subprocess.Popen(["trayer", "--edge", "top", "--align", "right",
                                         "--widthtype", "pixel", "--width", "120"],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        found = wait_until(lambda: tool("xdotool", "search", "--all", "--pid",
                                        str(self.process.pid), "--class", "trayer").split(), 10)
        # An application started before the tray owns its selection finds no tray and
        # shows no icon.
        if not found or not wait_until(tray_selection_owned, 10):
            raise RuntimeError("trayer did not take the system tray")

    def holds_window_of(self, pid):
        """Whether a window of the process has been taken into the tray: one of its
        ancestors belongs to the tray (the window manager frames the tray itself)."""
        tray = str(self.process.pid)
        for window in tool("xdotool", "search", "--pid", str(pid)).split():
            for ancestor in self._ancestors(window):
                if tool("xdotool", "getwindowpid", ancestor).strip() == tray:
                    return True
        return False

    @staticmethod
    def _ancestors(window):
        """The windows above this one, up to the root window (which is left out)."""
        ancestors = []
        for _ in range(16):
            match = re.search(r"Parent window id: (0x[0-9a-f]+)(.*)",
                              tool("xwininfo", "-children", "-id", window))
            if not match or "(the root window)" in match.group(2):
                break
            window = str(int(match.group(1), 16))
            ancestors.append(window)
        return ancestors

    def stop(self):
        self.process.kill()
        self.process.wait()
