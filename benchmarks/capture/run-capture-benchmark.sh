#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Times selection capture against Mousepad on the private test desktop: how long it takes
# from the shortcut firing to the captured text, through AT-SPI and through the copy
# command, over RUNS captures each (30 unless set), printing every run and then the
# median and the 95th percentile of each method.
#
# It builds capture_benchmark optimised in BUILD_DIR (build/capture-benchmark unless set)
# and runs itself again inside scripts/test-session --x11, so it never touches the
# developer's desktop. Not a test: the figures depend on the machine.
#
# usage: benchmarks/capture/run-capture-benchmark.sh
set -euo pipefail
cd "$(dirname "$0")/../.."

runs=${RUNS:-30}
build=${BUILD_DIR:-build/capture-benchmark}
text=" the selected words "

if [ "${1:-}" != "--inside-test-desktop" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLMARK_BUILD_TESTS=OFF \
        -DQUILLMARK_BUILD_BENCHMARKS=ON >/dev/null
    cmake --build "$build" --target capture_benchmark -j "${JOBS:-$(nproc)}"
    export QUILLMARK_CAPTURE_BENCHMARK=$PWD/$build/benchmarks/capture/capture_benchmark
    exec scripts/test-session --x11 -- "$0" --inside-test-desktop
fi

# Inside the test desktop: Mousepad with the text selected, in front.
work=$(mktemp -d)
editor=
finish() {
    [ -z "$editor" ] || { kill "$editor" 2>/dev/null; wait "$editor" 2>/dev/null || true; }
    rm -rf "$work"
}
trap finish EXIT
printf '%s' "$text" >"$work/notes.txt"
mousepad --disable-server "$work/notes.txt" >"$work/mousepad.log" 2>&1 &
editor=$!
xdotool search --sync --onlyvisible --class Mousepad >/dev/null
# The editor shows its window before its text is loaded; select until it has it.
for _ in $(seq 20); do
    xdotool key ctrl+a
    sleep 0.5
    if "$QUILLMARK_CAPTURE_BENCHMARK" --method ax --runs 1 --expect "$text" >/dev/null 2>&1; then
        break
    fi
done

for method in ax clipboard; do
    echo "== $method"
    "$QUILLMARK_CAPTURE_BENCHMARK" --method "$method" --runs "$runs" --expect "$text"
done
