#!/usr/bin/env bash
# Installs what is missing, builds every target with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test (GUI tests on the offscreen platform).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset asan
cmake --build --preset asan -j2
ctest --preset asan
