#!/usr/bin/env bash
# Plants each fault of scripts/faults.txt, one at a time, in a scratch worktree of the
# current commit (build/faults/tree), rebuilds it with the asan preset, runs the test
# suite and says whether the suite caught the fault. The working tree is never touched:
# only what is committed is tested.
#
#   bash scripts/faults.sh [id...]     all faults, or only those named
#   FAULT_TIMEOUT=900                  seconds one test run may take; beyond, a hang: caught
set -euo pipefail
cd "$(dirname "$0")/.."
list=$PWD/scripts/faults.txt
out=$PWD/build/faults
tree=$out/tree
limit=${FAULT_TIMEOUT:-900}
wanted=" $* "
mkdir -p "$out"

git worktree prune
[ -e "$tree/.git" ] || git worktree add -q --detach "$tree" HEAD
git -C "$tree" checkout -q --force --detach "$(git rev-parse HEAD)"

# A field of the list with its escapes \n, \t and \\ turned back into the characters.
unescape() {
  local s=${1//\\\\/$'\x01'}
  s=${s//\\n/$'\n'}
  s=${s//\\t/$'\t'}
  printf '%s' "${s//$'\x01'/\\}"
}

build() {
  (cd "$tree" && nice -n 10 cmake --preset asan &&
    nice -n 10 cmake --build --preset asan -j2) >"$out/build.log" 2>&1
}

# True when every test passes; otherwise sets $failed to the first test that failed.
run_tests() {
  local rc=0
  (cd "$tree" && nice -n 10 timeout "$limit" ctest --preset asan --parallel 2 \
    --stop-on-failure --timeout 300) >"$out/test.log" 2>&1 || rc=$?
  [ "$rc" -eq 0 ] && return 0
  failed=$(sed -n -E 's/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: ([^ ]+) .*\*\*\*.*/\1/p' \
    "$out/test.log" | head -n 1)
  [ "$rc" -eq 124 ] && failed="timeout after ${limit}s${failed:+ ($failed)}"
  [ -n "$failed" ] || failed="ctest exit $rc"
  return 1
}

echo "Building and testing the unchanged commit first"
build || { echo "The commit does not build: $out/build.log"; exit 1; }
run_tests || { echo "The suite fails without a fault ($failed): $out/test.log"; exit 1; }

result_file=$out/result.txt
printf '%-26s %-13s %5s  %s\n' ID RESULT SECS FIRST-FAILING-TEST | tee "$result_file"
total=0 caught=0 broken=0 start=$SECONDS
while IFS=$'\t' read -r -u 3 id path old new _; do
  [[ -z $id || $id == \#* ]] && continue
  [[ $# -eq 0 || $wanted == *" $id "* ]] || continue
  began=$SECONDS first=-
  old=$(unescape "$old")
  new=$(unescape "$new")
  content=$(cat "$tree/$path" 2>/dev/null && printf x) || content=
  content=${content%x}
  rest=${content//"$old"/}
  count=$(((${#content} - ${#rest}) / ${#old}))
  if [ "$count" -ne 1 ]; then
    result=BAD-ENTRY first="old text found $count times"
  else
    printf '%s' "${content/"$old"/"$new"}" >"$tree/$path"
    if ! build; then
      result=BROKEN-BUILD broken=$((broken + 1))
      cp "$out/build.log" "$out/$id.build.log"
    else
      total=$((total + 1))
      if run_tests; then
        result=MISSED
      else
        result=CAUGHT caught=$((caught + 1)) first=$failed
        cp "$out/test.log" "$out/$id.test.log"
      fi
    fi
    git -C "$tree" checkout -q -- "$path"
  fi
  printf '%-26s %-13s %5d  %s\n' "$id" "$result" $((SECONDS - began)) "$first" |
    tee -a "$result_file"
done 3<"$list"

summary="Caught $caught of $total faults that compiled; $broken did not compile; $((SECONDS - start)) s"
echo "$summary" | tee -a "$result_file"
