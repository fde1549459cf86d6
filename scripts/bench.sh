#!/usr/bin/env bash
# Builds the benchmarks in release mode, runs them, and prints the table of figures:
# name, time, baseline, baseline time, ratio, target. Extra arguments go to the
# benchmark runner (for example --benchmark_filter=Lookup).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j2 --target quillory_bench
# Five runs of each, interleaved at random so that a slow spell of a shared machine falls
# on measure and baseline alike; the median stands for each.
runs=(--benchmark_repetitions=5 --benchmark_report_aggregates_only=true
  --benchmark_enable_random_interleaving=true)
QT_QPA_PLATFORM=offscreen ./build/release/bench/quillory_bench "${runs[@]}" \
  --benchmark_filter='-_Xvfb' "$@"
# The window again at a device pixel ratio of 2, with its own baselines; Qt reads the
# scale once, at start-up, hence a second run.
QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 ./build/release/bench/quillory_bench "${runs[@]}" \
  --benchmark_filter='_Window' "$@"
# From the key press to the page's pixels on an X server, at a pixel ratio of 1.
xvfb-run -a -s '-screen 0 1280x1024x24' env QT_QPA_PLATFORM=xcb \
  ./build/release/bench/quillory_bench "${runs[@]}" --benchmark_filter='_Xvfb' "$@"
