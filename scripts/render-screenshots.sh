#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Draws the floating panel in every state, its two layouts side by side (and a few widths
# and action sets), the tray menu, the About window, the settings window and the welcome
# guide's pages into PNG files, without a desktop, so a person can look at them.
#
# usage: scripts/render-screenshots.sh [--readme] [BUILD_DIRECTORY] [SCALE]
#   BUILD_DIRECTORY defaults to build/dev; SCALE (device pixels per point) to 2.
#   --readme also redraws the five pictures of the panel that the README shows (ready,
#   loading, result, error, no AI service; narrow panel) into docs/screenshots/, at scale 1 to keep them small.
# The pictures go to ./screenshots/, which git ignores.
set -euo pipefail
cd "$(dirname "$0")/.."

readme=false
if [ "${1:-}" = --readme ]; then
    readme=true
    shift
fi

build=${1:-build/dev}
scale=${2:-2}
output=$PWD/screenshots

if [ ! -f "$build/CMakeCache.txt" ]; then
    echo "render-screenshots: no configured build in $build (run cmake --preset dev first)" >&2
    exit 2
fi
cmake --build "$build" --target popover_screenshots window_screenshots
rm -rf "$output"
mkdir -p "$output"
QT_QPA_PLATFORM=offscreen "$build/tools/screenshots/popover_screenshots" "$output" "$scale"
QT_QPA_PLATFORM=offscreen "$build/tools/screenshots/window_screenshots" "$output" "$scale"
echo "render-screenshots: $(find "$output" -name '*.png' | wc -l) pictures in $output"

if $readme; then
    small=$output/readme
    QT_QPA_PLATFORM=offscreen "$build/tools/screenshots/popover_screenshots" "$small" 1 >/dev/null
    mkdir -p docs/screenshots
    for picture in ready:ready loading:loading-translate result:result error:error-retry \
        connect:needs-service; do
        cp "$small/narrow-${picture#*:}.png" "docs/screenshots/panel-${picture%%:*}.png"
    done
    rm -r "$small"
    echo "render-screenshots: the README's pictures are in docs/screenshots"
fi
