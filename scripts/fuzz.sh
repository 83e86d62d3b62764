#!/usr/bin/env bash
# Runs one libFuzzer target for a while, inside a private network namespace.
#   scripts/fuzz.sh TARGET SECONDS [--runs N] [--keep]
#   scripts/fuzz.sh --list
# Targets: project receive areacodec payloads discovery sweepcsv (the entry
# functions in tests/fuzz/). Builds build-fuzz/ with clang, ASan and UBSan;
# starts from tests/data/fuzz/TARGET and grows a scratch corpus in
# build-fuzz/corpus/TARGET. A failing input is written to
# tests/data/fuzz/TARGET/crash-* (or leak-*, timeout-*), so that the replay
# test keeps running it once the fault is fixed. --runs stops after N
# executions; --keep merges the inputs that reached new code back into
# tests/data/fuzz/TARGET.
set -euo pipefail
cd "$(dirname "$0")/.."
targets=(project receive areacodec payloads discovery sweepcsv)
if [ "${1:-}" = --list ]; then
  printf '%s\n' "${targets[@]}"
  exit 0
fi
if [ $# -lt 2 ] || [[ ! " ${targets[*]} " =~ " $1 " ]] || ! [[ $2 =~ ^[0-9]+$ ]]; then
  echo "usage: scripts/fuzz.sh TARGET SECONDS [--runs N] [--keep]   (TARGET: ${targets[*]})" >&2
  exit 2
fi
target=$1 seconds=$2 keep= runs=-1
shift 2
while [ $# -gt 0 ]; do
  case "$1" in
    --keep) keep=1 ;;
    --runs) runs=$2; shift ;;
    *) echo "scripts/fuzz.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
. scripts/setup.sh
sector_install fuzz
sector_build build-fuzz -DCMAKE_CXX_COMPILER=clang++-14 -DENABLE_FUZZING=ON -- "fuzz-$target"
sector_sanitizer_env
export ASAN_SYMBOLIZER_PATH=/usr/bin/llvm-symbolizer-14

root=$(pwd)
program=$root/build-fuzz/tests/fuzz/fuzz-$target
kept=$root/tests/data/fuzz/$target
scratch=$root/build-fuzz/corpus/$target
# libFuzzer's job writes fuzz-0.log where it runs: a folder per target.
rundir=$root/build-fuzz/run/$target
mkdir -p "$scratch" "$kept" "$rundir"
rm -f "$rundir/fuzz-0.log"
if [ "$(id -u)" = 0 ]; then ns=(unshare -n); else ns=(unshare -rn); fi
# One job in one worker: the machine's cores are shared.
(cd "$rundir" && "${ns[@]}" "$program" -jobs=1 -workers=1 \
  -max_total_time="$seconds" -runs="$runs" -max_len=8192 -timeout=20 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$kept/" "$scratch" "$kept" >/dev/null 2>&1) || true
log=$rundir/fuzz-0.log
# The job may be stopped by the clock before it prints its totals: the
# last progress line counts the executions then.
echo "executions: $(grep -oE '^#[0-9]+' "$log" | tail -1 | tr -d '#')"
grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added)' "$log" || true
status=0
if grep -qE 'Test unit written|==[0-9]+==ERROR' "$log"; then
  status=1
  grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error|[a-z]+: |artifact_prefix|Test unit written)' "$log" | head -20
fi
if [ -n "$keep" ]; then
  "${ns[@]}" "$program" -merge=1 "$kept" "$scratch" >/dev/null 2>&1
  echo "kept inputs: $(ls "$kept" | wc -l)"
fi
echo "log: $log"
exit "$status"
