#!/usr/bin/env bash
# Runs the fuzz targets at length, each with the options CTest gives it (its
# input size and malloc limit), JOBS at a time, and prints a table: target,
# minutes, runs, corpus size, findings. New inputs go to a scratch corpus in
# build/fuzz/long/; a finding (crash, leak, timeout, out-of-memory) is left
# there as crash-*, leak-*, timeout-* or oom-* for a corpus file and a test.
#
#   scripts/fuzz-long.sh [MINUTES [JOBS [TARGET ...]]]      (default 15 2, all)
set -uo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-15}
jobs=${2:-2}
shift 2 2>/dev/null || shift $#
build=build/fuzz
list=$build/fuzz-targets.txt
[ -f "$list" ] || { echo "fuzz-long: build the fuzz preset first" >&2; exit 1; }
out=$build/long
mkdir -p "$out"

run_one() {
  local name=$1 corpus=$2; shift 2
  local work=$out/$name
  mkdir -p "$work/corpus" "$work/findings"
  "$build/fuzz/$name" -max_total_time=$((minutes * 60)) -print_final_stats=1 "$@" \
    -artifact_prefix="$work/findings/" "$work/corpus" "fuzz/corpus/$corpus" >"$work/log" 2>&1
  echo $? >"$work/status"
}

pids=()
while read -r name corpus options; do
  if [ $# -gt 0 ] && ! printf '%s\n' "$@" | grep -qx "$name"; then continue; fi
  # shellcheck disable=SC2086
  run_one "$name" "$corpus" $options &
  pids+=($!)
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do sleep 5; done
done <"$list"
wait

failed=0
echo "| target | minutes | runs | corpus | findings |"
echo "|---|---|---|---|---|"
while read -r name corpus options; do
  work=$out/$name
  [ -f "$work/status" ] || continue
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$work/log" | grep -o '[0-9]*$' | tail -n 1)
  size=$(find "$work/corpus" "fuzz/corpus/$corpus" -type f | wc -l)
  findings=$(find "$work/findings" -type f | wc -l)
  [ "$(cat "$work/status")" = 0 ] || findings=$((findings > 0 ? findings : 1))
  echo "| $name | $minutes | ${runs:-?} | $size | $findings |"
  [ "$findings" -eq 0 ] || failed=1
done <"$list"
exit $failed
