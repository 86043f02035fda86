#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""End-to-end figures of the quillmark binary on the test desktop, each the median and the
95th percentile (nearest rank) over several runs. Run through run-e2e-benchmarks.sh, which
starts the private desktop; the figures depend on the machine, so this is a report, not a
test."""

import argparse
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

from desktop import RESULT, Mousepad, Relay, Tray, TrayHost, text_window, tool, wait_until

SENTENCE = "this sentance have two mistake"
SHOWN = r"info app: panel shown frame .*"


def percentile(values, share):
    ordered = sorted(values)
    return ordered[max(0, math.ceil(share * len(ordered)) - 1)]


def report(name, unit, values):
    if not values:
        print("%-52s not measured" % name)
        return
    print("%-52s median %9.1f %-4s p95 %9.1f %-4s (n=%d)"
          % (name, percentile(values, 0.5), unit, percentile(values, 0.95), unit, len(values)),
          flush=True)


class Session:
    """Fresh settings pointing at the stand-in relay, and the binary that uses them."""

    def __init__(self, binary, relay, label):
        self.binary = binary
        self.label = label
        self.config = tempfile.mkdtemp(prefix="quillmark-bench-")
        self.environment = dict(os.environ, XDG_CONFIG_HOME=self.config, QUILLMARK_LOG="stderr")
        self.write("proxyBaseURL", "-string", relay.url)
        # Fresh settings are a first run, whose welcome guide would take the keyboard.
        self.write("hasSeenOnboarding", "-bool", "true")

    def write(self, key, kind, value):
        subprocess.run([self.binary, "defaults", "write", key, kind, value], check=True,
                       env=self.environment, capture_output=True, timeout=30)

    def start(self):
        tray = Tray(self.binary, self.environment)
        tray.wait_for(r"info hotkey: registered ⌥⌘T")
        return tray

    def close(self):
        shutil.rmtree(self.config, ignore_errors=True)


def press(keys):
    tool("xdotool", "key", "--clearmodifiers", keys)


def open_panel(tray):
    """Presses the shortcut; answers the seconds until the panel was shown and how the text
    was captured ("ax", "clipboard", or None when nothing was)."""
    start = tray.mark()
    pressed = time.monotonic()
    press("alt+super+t")
    shown = tray.wait_for(SHOWN, start)
    method = None
    for _, line in tray.lines[start:]:
        match = re.fullmatch(r"info capture: captured via (\w+) \(\d+ chars\)", line)
        if match:
            method = match.group(1)
    return shown - pressed, method


def close_panel(tray):
    start = tray.mark()
    press("Escape")
    tray.wait_for(r"info app: (panel dismissed \(esc\)|back to ready \(esc\))", start)


def panel_cycle(tray):
    """One cycle as a person has it: shortcut, Fix Grammar when there is text, back, close."""
    _, method = open_panel(tray)
    if method:
        start = tray.mark()
        press("alt+2")
        tray.wait_for(r"info ai: fixGrammar ok in .*", start)
        close_panel(tray)
    start = tray.mark()
    press("Escape")
    tray.wait_for(r"info app: panel dismissed \(esc\)", start)


def probe(xprobe, *arguments, environment=None):
    """Runs the event-driven X probe and answers its figures by name (None when not seen)."""
    words = subprocess.run([xprobe, *arguments], check=True, capture_output=True, text=True,
                           timeout=30, env=environment).stdout.split()
    return {name: (None if value == "-" else float(value))
            for name, value in zip(words[::2], words[1::2])}


def start_up(sessions, runs, xprobe):
    """The probe is the tray: it times from starting the process to the icon's dock request
    and to the shortcut's log line, with no polling in between. Every build asked for and
    CopyQ, when it is installed, take turns in the same rounds."""
    icon = {session.label: [] for session in sessions}
    registered = {session.label: [] for session in sessions}
    peer = []
    copyq = shutil.which("copyq")
    peer_config = tempfile.mkdtemp(prefix="quillmark-bench-copyq-")
    try:
        for _ in range(runs):
            for session in sessions:
                figures = probe(xprobe, "dock", "--log", "hotkey: registered", "--",
                                session.binary, environment=session.environment)
                if figures["dock"] is not None:
                    icon[session.label].append(figures["dock"])
                if figures["log"] is not None:
                    registered[session.label].append(figures["log"])
            if copyq:
                figures = probe(xprobe, "dock", "--", copyq,
                                environment=dict(os.environ, XDG_CONFIG_HOME=peer_config))
                if figures["dock"] is not None:
                    peer.append(figures["dock"])
    finally:
        shutil.rmtree(peer_config, ignore_errors=True)
    for session in sessions:
        report("process start -> tray icon docked (%s)" % session.label, "ms",
               icon[session.label])
        report("process start -> shortcut registered (%s)" % session.label, "ms",
               registered[session.label])
    if peer:
        report("CopyQ: process start -> tray icon docked", "ms", peer)
        own = icon[sessions[0].label]
        if own:
            print("  CopyQ / Quillmark (medians): %.2f"
                  % (percentile(peer, 0.5) / percentile(own, 0.5)))


def memory(session, runs):
    host = TrayHost()
    editor = Mousepad(SENTENCE)
    after_start, after_cycles = [], []
    try:
        editor.select_all(SENTENCE)
        for _ in range(runs):
            tray = session.start()
            try:
                time.sleep(2)
                after_start.append(tray.resident_kib() / 1024)
                for _ in range(10):
                    panel_cycle(tray)
                time.sleep(2)
                after_cycles.append(tray.resident_kib() / 1024)
            finally:
                tray.stop()
    finally:
        editor.stop()
        host.stop()
    report("resident memory after start, idle (%s)" % session.label, "MiB", after_start)
    report("resident memory after 10 panel cycles, idle (%s)" % session.label, "MiB",
           after_cycles)


def idle(session, runs, seconds):
    host = TrayHost()
    cpu, wakeups = [], []
    try:
        for _ in range(runs):
            tray = session.start()
            try:
                time.sleep(2)
                cpu_before, woken_before = tray.cpu_seconds(), tray.switches()
                time.sleep(seconds)
                cpu.append(1000 * (tray.cpu_seconds() - cpu_before))
                woken_after = tray.switches()
                # Threads that ended meanwhile (an idle thread pool lets its threads go) are
                # left out; what counts is how often the living ones were woken.
                wakeups.append(sum(woken_after[thread] - woken_before[thread]
                                   for thread in woken_after if thread in woken_before))
            finally:
                tray.stop()
    finally:
        host.stop()
    report("CPU time while idle for %d s" % seconds, "ms", cpu)
    report("wake-ups (context switches) while idle for %d s" % seconds, "", wakeups)


def shortcut_to_panel(sessions, runs, xprobe, targets):
    """The probe times from the key press the X server reports to the panel's MapNotify and
    first drawing, with the keys tapped or held for 100 ms as a person holds them. The copy
    command is timed in mousepad, the accessibility route in every toolkit asked for; the
    builds take turns on the same window."""
    for target in targets:
        editor = text_window(target, SENTENCE)
        if editor is None:
            print("%s: not installed, not measured" % target)
            continue
        try:
            routes = (("ax", "false"), ("clipboard", "true"))
            for route, forced in routes if target == "mousepad" else routes[:1]:
                for hold in (0, 100):
                    for session in sessions:
                        session.write("forceClipboardCapture", "-bool", forced)
                        tray = session.start()
                        try:
                            panel_runs(session, tray, editor, route, hold, runs, xprobe)
                        finally:
                            tray.stop()
                            session.write("forceClipboardCapture", "-bool", "false")
        finally:
            editor.stop()


def panel_runs(session, tray, editor, route, hold, runs, xprobe):
    mapped, painted, after_release, other = [], [], [], []
    for _ in range(runs):
        editor.select_all(SENTENCE)
        start = tray.mark()
        figures = probe(xprobe, "panel", "alt+super+t", "--hold", str(hold))
        tray.wait_for(SHOWN, start)
        close_panel(tray)
        method = None
        for _, line in tray.lines[start:]:
            match = re.fullmatch(r"info capture: captured via (\w+) \(\d+ chars\)", line)
            if match:
                method = match.group(1)
        if method != route or figures["map"] is None:
            other.append(str(method))
            continue
        mapped.append(figures["map"])
        if figures["paint"] is not None:
            painted.append(figures["paint"])
        if figures["after-release"] is not None:
            after_release.append(figures["after-release"])
    keys = "tapped" if hold == 0 else "held %d ms" % hold
    where = "%s, %s, keys %s, %s" % (editor.name, route, keys, session.label)
    report("key press -> panel mapped (%s)" % where, "ms", mapped)
    report("key press -> panel drawn (%s)" % where, "ms", painted)
    report("last key up -> panel mapped (%s)" % where, "ms", after_release)
    if other:
        print("  %d of %d captures did not go via %s but: %s"
              % (len(other), runs, route, ", ".join(sorted(set(other)))))


def replace_to_text(session, runs, xprobe):
    """Both routes in the same run: straight into the element (EditableText), timed from
    launching xdotool to mousepad's title changing, and the paste through the clipboard,
    forced by forcePasteReplace, timed by the probe from the keys going up to the Ctrl+V
    Quillmark types."""
    editor = Mousepad(SENTENCE)
    tray = None
    try:
        text = SENTENCE
        for route, forced, done in (
                ("EditableText", "false", r"info replace: replaced via EditableText in .*"),
                ("paste", "true", r"info replace: clipboard restored")):
            session.write("forcePasteReplace", "-bool", forced)
            times, posted, missed = [], [], 0
            for _ in range(runs):
                if tray is None:
                    tray = session.start()
                editor.save()
                editor.select_all(text)
                _, method = open_panel(tray)
                if method != "ax":
                    missed += 1
                    close_panel(tray)
                    continue
                start = tray.mark()
                press("alt+2")
                tray.wait_for(r"info ai: fixGrammar ok in .*", start)
                # A person reads the result first.
                time.sleep(1)
                start = tray.mark()
                if route == "paste":
                    figures = probe(xprobe, "key", "alt+1", "--expect", "v")
                    landed = wait_until(lambda: editor.title().startswith("*"), 5, 0.001)
                    elapsed = figures["after-release"]
                    if elapsed is not None:
                        posted.append(elapsed)
                else:
                    pressed = time.monotonic()
                    press("alt+1")
                    landed = wait_until(lambda: editor.title().startswith("*"), 5, 0.001)
                    elapsed = 1000 * (time.monotonic() - pressed)
                tray.wait_for(done, start)
                if not landed or elapsed is None:
                    missed += 1
                    continue
                times.append(elapsed)
                text = RESULT
            if route == "paste":
                report("Replace (Alt+1): keys up -> Ctrl+V typed (paste, %s)" % session.label,
                       "ms", posted)
            else:
                report("Replace (Alt+1) -> text changed in mousepad (%s, %s)"
                       % (route, session.label), "ms", times)
            if missed:
                print("  %d of %d runs lost the selection on the way (no capture through "
                      "AT-SPI, or a replace that never reached mousepad)" % (missed, runs))
    finally:
        session.write("forcePasteReplace", "-bool", "false")
        if tray is not None:
            tray.stop()
        editor.stop()


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--binary", required=True)
    parser.add_argument("--xprobe", required=True, help="the compiled xprobe.c")
    parser.add_argument("--runs", type=int, default=20, help="runs of the quick figures")
    parser.add_argument("--memory-runs", type=int, default=5)
    parser.add_argument("--idle-runs", type=int, default=3)
    parser.add_argument("--idle-seconds", type=int, default=60)
    parser.add_argument("--only", action="append",
                        choices=["start", "memory", "idle", "panel", "replace"])
    parser.add_argument("--baseline", help="another quillmark binary (an earlier build) timed "
                        "beside this one in the same run")
    parser.add_argument("--targets", default="mousepad,gtk4,qt6,chromium",
                        help="the toolkits the shortcut is timed in, comma-separated")
    arguments = parser.parse_args()
    chosen = arguments.only or ["start", "memory", "idle", "panel", "replace"]

    relay = Relay()
    sessions = [Session(arguments.binary, relay, "this build")]
    if arguments.baseline:
        sessions.append(Session(arguments.baseline, relay, "baseline"))
    session = sessions[0]
    failed = False
    try:
        for name, run in (
                ("start", lambda: start_up(sessions, arguments.runs, arguments.xprobe)),
                ("memory", lambda: [memory(each, arguments.memory_runs) for each in sessions]),
                ("idle", lambda: idle(session, arguments.idle_runs, arguments.idle_seconds)),
                ("panel", lambda: shortcut_to_panel(sessions, arguments.runs, arguments.xprobe,
                                                    arguments.targets.split(","))),
                ("replace", lambda: [replace_to_text(each, arguments.runs, arguments.xprobe)
                                     for each in sessions])):
            if name not in chosen:
                continue
            try:
                run()
            except (RuntimeError, subprocess.SubprocessError) as error:
                failed = True
                print("%s: could not be measured: %s" % (name, error), file=sys.stderr, flush=True)
    finally:
        for each in sessions:
            each.close()
        relay.close()
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
