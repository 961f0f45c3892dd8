#!/usr/bin/env bash
# Builds the game, its tools and the test suites with AddressSanitizer and UndefinedBehaviorSanitizer
# (leaks detected at every process exit) in build-asan, and runs the suites there. Any report ends
# the process that made it with a failure, so a test passes only without one.
#   tools/sanitize.sh              the suites of the game's logic, files and sound (what test.sh runs)
#   tools/sanitize.sh all          every suite
#   tools/sanitize.sh SUITE...     those suites, e.g. tools/sanitize.sh shell assets
# Suites that draw need DISPLAY (test.sh provides one); audio goes to SDL's dummy driver.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build="$root/build-asan"
jobs=$(nproc)

every=$(cd tests && for d in */; do d=${d%/}; [ "$d" = support ] || [ "$d" = fuzz ] || echo "$d"; done)
# test.sh must stay within 15 minutes on two cores, and building every suite a second time does
# not fit: by default the suites whose code handles memory on its own (files, readers, sound,
# rules, particles) run here. The content suite (the content compiler run over and over, as long
# as all the others together) and the drawing suites (scene, ui: GL state and pictures) are left
# to the plain build; "all" runs them too.
case "${1:-}" in
  "") suites="shell assets audio game playfield objects effects" ;;
  all) suites=$every ;;
  *) suites="$*" ;;
esac

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

# ctest names each test "<TEST group>.<name>": run the groups of the chosen suites' files only (a
# suite built earlier and not chosen now stays out; one never built stands as "..._NOT_BUILT").
groups=$(for s in $suites; do grep -rhoE '^TEST(_F)?\( *[A-Za-z0-9_]+' "tests/$s"; done |
  sed 's/.*( *//' | sort -u | paste -sd'|')
ctest --test-dir "$build" -j"$jobs" --timeout 900 --output-on-failure -R "^($groups)\\." -E '_NOT_BUILT$'
