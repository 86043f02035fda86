#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End-to-end figures of the quillmark binary of an existing build, measured on the private
# test desktop (scripts/test-session --x11, with a tray host started here): start-up to the
# tray icon (the event-driven probe xprobe.c, compiled here, stands in for the tray), resident memory, CPU time and wake-ups while idle, shortcut to panel through
# AT-SPI and through the copy command, and Replace to the text in mousepad. Each figure is
# the median and the 95th percentile over its runs. It builds nothing of Quillmark: give it
# a build directory, preferably an optimised one (a sanitizer build inflates every figure).
#
# usage: benchmarks/e2e/run-e2e-benchmarks.sh BUILD_DIR [--runs N] [--memory-runs N]
#            [--idle-runs N] [--idle-seconds S] [--only start|memory|idle|panel|replace]...
#            [--targets mousepad,gtk4,qt6,chromium] [--baseline OTHER_QUILLMARK_BINARY]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

if [ $# -lt 1 ] || [ "${1#-}" != "$1" ]; then
    sed -n '/^# usage:/,/^set /p' "$0" | sed '$d; s/^# \{0,1\}//' >&2
    exit 2
fi
build=$(cd "$1" && pwd)
shift
binary=$build/src/quillmark
[ -x "$binary" ] || { echo "run-e2e-benchmarks: no quillmark binary in $build/src" >&2; exit 2; }
for tool in python3 xdotool xclip xwininfo mousepad trayer; do
    command -v "$tool" >/dev/null ||
        { echo "run-e2e-benchmarks: $tool is missing; scripts/setup-debian.sh installs it" >&2; exit 2; }
done

# The probe times key presses, windows and dock requests from the X server's own events.
probe_dir=$(mktemp -d)
trap 'rm -rf "$probe_dir"' EXIT
cc -O2 -o "$probe_dir/xprobe" "$here/xprobe.c" -lxcb -lxcb-xtest -lxcb-xinput -lxcb-damage ||
    { echo "run-e2e-benchmarks: xprobe.c needs libxcb-xtest0-dev, libxcb-xinput-dev and libxcb-damage0-dev" >&2; exit 2; }

build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
sanitizers=$(sed -n 's/^QUILLMARK_SANITIZERS:[A-Z]*=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
echo "$("$binary" --version 2>/dev/null | head -n 1), build ${build_type:-?}, sanitizers ${sanitizers:-OFF}"
echo "$(nproc) cores, $(uname -sr), load $(cut -d' ' -f1-3 /proc/loadavg)"

# A sanitizer build reports leaks of the libraries at exit; that is not what is measured.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
"$root/scripts/test-session" --x11 -- python3 "$here/e2e_benchmarks.py" --binary "$binary" \
    --xprobe "$probe_dir/xprobe" "$@"
