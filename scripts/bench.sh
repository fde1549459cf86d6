#!/usr/bin/env bash
# Builds the benchmarks in release mode, runs them, and prints the table of figures:
# name, time, baseline, baseline time, ratio, target. Extra arguments go to the
# benchmark runner (for example --benchmark_filter=Lookup).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j2 --target quillory_bench
QT_QPA_PLATFORM=offscreen ./build/release/bench/quillory_bench --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true "$@"
# The window again at a device pixel ratio of 2, with its own baseline; Qt reads the
# scale once, at start-up, hence a second run.
QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 ./build/release/bench/quillory_bench \
  --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_filter='_Window' "$@"
