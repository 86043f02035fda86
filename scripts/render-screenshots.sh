#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Draws the floating panel in every state and both layouts (and a few widths and action
# sets), the tray menu, the About window, the settings window and the welcome guide's pages
# into PNG files, without a desktop, so a person can look at them.
#
# usage: scripts/render-screenshots.sh [BUILD_DIRECTORY] [SCALE]
#   BUILD_DIRECTORY defaults to build/dev; SCALE (device pixels per point) to 2.
# The pictures go to ./screenshots/, which git ignores.
set -euo pipefail
cd "$(dirname "$0")/.."

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
QT_QPA_PLATFORM=offscreen "$build/tests/ui/popover_screenshots" "$output" "$scale"
QT_QPA_PLATFORM=offscreen "$build/tests/ui/settings/window_screenshots" "$output" "$scale"
echo "render-screenshots: $(find "$output" -name '*.png' | wc -l) pictures in $output"
