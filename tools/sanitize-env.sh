# Sourced by tools/sanitize.sh and soak.sh: the one sanitizer configuration of the game, so that
# the suites and the soak build in the same folder with the same flags and run under the same
# options. Defines:
#   asan_build                the build folder (build-asan beside the sources)
#   asan_configure            configures it (AddressSanitizer, UBSan, leaks checked at exit)
#   asan_runtime_environment  exports what a sanitized process of the game needs at run time
# Expects `root` to be the repository's root.
asan_build="$root/build-asan"

asan_configure() {
  local flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
  # -O0, and -O1 for the game's own code (tools/sanitize.cmake says why); -g1 keeps the file and
  # line of every frame of a report and builds much quicker than full debug information.
  cmake -S "$root" -B "$asan_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O0 -g1" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O0 -g1" \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DCMAKE_PROJECT_INCLUDE="$root/tools/sanitize.cmake" >/dev/null
}

asan_runtime_environment() {
  # Mesa unloads its driver (and SDL its EGL probe) when a test closes its last context: what
  # they keep for the process is then unreachable, and their frames can no longer be named, so no
  # suppression could match them. Loaded up front they stay loaded, as in the game, which opens
  # its context once. (The driver is not an ASan library, hence the link-order check is off.)
  local preload="" lib
  for lib in /usr/lib/x86_64-linux-gnu/dri/swrast_dri.so /usr/lib/x86_64-linux-gnu/libEGL_mesa.so.0; do
    [ -e "$lib" ] && preload="$preload $lib"
  done
  export LD_PRELOAD="${preload# }"
  export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=1:detect_stack_use_after_return=0:verify_asan_link_order=0"
  export LSAN_OPTIONS="suppressions=$root/tools/sanitize.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
}
