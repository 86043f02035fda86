#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the double-tap detector benchmark with optimisations and prints its figures: time per
# event (time_per_event) and heap allocations per event (allocs_per_event, which must be 0; the
# program exits non-zero otherwise). Extra arguments go to Google Benchmark, for example
# --benchmark_repetitions=5.
set -euo pipefail
cd "$(dirname "$0")/.."

build="${BUILD_DIR:-build/benchmarks-release}"
cmake -S benchmarks -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target doubletap_benchmark -j "${JOBS:-$(nproc)}"
"$build/doubletap_benchmark" --benchmark_counters_tabular=true "$@"
