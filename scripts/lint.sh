#!/usr/bin/env bash
# Fails when clang-format (with .clang-format) would change any C++ file of the tree, or
# when clang-tidy (with .clang-tidy) reports anything in src/. clang-tidy reads the
# compile commands of the asan build, so configure that first (scripts/test.sh does).
#
#   bash scripts/lint.sh            format check of every file, clang-tidy on src/
#   bash scripts/lint.sh --fix      rewrite the files clang-format would change
set -euo pipefail
cd "$(dirname "$0")/.."

format=$(command -v clang-format-14 || command -v clang-format)
tidy=$(command -v clang-tidy-14 || command -v clang-tidy)
mapfile -t files < <(git ls-files '*.cpp' '*.h')

if [ "${1:-}" = --fix ]; then
  "$format" -i "${files[@]}"
  exit 0
fi

echo "== clang-format: ${#files[@]} files"
"$format" --dry-run --Werror "${files[@]}"

database=build/asan
if [ ! -f "$database/compile_commands.json" ]; then
  echo "no $database/compile_commands.json: run 'cmake --preset asan' first" >&2
  exit 1
fi
mapfile -t sources < <(git ls-files 'src/*.cpp')
echo "== clang-tidy: ${#sources[@]} files in src/"
printf '%s\n' "${sources[@]}" |
  xargs -P 2 -n 1 "$tidy" -p "$database" --quiet --warnings-as-errors='*' 2>/dev/null
echo "lint passed"
