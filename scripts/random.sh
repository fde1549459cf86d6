#!/usr/bin/env bash
# A longer run of the random tester under AddressSanitizer and UndefinedBehaviorSanitizer:
#   scripts/random.sh [--seed S] [--steps N]   play seed S (default: a new one) for N steps
#   scripts/random.sh --seed S --episode E     replay one failing episode, with its steps
set -euo pipefail
cd "$(dirname "$0")/.."
seed=$(( $(date +%s) % 1000000 ))
steps=1000000
episode=""
while [ $# -gt 0 ]; do
  case "$1" in
    --seed) seed="$2"; shift 2 ;;
    --steps) steps="$2"; shift 2 ;;
    --episode) episode="$2"; shift 2 ;;
    *) echo "usage: $0 [--seed S] [--steps N] [--episode E]" >&2; exit 2 ;;
  esac
done
cmake --preset asan >/dev/null
cmake --build --preset asan -j2 --target random_test
export QUILLORY_RANDOM_SEED="$seed" QUILLORY_RANDOM_STEPS="$steps"
if [ -n "$episode" ]; then export QUILLORY_RANDOM_EPISODE="$episode"; fi
echo "random run: seed $seed${episode:+, episode $episode}${episode:-, $steps steps}"
exec ./build/asan/tests/random_test --gtest_filter=RandomRun.FromEnvironment
