#!/usr/bin/env bash
# Fails when clang-format (with .clang-format) would change any C++ file of the tree,
# when clang-tidy (with .clang-tidy) reports anything in src/, or when the README's key
# table is not the one the menus give. clang-tidy reads the compile commands of the asan
# build and the key table comes from its quillory_keytable: build that first
# (scripts/test.sh does).
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
echo "== README key table"
copy=$(mktemp)
trap 'rm -f "$copy"' EXIT
cp README.md "$copy"
"$database/tools/quillory_keytable" "$copy"
diff -u README.md "$copy" || {
  echo "the README's key table is not the menus': run $database/tools/quillory_keytable README.md" >&2
  exit 1
}
echo "lint passed"
