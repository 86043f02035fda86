#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs clang-tidy with the committed .clang-tidy on the C++ sources the last change touched
# (the files that differ from the first parent of HEAD, or from the commit given as $1).
# Needs a configured dev build for its compile commands.
set -euo pipefail
cd "$(dirname "$0")/.."
base=${1:-HEAD^}
if ! git rev-parse -q --verify "$base^{commit}" >/dev/null; then
  echo "tidy: no commit $base to compare with; nothing to check"
  exit 0
fi
mapfile -t files < <(git diff --name-only --diff-filter=AM "$base" HEAD -- 'src/*.cpp' 'src/**/*.cpp')
if ((${#files[@]} == 0)); then
  echo "tidy: no C++ source changed since $base"
  exit 0
fi
# clang does not know GCC's -fcoroutines (C++20 turns coroutines on for it anyway); the xcb-xkb
# header's work-around (`#define explicit explicit_`) is what -Wno-keyword-macro quietens.
mkdir -p build/tidy
sed -e 's/ -fcoroutines//g' build/dev/compile_commands.json > build/tidy/compile_commands.json
echo "tidy: ${#files[@]} changed source files since $(git rev-parse --short "$base")"
status=0
printf '%s\n' "${files[@]}" | xargs -P "$(nproc)" -n 4 clang-tidy -p build/tidy --quiet \
  --extra-arg=-Wno-keyword-macro > build/tidy/raw.txt 2>&1 || status=$?
grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$|^Suppressed [0-9]+ warnings|^Use -header-filter' \
  build/tidy/raw.txt > build/tidy/report.txt || true
cat build/tidy/report.txt
if ((status != 0)) || grep -q -E 'error:' build/tidy/report.txt; then
  echo "tidy: findings above"
  exit 1
fi
echo "tidy: clean"
