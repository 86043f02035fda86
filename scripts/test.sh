#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what the tests need, checks the format and the include floors, builds the
# development configuration (warnings as errors, AddressSanitizer and UndefinedBehaviorSanitizer),
# runs clang-tidy on the sources the last change touched, builds the release configuration with
# warnings as errors, and runs the whole suite inside private, throw-away desktop sessions: the
# KDE Wayland leg (label kwin) in a headless KWin, the wlroots leg (label sway) in a headless
# sway, everything else on a virtual X display.
# This is the README's test command and what CI runs.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh

echo "== format check"
scripts/check-format.sh

echo "== layers"
scripts/check-layers.sh

echo "== build"
# ccache keeps compiled objects between runs and between clones of this tree: paths are
# taken relative to the tree, so a fresh clone reuses what an earlier build compiled.
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake --preset dev "${launcher[@]}"
cmake --build --preset dev -j "$(nproc)"

echo "== clang-tidy"
scripts/tidy.sh

echo "== release build"
cmake --preset ci-release "${launcher[@]}" >/dev/null
cmake --build --preset ci-release -j "$(nproc)"

echo "== tests"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
scripts/test-session --kwin -- ctest --preset dev -L kwin --no-tests=ignore --output-on-failure "$@"
scripts/test-session --sway -- ctest --preset dev -L sway --no-tests=ignore --output-on-failure "$@"
exec scripts/test-session --x11 -- ctest --preset dev -j "$(nproc)" -LE 'kwin|sway' "$@"
