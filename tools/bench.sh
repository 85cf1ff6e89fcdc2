#!/usr/bin/env bash
# Builds the benchmarks in a release tree of their own and runs them all side by side, printing
# one table (Markdown). Needs Xvfb; valgrind adds instruction counts of the paints.
#   tools/bench.sh [--rounds N] [--no-callgrind] [--only startup|search|paint|navigate|check]
# BENCH_BUILD_DIR overrides the build folder (default build-bench).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BENCH_BUILD_DIR:-build-bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target quelm quelm-check bench_all
exec python3 bench/run_benchmarks.py --build "$build" "$@"
