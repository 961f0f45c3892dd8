#!/usr/bin/env bash
# Installs the Debian packages the game needs to build, play and test, only those that are missing.
# Run by run.sh and test.sh; pass "test" to include the test-only packages.
#
# A package counts as present only when dpkg-query reports it "install ok installed": one removed
# but not purged ("deinstall ok config-files") still answers `dpkg -s` yet has no files. As root
# apt-get runs directly; otherwise through sudo when it is there; a user without either is told the
# exact line to run and the script fails.
set -euo pipefail

# cmake only recommends make, and we install without recommends: list it ourselves.
BUILD_PACKAGES="cmake make g++ pkg-config libsdl2-dev libsdl2-mixer-dev libopenmpt-dev
  libjpeg62-turbo-dev libgl-dev libglu1-mesa-dev libasound2-dev libfreetype-dev fonts-dejavu-core
  libgtest-dev libgl1-mesa-dri libegl-mesa0"
TEST_PACKAGES="xvfb xauth x11-utils xdotool imagemagick openbox sox clang libclang-rt-14-dev
  desktop-file-utils appstream"

wanted="$BUILD_PACKAGES"
[ "${1:-}" = "test" ] && wanted="$wanted $TEST_PACKAGES"

missing=""
for p in $wanted; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

export DEBIAN_FRONTEND=noninteractive
if [ "$(id -u)" = 0 ]; then
  run=()
elif command -v sudo >/dev/null 2>&1; then
  # -E keeps DEBIAN_FRONTEND, so no package stops to ask a question.
  run=(sudo -E)
else
  echo "install-deps.sh: these packages are missing and installing them needs root:$missing" >&2
  echo "Run as root:" >&2
  echo "  apt-get update && apt-get install -y --no-install-recommends$missing" >&2
  exit 1
fi

echo "Installing missing packages:$missing"
# A fresh machine's package lists may be empty: update first.
"${run[@]}" apt-get update -q || { echo "install-deps.sh: apt-get update failed" >&2; exit 1; }
# shellcheck disable=SC2086
"${run[@]}" apt-get install -y -q --no-install-recommends $missing ||
  { echo "install-deps.sh: apt-get install failed for:$missing" >&2; exit 1; }
