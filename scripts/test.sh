#!/usr/bin/env bash
# Installs what is missing, builds every target with AddressSanitizer and
# UndefinedBehaviorSanitizer, checks the style (scripts/lint.sh), runs every test (GUI
# tests on the offscreen platform, at scale 1 and 2), then builds the Debian package and
# checks its contents.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset asan
cmake --build --preset asan -j2
bash scripts/lint.sh
ctest --preset asan
bash scripts/package.sh
