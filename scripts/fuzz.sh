#!/usr/bin/env bash
# Builds the libFuzzer target with clang (the fuzz preset, in build/fuzz) and runs it
# for a short time on its committed seed corpus in fuzz/corpus/. A crash, a leak, a hang
# or a failed check ends the run with an error; the input that caused it is kept in
# build/fuzz/artifacts/. New inputs found on the way go to a scratch folder, so the
# committed corpus does not change.
#
#   bash scripts/fuzz.sh            40 seconds: each input plays a whole episode
#   bash scripts/fuzz.sh 600        a longer run: 10 minutes
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-40}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(commands)
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2

artifacts=build/fuzz/artifacts
mkdir -p "$artifacts"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for target in "${targets[@]}"; do
  time=$seconds
  echo "== fuzz_$target: ${time}s"
  mkdir -p "$scratch/$target"
  ./build/fuzz/fuzz/fuzz_"$target" -max_total_time="$time" -timeout=20 -max_len=4096 \
    -artifact_prefix="$artifacts/$target-" -print_final_stats=1 \
    "$scratch/$target" "fuzz/corpus/$target" 2>"$scratch/$target.log" || {
    tail -n 60 "$scratch/$target.log"
    echo "fuzz_$target failed; the input is in $artifacts/"
    exit 1
  }
  grep -E '^(stat::number_of_executed_units|stat::new_units_added|#[0-9]+.*DONE)' \
    "$scratch/$target.log" || true
done
echo "fuzzing passed: ${targets[*]}"
