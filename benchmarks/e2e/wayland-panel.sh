#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Times, in a Wayland test session, what a sway or GNOME user waits for after the keys: the
# desktop runs `quillmark trigger`, which asks the running instance to read the selection and
# open the panel. Measured from the start of `quillmark trigger` to the log line "panel shown",
# with a GTK 3 text view holding the selection; the median and the range of RUNS rounds, by
# the accessibility bus and by the copy command.
#
# usage: scripts/test-session --sway|--kwin -- benchmarks/e2e/wayland-panel.sh BINARY [RUNS]
set -euo pipefail
binary=$1
runs=${2:-10}
here=$(cd "$(dirname "$0")" && pwd)
log=$(mktemp)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -f "$log"' EXIT

"$binary" defaults write hasSeenOnboarding -bool true
/usr/bin/python3 "$here/../../tests/e2e/gtk3_text_view.py" "this sentance have two mistake" &
sleep 1

now_us() { echo "${EPOCHREALTIME//[!0-9]/}"; }
# Waits for a line matching the pattern after line FROM of the log.
wait_for() {
  local from=$1 pattern=$2 deadline=$(($(now_us) + 5000000))
  until tail -n +"$((from + 1))" "$log" | grep -q "$pattern"; do
    [ "$(now_us)" -lt "$deadline" ] || { echo "no \"$pattern\" in the log" >&2; tail "$log" >&2; exit 1; }
    sleep 0.001
  done
}

for route in ax clipboard; do
  "$binary" defaults write forceClipboardCapture -bool "$([ $route = clipboard ] && echo true || echo false)"
  QUILLMARK_LOG=stderr "$binary" 2>"$log" &
  wait_for 0 "session wayland"
  sleep 0.5
  times=()
  for ((i = 0; i < runs; i++)); do
    from=$(wc -l <"$log")
    start=$(now_us)
    "$binary" trigger
    wait_for "$from" "panel shown"
    times+=($((($(now_us) - start) / 100)))
    from=$(wc -l <"$log")
    "$binary" trigger
    wait_for "$from" "panel dismissed"
    sleep 0.2
  done
  kill %2 2>/dev/null || kill "$(jobs -p | tail -n 1)"
  wait "$(jobs -p | tail -n 1)" 2>/dev/null || true
  sorted=$(printf '%s\n' "${times[@]}" | sort -n)
  median=$(echo "$sorted" | sed -n "$(((runs + 1) / 2))p")
  printf '%s: trigger → panel shown: median %d.%d ms (%d.%d–%d.%d ms, %d runs)\n' "$route" \
    $((median / 10)) $((median % 10)) $(($(echo "$sorted" | head -1) / 10)) $(($(echo "$sorted" | head -1) % 10)) \
    $(($(echo "$sorted" | tail -1) / 10)) $(($(echo "$sorted" | tail -1) % 10)) "$runs"
done
