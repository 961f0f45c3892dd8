#!/usr/bin/env bash
# Tests the game: installs what is missing, builds everything, and runs every suite under a private
# virtual X display with SDL's dummy audio driver. Then two more configurations on the same
# display: a short fuzzing of every file reader (when clang is present) and the suites of the
# game's own memory handling under AddressSanitizer and UBSan. Exits non-zero on any failure; each
# part runs even after an earlier one failed, so that one run shows everything.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh test
jobs=$(nproc)
start=$SECONDS
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"

# A display of our own, so the suites never touch the user's.
# shellcheck source=tools/private-display.sh
source tools/private-display.sh
export SDL_AUDIODRIVER=dummy

failed=""
(cd build && ctest --output-on-failure -j"$jobs" --timeout 600) || failed="$failed suites"
plain=$((SECONDS - start))

# The whole script has 15 minutes on a two-core machine. From a clean clone it takes about 22
# minutes of CPU time: the plain build and suites about 12, the fuzzers' build 1, the sanitizer
# build of the game and of its suites 7 and running those 2; on two idle cores, 11 to 12 minutes.
# What is left gives each of the nine fuzzers 10 s (two at a time, under a minute in all) rather
# than 20: a smoke that every reader still starts from its seeds and survives its first
# mutations. ./fuzz.sh runs them longer.
./fuzz.sh 10 || failed="$failed fuzz"
fuzz=$((SECONDS - start - plain))

# The sanitizer configuration: tools/sanitize.sh's own choice of suites (files, readers, sound,
# rules, particles); the drawing and content suites stay with the plain build.
tools/sanitize.sh || failed="$failed sanitizer"
sanitizer=$((SECONDS - start - plain - fuzz))

echo "test.sh: plain build and suites ${plain} s, fuzz smoke ${fuzz} s, sanitizer suites ${sanitizer} s"
if [ -n "$failed" ]; then
  echo "test.sh: FAILED:$failed"
  exit 1
fi
echo "test.sh: passed"
