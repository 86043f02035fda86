#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Shows the round trip on a real, headless GNOME Shell: the keys of Quillmark's custom
# shortcut → `quillmark trigger` → the selection of a native Wayland GTK 3 text view read
# over the accessibility bus → Fix Grammar from a fake relay on this computer → Replace
# through the accessibility bus, the view's text read back. Prints one report per run.
#
# Not part of the suite: GNOME Shell takes a few seconds to start, and the packages are
# large. The Debian 12 packages it needs, installed (as root) when missing:
#   gnome-shell mutter gnome-settings-daemon xwayland at-spi2-core dconf-gsettings-backend
#   python3-gi gir1.2-gtk-3.0 gir1.2-atspi-2.0
#
# Each run has a private session (scripts/test-session: its own session bus, keyring and
# XDG directories), in which it starts:
#   - gnome-shell --headless --wayland --virtual-monitor 1280x800 with XWayland; the session
#     bus stands in for the system bus; --unsafe-mode lets org.gnome.Shell.Eval take the
#     overview away, which the shell opens at start;
#   - the accessibility bus, and gsd-media-keys, which runs GNOME's custom shortcuts;
#   - a keyboard: a session of Mutter's own org.gnome.Mutter.RemoteDesktop (no consent
#     dialog there), kept for the whole run, which also presses the shortcut's keys;
#   - tests/e2e/gtk3_text_view.py with the sentence selected, and the relay;
# and adds the custom shortcut with the same GSettings writes Quillmark makes when the user
# asks for it in the settings window.
#
# usage: scripts/gnome-round-trip.sh [--runs N] [--clipboard] [QUILLMARK-BINARY]
#   --clipboard: Replace as where the element takes no text (forcePasteReplace): the result
#   is left on the clipboard ("Copied — press Ctrl+V to paste"), and Ctrl+V pressed in the
#   view must paste it (GNOME hands XWayland's clipboard to Wayland applications).
#   QUILLMARK-BINARY defaults to build/dev/src/quillmark. The exit status is 0 when every
#   run passed, 1 when a step failed (the report names it), 2 for a wrong command line.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3 # a python3 earlier on the PATH may lack the GObject bindings
sentence="this sentance have two mistake"
corrected="This sentence has two mistakes."
shortcut_keys=(Super_L Alt_L t)
binding="<Alt><Super>t"
entry=/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/quillmark/

usage() {
    echo "usage: ${0##*/} [--runs N] [--clipboard] [QUILLMARK-BINARY]" >&2
    exit 2
}

# ---------------------------------------------------------------------------------------
# Helpers written into the session directory.
# ---------------------------------------------------------------------------------------

# Keeps a RemoteDesktop session (and so a keyboard) for as long as its command pipe is open;
# "keys A B C" presses the keysyms in order and releases them in reverse.
write_remote_keys() {
    cat >"$1" <<'END'
import sys

import gi

gi.require_version("Gdk", "3.0")
from gi.repository import Gdk, Gio, GLib  # noqa: E402

pipe, ready = sys.argv[1], sys.argv[2]
bus = Gio.bus_get_sync(Gio.BusType.SESSION)


def call(path, interface, method, arguments=None, reply=None):
    return bus.call_sync("org.gnome.Mutter.RemoteDesktop", path, interface, method,
                         arguments, reply, Gio.DBusCallFlags.NONE, 5000, None)


session = call("/org/gnome/Mutter/RemoteDesktop", "org.gnome.Mutter.RemoteDesktop",
               "CreateSession", None, GLib.VariantType("(o)")).unpack()[0]
session_interface = "org.gnome.Mutter.RemoteDesktop.Session"
call(session, session_interface, "Start")
with open(ready, "w") as out:
    out.write("ready\n")


def key(keysym, down):
    call(session, session_interface, "NotifyKeyboardKeysym", GLib.Variant("(ub)", (keysym, down)))


with open(pipe) as commands:
    for line in commands:
        words = line.split()
        if words[:1] != ["keys"]:
            continue
        keysyms = [Gdk.keyval_from_name(name) for name in words[1:]]
        for keysym in keysyms:
            key(keysym, True)
        for keysym in reversed(keysyms):
            key(keysym, False)
call(session, session_interface, "Stop")
END
}

# Reads text fields of one process over the accessibility bus:
#   selected PID TEXT SECONDS   waits until a field of PID has exactly TEXT selected
#   contents PID                prints the text of every text field of PID, one a line
write_accessibility_probe() {
    cat >"$1" <<'END'
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


def fields(pid):
    desktop = Atspi.get_desktop(0)
    for index in range(desktop.get_child_count()):
        application = desktop.get_child_at_index(index)
        if application is not None and application.get_process_id() == pid:
            yield from walk(application, 0)


def walk(node, depth):
    if node.get_role() in (Atspi.Role.TEXT, Atspi.Role.ENTRY) and "Text" in node.get_interfaces():
        yield node
    if depth < 20:
        for index in range(node.get_child_count()):
            child = node.get_child_at_index(index)
            if child is not None:
                yield from walk(child, depth + 1)


def selection(node):
    if Atspi.Text.get_n_selections(node) < 1:
        return None
    chosen = Atspi.Text.get_selection(node, 0)
    return Atspi.Text.get_text(node, chosen.start_offset, chosen.end_offset)


command, pid = sys.argv[1], int(sys.argv[2])
if command == "contents":
    for field in fields(pid):
        print(Atspi.Text.get_text(field, 0, -1))
    sys.exit(0)
wanted, deadline = sys.argv[3], time.monotonic() + float(sys.argv[4])
while time.monotonic() < deadline:
    try:
        if any(selection(field) == wanted for field in fields(pid)):
            sys.exit(0)
    except Exception:  # noqa: BLE001
        pass  # the application is still building its tree
    time.sleep(0.05)
sys.exit(1)
END
}

# The relay: answers every request with the corrected sentence, as the suite's fake does.
write_relay() {
    cat >"$1" <<'END'
import http.server
import os
import sys

answer = (b'{"text":"This sentence has two mistakes.",'
          b'"usage":{"prompt_tokens":12,"completion_tokens":7}}')


class Relay(http.server.BaseHTTPRequestHandler):
    def reply(self):
        self.rfile.read(int(self.headers.get("Content-Length") or 0))
        self.send_response(200)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(answer)))
        self.end_headers()
        self.wfile.write(answer)

    do_GET = do_POST = reply


server = http.server.HTTPServer(("127.0.0.1", 0), Relay)
with open(sys.argv[1] + ".new", "w") as out:
    out.write(f"{server.server_port}\n")
os.rename(sys.argv[1] + ".new", sys.argv[1])
server.serve_forever()
END
}

# ---------------------------------------------------------------------------------------
# Inside the private session (scripts/test-session): one run.
# ---------------------------------------------------------------------------------------
started=()
dir=
logs=

# Stops what the run started, in reverse order; whatever has not ended five seconds after
# SIGTERM gets SIGKILL (GNOME Shell 43 may crash on its way out).
stop_all() {
    local status=$? i
    for ((i = ${#started[@]} - 1; i >= 0; i--)); do
        kill -TERM "${started[i]}" 2>/dev/null || continue
        wait_for 5 eval "! kill -0 ${started[i]}" || kill -KILL "${started[i]}" 2>/dev/null || true
        wait "${started[i]}" 2>/dev/null || true
    done
    return "$status"
}

# Says on standard error which step the run is at: shown when the run fails or hangs.
step() {
    echo "$(date +%T.%3N) step: $*" >&2
}

now() {
    echo "${EPOCHREALTIME/./}"
}

# Milliseconds between two times of now().
ms() {
    echo $((($2 - $1) / 1000))
}

fail() {
    echo "FAILED: $1" >&2
    local log kept
    # The session's directory goes with the session: keep its logs.
    ps -o pid,ppid,stat,wchan:24,etime,args -g "$(ps -o pgid= $$ | tr -d ' ')" >"$logs/processes.txt" 2>&1 || true
    kept=$(mktemp -d "${TMPDIR:-/tmp}/gnome-round-trip-logs.XXXXXX") &&
        cp -r "$logs/." "$kept/" && echo "logs kept in $kept" >&2
    for log in quillmark gnome-shell media-keys remote-keys target; do
        if [ -s "$logs/$log.log" ]; then
            echo "--- last lines of $log.log" >&2
            tail -n 15 "$logs/$log.log" >&2
        fi
    done
    exit 1
}

# Waits up to $1 seconds for a command to hold, checking every 20 ms.
wait_for() {
    local seconds=$1 deadline
    shift
    deadline=$(($(now) + seconds * 1000000))
    until "$@" 2>/dev/null; do
        [ "$(now)" -lt "$deadline" ] || return 1
        sleep 0.02
    done
}

shell_eval() {
    local reply
    reply=$(gdbus call --session --timeout 5 --dest org.gnome.Shell --object-path /org/gnome/Shell \
        --method org.gnome.Shell.Eval "$1") || return 1
    [[ $reply == "(true, "* ]] || return 1
    reply=${reply#(true, \'}
    echo "${reply%\')}"
}

shell_says() {
    [ "$(shell_eval "$1")" = "$2" ]
}

# GNOME Shell 43 starts ibus-daemon at start-up and runs JavaScript in the forked child
# before exec; now and then that child deadlocks, and the shell waits for it for good. Such
# a child, still a copy of the shell two seconds on, is the sign.
shell_hung() {
    ps -o etimes=,comm= --ppid "$1" | awk '$2 == "gnome-shell" && $1 >= 2 { found = 1 } END { exit !found }'
}

shell_starts() {
    shell_hung "$1" || shell_says '!Main.layoutManager._startingUp' true
}

# Quillmark's log, each line stamped with the time it arrived (now()).
stamp_lines() {
    local line
    while IFS= read -r line; do
        printf '%s %s\n' "${EPOCHREALTIME/./}" "$line"
    done
}

# The time of the first log line after line $1 matching the extended regex $2.
logged() {
    tail -n "+$(($1 + 1))" "$logs/quillmark.log" | grep -m 1 -E "^[0-9]+ .*($2)" | cut -d' ' -f1 | grep .
}

text_of() {
    "$python" "$dir/accessibility.py" contents "$1"
}

text_is() {
    [ "$(text_of "$1")" = "$2" ]
}

log_lines() {
    wc -l <"$logs/quillmark.log"
}

run_once() {
    local binary=$1 route=$2
    dir=$QUILLMARK_SESSION_DIR/gnome
    logs=$QUILLMARK_SESSION_DIR/logs
    mkdir "$dir"
    trap stop_all EXIT
    write_remote_keys "$dir/remote_keys.py"
    write_accessibility_probe "$dir/accessibility.py"
    write_relay "$dir/relay.py"

    export XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=wayland
    export DBUS_SYSTEM_BUS_ADDRESS=$DBUS_SESSION_BUS_ADDRESS

    step "the accessibility bus"
    # The accessibility bus, and toolkits told that someone listens.
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$logs/at-spi.log" 2>&1 &
    started+=($!)
    wait_for 5 gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
        --method org.a11y.Bus.GetAddress >/dev/null || fail "the accessibility bus did not start"
    gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
        --method org.freedesktop.DBus.Properties.Set org.a11y.Status IsEnabled '<true>' \
        >/dev/null || fail "the accessibility bus could not be enabled"
    gsettings set org.gnome.desktop.interface toolkit-accessibility true
    unset NO_AT_BRIDGE

    step "GNOME Shell"
    local t_shell t_ready attempt shell children
    t_shell=$(now)
    for attempt in 1 2 3; do
        gnome-shell --headless --wayland --virtual-monitor 1280x800 --unsafe-mode \
            --wayland-display quillmark-gnome >>"$logs/gnome-shell.log" 2>&1 &
        shell=$!
        started+=("$shell")
        wait_for 20 shell_starts "$shell" || fail "GNOME Shell did not start"
        ! shell_hung "$shell" && break
        echo "GNOME Shell's start-up hung in a forked child (attempt $attempt); starting it again"
        mapfile -t children < <(ps -o pid= --ppid "$shell" | tr -d ' ')
        kill -KILL "$shell" "${children[@]}" 2>/dev/null || true
        wait "$shell" 2>/dev/null || true
    done
    shell_says '!Main.layoutManager._startingUp' true || fail "GNOME Shell did not start"
    # The overview opens as the start-up ends; closing it earlier does not last.
    wait_for 10 shell_says 'Main.overview.visible' true || true
    shell_eval 'Main.overview.hide()' >/dev/null
    wait_for 10 shell_says '!!(Main.overview.visible || Main.overview.animationInProgress)' false ||
        fail "GNOME Shell kept its overview open"
    t_ready=$(now)
    export WAYLAND_DISPLAY=quillmark-gnome
    local environment
    environment=$(shell_eval '[GLib.getenv("DISPLAY"), GLib.getenv("XAUTHORITY")].join(" ")') ||
        fail "GNOME Shell did not say where XWayland is"
    read -r DISPLAY XAUTHORITY <<<"${environment//\"/}"
    [ -n "$DISPLAY" ] || fail "GNOME Shell runs no XWayland"
    export DISPLAY XAUTHORITY

    step "the RemoteDesktop keyboard"
    # The keyboard: without one no window becomes active.
    mkfifo -m 0600 "$dir/keys"
    "$python" "$dir/remote_keys.py" "$dir/keys" "$dir/keys-ready" >"$logs/remote-keys.log" 2>&1 &
    started+=($!)
    exec 7<>"$dir/keys"
    wait_for 5 test -s "$dir/keys-ready" || fail "Mutter's RemoteDesktop session did not start"

    step "gsd-media-keys and the custom shortcut"
    # GNOME's custom shortcuts are grabbed from the shell by the settings daemon's plugin.
    /usr/libexec/gsd-media-keys >"$logs/media-keys.log" 2>&1 &
    started+=($!)
    wait_for 10 shell_says 'Main.shellDBusService._grabbedAccelerators.size > 0' true ||
        fail "gsd-media-keys grabbed no keys from GNOME Shell"
    local grabbed
    grabbed=$(shell_eval 'Main.shellDBusService._grabbedAccelerators.size')

    # The settings Quillmark writes for "Add to GNOME's Shortcuts", while the daemon runs.
    local list
    list=$(gsettings get org.gnome.settings-daemon.plugins.media-keys custom-keybindings)
    [[ $list == *"'$entry'"* ]] || list=$("$python" -c 'import ast, sys
paths = ast.literal_eval(sys.argv[1].removeprefix("@as "))
print(repr(paths + [sys.argv[2]]))' "$list" "$entry")
    local schema=org.gnome.settings-daemon.plugins.media-keys.custom-keybinding:$entry
    gsettings set "$schema" name "'Quillmark'"
    gsettings set "$schema" command "'$binary trigger'"
    gsettings set "$schema" binding "'$binding'"
    gsettings set org.gnome.settings-daemon.plugins.media-keys custom-keybindings "$list"
    wait_for 10 shell_says "Main.shellDBusService._grabbedAccelerators.size > $grabbed" true ||
        fail "gsd-media-keys did not grab $binding"

    step "the relay and Quillmark's settings"
    "$python" "$dir/relay.py" "$dir/relay-port" >"$logs/relay.log" 2>&1 &
    started+=($!)
    wait_for 5 test -s "$dir/relay-port" || fail "the relay did not start"
    local key type value
    while read -r key type value; do
        "$binary" defaults write "$key" "$type" "$value" ||
            fail "quillmark defaults write $key $type $value failed"
    done <<END
proxyBaseURL -string http://127.0.0.1:$(cat "$dir/relay-port")
hasSeenOnboarding -bool true
autoAction -string fixGrammar
autoReplace -bool true
forcePasteReplace -bool $([ "$route" = clipboard ] && echo true || echo false)
END

    step "the GTK 3 text view"
    GDK_BACKEND=wayland "$python" "$here/../tests/e2e/gtk3_text_view.py" "$sentence" \
        >"$logs/target.log" 2>&1 &
    local target=$!
    started+=("$target")
    "$python" "$dir/accessibility.py" selected "$target" "$sentence" 10 ||
        fail "the GTK 3 text view did not offer its selection on the accessibility bus"
    wait_for 5 shell_says 'global.display.focus_window?.get_title()' '"gtk3 text view"' ||
        fail "the GTK 3 text view does not have the focus"

    step "Quillmark"
    QUILLMARK_LOG=stderr "$binary" > >(stamp_lines >"$logs/quillmark.log") 2>&1 &
    started+=($!)
    wait_for 10 logged 0 'info app: session .*' >/dev/null ||
        fail "quillmark did not start"
    # Its own X11 key grab comes last; the round trip starts once it is up.
    wait_for 5 logged 0 'info hotkey: registered .*' >/dev/null || true

    local from t_keys t_fired t_captured t_shown t_replaced
    from=$(log_lines)
    step "the round trip"
    t_keys=$(now)
    echo "keys ${shortcut_keys[*]}" >&7
    t_fired=$(wait_for 5 logged "$from" 'info hotkey: trigger fired') ||
        fail "the shortcut's keys did not run quillmark trigger"
    t_captured=$(wait_for 5 logged "$from" 'info capture: captured via ax \(30 chars\)') ||
        fail "the selection was not captured via ax"
    t_shown=$(wait_for 5 logged "$from" 'info app: panel shown frame .*') ||
        fail "the panel was not shown"
    if [ "$route" = clipboard ]; then
        t_replaced=$(wait_for 10 logged "$from" 'info replace: no way to type keys here .*') ||
            fail "Replace did not leave the result on the clipboard"
        echo "keys Control_L v" >&7
    else
        t_replaced=$(wait_for 10 logged "$from" 'info replace: replaced via EditableText .*') ||
            fail "Replace did not go through EditableText"
    fi
    local text
    wait_for 5 text_is "$target" "$corrected" ||
        fail "the text view shows \"$(text_of "$target")\", not \"$corrected\""
    text=$(text_of "$target")

    echo "GNOME Shell $(gnome-shell --version | awk '{print $3}') headless, ready in $(ms "$t_shell" "$t_ready") ms; XWayland $DISPLAY"
    echo "quillmark: $(grep -m 1 -o 'info app: session .*' "$logs/quillmark.log")"
    echo "custom shortcut $binding grabbed by gsd-media-keys; keys pressed through Mutter's RemoteDesktop"
    tail -n "+$((from + 1))" "$logs/quillmark.log" | cut -d' ' -f2- |
        grep -E '^info ((hotkey|capture|ai|replace): |app: (panel|autoAction|autoReplace))' |
        sed 's/^/  log: /'
    echo "text view now: \"$text\""
    echo "timings: keys → trigger fired $(ms "$t_keys" "$t_fired") ms;" \
        "trigger → captured $(ms "$t_fired" "$t_captured") ms;" \
        "trigger → panel shown $(ms "$t_fired" "$t_shown") ms;" \
        "keys → $([ "$route" = clipboard ] && echo "left on the clipboard" || echo replaced) $(ms "$t_keys" "$t_replaced") ms"
    echo "PASSED"
}

if [ "${1:-}" = "--inside-session" ]; then
    shift
    run_once "$@"
    exit
fi

# ---------------------------------------------------------------------------------------
# Outside: the packages, then each run in a session of its own.
# ---------------------------------------------------------------------------------------
runs=1
route=accessible
binary=$here/../build/dev/src/quillmark
while [ $# -gt 0 ]; do
    case $1 in
    --runs)
        [[ ${2:-} =~ ^[1-9][0-9]*$ ]] || usage
        runs=$2
        shift 2
        ;;
    --clipboard)
        route=clipboard
        shift
        ;;
    -h | --help) usage ;;
    -*) usage ;;
    *)
        binary=$1
        shift
        [ $# -eq 0 ] || usage
        ;;
    esac
done
[ -x "$binary" ] || {
    echo "${0##*/}: $binary is not an executable (build the dev configuration first)" >&2
    exit 2
}
binary=$(cd "$(dirname "$binary")" && pwd)/$(basename "$binary")

packages=(gnome-shell mutter gnome-settings-daemon xwayland at-spi2-core dconf-gsettings-backend
    python3-gi gir1.2-gtk-3.0 gir1.2-atspi-2.0)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f '${Status}' "$package" 2>/dev/null | grep -q 'ok installed' ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "${0##*/}: installing ${missing[*]}" >&2
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
        "${missing[@]}" >&2
fi

noise=$(mktemp)
trap 'rm -f "$noise"' EXIT
passed=0
for ((run = 1; run <= runs; run++)); do
    echo "== run $run of $runs"
    started_at=$(now)
    # What the desktop's services print on the way is shown only when the run fails (the
    # accessibility registry, started on demand, says hello on standard output).
    set +e
    timeout --kill-after=10 120 "$here/test-session" -- \
        bash "$0" --inside-session "$binary" "$route" 2>"$noise" |
        grep --line-buffered -v '^SpiRegistry daemon is running'
    status=${PIPESTATUS[0]}
    set -e
    if [ "$status" -eq 0 ]; then
        passed=$((passed + 1))
    else
        grep -v -E '^dbus-daemon|^$' "$noise" | tail -n 60 >&2 || true
    fi
    echo "(run took $(ms "$started_at" "$(now)") ms)"
done
echo "$passed passed, $((runs - passed)) failed"
[ "$passed" -eq "$runs" ]
