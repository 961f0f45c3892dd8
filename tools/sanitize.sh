#!/usr/bin/env bash
# Builds the game, its tools and the test suites with AddressSanitizer and UndefinedBehaviorSanitizer
# (leaks detected at every process exit) in build-asan, and runs the suites there. Any report ends
# the process that made it with a failure, so a test passes only without one.
#   tools/sanitize.sh              the suites of the game's logic, files and sound (what test.sh runs)
#   tools/sanitize.sh all          every suite
#   tools/sanitize.sh SUITE...     those suites by folder, e.g. tools/sanitize.sh core ui/screens
# Suites that draw need DISPLAY (test.sh provides one); audio goes to SDL's dummy driver.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)

# Suites by folder as tests/CMakeLists.txt makes them: ui/controls is the suite test_ui_controls.
every=$(cd tests && for d in */ */*/; do d=${d%/}; case $d in support | fuzz | fuzz/*) continue ;; esac
  ls "$d"/*.cpp >/dev/null 2>&1 && echo "$d"; done)
# test.sh must stay within 15 minutes on two cores (a clean clone took 11 min 50 s on an idle
# machine here with objects and effects in this list too), and building every suite a second time
# does not fit: by default the suites whose code handles memory on its own (files, readers, sound,
# rules) run here; the game suite's computer-played games run the objects' and effects' code
# under the sanitizers as well. The content suite (the content compiler run over and over, as
# long as all the others together), the drawing suites (scene, ui: GL state and pictures) and the
# objects and effects suites are left to the plain build; "all" runs them too.
case "${1:-}" in
  "") suites="core shell app assets audio game playfield" ;;
  all) suites=$every ;;
  *) suites="$*" ;;
esac

source "$root/tools/sanitize-env.sh"
build=$asan_build
asan_configure
# shellcheck disable=SC2046
cmake --build "$build" -j"$jobs" --target brikon3d $(printf 'test_%s ' $suites | tr / _)

asan_runtime_environment

# ctest names each test "<TEST group>.<name>": run the groups of the chosen suites' files only (a
# suite built earlier and not chosen now stays out; one never built stands as "..._NOT_BUILT").
groups=$(for s in $suites; do grep -rhoE '^TEST(_F)?\( *[A-Za-z0-9_]+' "tests/$s"; done |
  sed 's/.*( *//' | sort -u | paste -sd'|')
ctest --test-dir "$build" -j"$jobs" --timeout 900 --output-on-failure -R "^($groups)\\." -E '_NOT_BUILT$'
