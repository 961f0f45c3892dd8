#!/usr/bin/env bash
# Fuzzes every file reader of the game with libFuzzer (clang, AddressSanitizer, UBSan).
#   ./fuzz.sh [SECONDS] [TARGET...]   runs each target for SECONDS (default 60) from its seeds
#   ./fuzz.sh seeds                   writes the seed corpus again from our own writers
# Targets: archive tga jpeg zmod config top wav module level (default: all).
# Inputs the fuzzer finds go to build-fuzz/corpus/<target>/ (never into the repository); a crash is
# written to build-fuzz/crashes/<target>/ and makes the script exit non-zero after every target
# has run. Exits 0 without fuzzing when clang++ is missing (FUZZ_REQUIRED=1 makes that an error).
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)
build="$root/build-fuzz"
seeds="$root/tests/fuzz/seeds"
all="archive tga jpeg zmod config top wav module level"

if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz.sh: clang++ not found, no fuzzing done"
  [ "${FUZZ_REQUIRED:-0}" = 1 ] && exit 1
  exit 0
fi

cmake -S tests/fuzz -B "$build" -DBRIKON_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null

if [ "${1:-}" = seeds ]; then
  cmake --build "$build" -j"$(nproc)" --target brikon-fuzz-seeds >/dev/null
  rm -rf "$seeds"
  "$build/brikon-fuzz-seeds" "$seeds"
  du -sh "$seeds"/*
  exit 0
fi

seconds=60
if [[ "${1:-}" =~ ^[0-9]+$ ]]; then seconds=$1; shift; fi
targets="${*:-$all}"
for t in $targets; do
  case " $all " in *" $t "*) ;; *) echo "fuzz.sh: no target $t (have: $all)"; exit 2 ;; esac
done
# shellcheck disable=SC2086
cmake --build "$build" -j"$(nproc)" --target $(printf 'fuzz_%s ' $targets) >/dev/null

# Leaks inside the system's libraries are not ours; ours are reported like any crash.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:symbolize=1"
export LSAN_OPTIONS="suppressions=$root/tools/sanitize.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# One target: fuzzes it, then writes its line of the table to logs/<target>.result.
run_one() {
  local t=$1 corpus="$build/corpus/$1" crashes="$build/crashes/$1" log="$build/logs/$1.log"
  mkdir -p "$corpus" "$crashes" "$build/logs"
  # 64 KB inputs at most, 2 GB of memory, 10 s for one input: beyond those a player's file is
  # already a fault worth seeing.
  local status=0
  "$build/fuzz_$t" "$corpus" "$seeds/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=65536 -print_final_stats=1 -artifact_prefix="$crashes/" >"$log" 2>&1 || status=$?
  local execs took found result=ok
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
  found=$(find "$crashes" -type f | wc -l)
  [ "$status" = 0 ] || result="FAILED (see $log)"
  printf '%-8s %12s %8s %8s %s\n' "$t" "${execs:-?}" "${took:-$seconds}" "$found" "$result" \
    >"$build/logs/$t.result"
}

# As many targets at a time as there are cores: each fuzzer is one process.
jobs=$(nproc)
for t in $targets; do
  rm -f "$build/logs/$t.result"
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  run_one "$t" &
done
wait

failed=""
printf '%-8s %12s %8s %8s %s\n' target executions seconds crashes result
for t in $targets; do
  cat "$build/logs/$t.result"
  grep -q ' ok$' "$build/logs/$t.result" || failed="$failed $t"
done
if [ -n "$failed" ]; then
  echo "fuzz.sh: failures in:$failed"
  exit 1
fi
