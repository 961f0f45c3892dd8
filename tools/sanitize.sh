#!/usr/bin/env bash
# Builds the game, its tools and the test suites with AddressSanitizer and UndefinedBehaviorSanitizer
# (leaks detected at every process exit) in build-asan, and runs the suites there. Any report ends
# the process that made it with a failure, so a test passes only without one.
#   tools/sanitize.sh [SUITE...]   e.g. tools/sanitize.sh shell assets (default: SANITIZE_SUITES)
# Suites that draw need DISPLAY (test.sh provides one); audio goes to SDL's dummy driver.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build="$root/build-asan"
jobs=$(nproc)

# Every suite by default. A suite can be left out here to keep test.sh within its time, e.g.
# SANITIZE_SUITES="shell assets audio game playfield objects"; the fuzzers cover the readers anyway.
suites="${*:-${SANITIZE_SUITES:-}}"
if [ -z "$suites" ]; then
  suites=$(cd tests && for d in */; do d=${d%/}; [ "$d" = support ] || [ "$d" = fuzz ] || echo "$d"; done)
fi

flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
# -O1: the sanitizers' usual level, quicker to build than -O2 and still quick to run.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
# shellcheck disable=SC2046
cmake --build "$build" -j"$jobs" --target brikon3d $(printf 'test_%s ' $suites)

# Mesa unloads its driver (and SDL its EGL probe) when a test closes its last context: what they
# keep for the process is then unreachable, and their frames can no longer be named, so no
# suppression could match them. Loaded up front they stay loaded, as in the game, which opens its
# context once. (The driver is not an ASan library, hence the link-order check is off.)
preload=""
for lib in /usr/lib/x86_64-linux-gnu/dri/swrast_dri.so /usr/lib/x86_64-linux-gnu/libEGL_mesa.so.0; do
  [ -e "$lib" ] && preload="$preload $lib"
done
export LD_PRELOAD="${preload# }"
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=1:detect_stack_use_after_return=0:verify_asan_link_order=0"
export LSAN_OPTIONS="suppressions=$root/tools/sanitize.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"

# Suites left out of the build stand in ctest as "test_<suite>_NOT_BUILT": skip those.
ctest --test-dir "$build" -j"$jobs" --timeout 900 --output-on-failure -E '_NOT_BUILT$'
