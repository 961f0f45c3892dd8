#!/usr/bin/env bash
# The soak: builds the game and brikon-soak under the sanitizer configuration (build-asan, the
# folder and flags tools/sanitize.sh uses) and lets the autoplayer play all six episodes through
# the real application for a long stretch of game time, on a virtual display of its own. Any
# AddressSanitizer or UBSan report ends the run with a failure; leaks are checked when the program
# exits. Not run by test.sh: the full run takes about an hour of the machine.
#   ./soak.sh [MINUTES] [brikon-soak options]   MINUTES of game time (default 60; 2 to try it)
# The log is build-asan/soak/soak.csv (a row every 10 game-seconds), the program's output
# build-asan/soak/soak.log. The sanitizer's allocator keeps freed blocks in a quarantine and in
# lists of its own and never gives most of them back, so its memory curve is shown but not
# judged: a second run of the same game time in the plain build (build/, its log build/soak/)
# plays every episode twice and judges the memory. Exits non-zero on any error, report or leak,
# or memory that grew in the plain run.
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)
# shellcheck source=tools/sanitize-env.sh
source "$root/tools/sanitize-env.sh"

minutes=60
if [[ "${1:-}" =~ ^[0-9]+([.][0-9]+)?$ ]]; then minutes=$1; shift; fi

asan_configure
cmake --build "$asan_build" -j"$(nproc)" --target brikon3d brikon-soak

out="$asan_build/soak"
mkdir -p "$out"
# shellcheck source=tools/private-display.sh
source "$root/tools/private-display.sh"

asan_runtime_environment
# Freed blocks wait in a quarantine before they are reused, so that a late use of one is caught.
# The default quarantine (256 MB) fills over the first quarter of an hour and would read as
# growing memory; 16 MB still holds the blocks freed in the last few ticks.
export ASAN_OPTIONS="$ASAN_OPTIONS:quarantine_size_mb=16"
set +e
"$asan_build/tools/soak/brikon-soak" --minutes "$minutes" --csv "$out/soak.csv" \
  --game "$asan_build/game" "$@" 2>&1 | tee "$out/soak.log"
status=${PIPESTATUS[0]}
set -e

# The memory curve: about a dozen rows of the log.
rows=$(($(wc -l <"$out/soak.csv") - 1))
step=$(((rows + 11) / 12))
echo "resident memory (kB) over the run:"
awk -F, -v step="$step" 'NR == 1 || (NR - 2) % step == 0 { print "  " $0 }' "$out/soak.csv" |
  column -t -s,
tail -n 1 "$out/soak.csv" | awk -F, '{ print "  (last) " $0 }'

if grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:' "$out/soak.log"; then
  echo "soak.sh: sanitizer report in $out/soak.log"
  status=1
fi
# Status 2 is memory alone: left to the plain run.
if [ "$status" = 2 ]; then status=0; fi

echo
echo "soak.sh: the same game time in the plain build, every episode twice, for the memory"
plain="$root/build"
cmake -S "$root" -B "$plain" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$plain" -j"$(nproc)" --target brikon3d brikon-soak
mkdir -p "$plain/soak"
unset ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS LD_PRELOAD
set +e
"$plain/tools/soak/brikon-soak" --minutes "$minutes" --rounds 2 --csv "$plain/soak/soak.csv" \
  --game "$plain/game" "$@" 2>&1 | tee "$plain/soak/soak.log"
plainStatus=${PIPESTATUS[0]}
set -e
if [ "$plainStatus" != 0 ] && [ "$status" = 0 ]; then status=$plainStatus; fi
if [ "$status" = 0 ]; then
  echo "soak.sh: passed"
else
  echo "soak.sh: FAILED (status $status)"
fi
exit "$status"
