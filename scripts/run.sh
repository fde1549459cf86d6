#!/usr/bin/env bash
# Installs what is missing, builds the release configuration and starts the editor.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset release
cmake --build --preset release -j2 --target quillory
exec ./build/release/src/quillory "$@"
