#!/usr/bin/env bash
# Installs the Debian packages the game needs to build, play and test, only those that are missing.
# Sourced or run by run.sh and test.sh; pass "test" to include the test-only packages.
set -euo pipefail

BUILD_PACKAGES="cmake g++ pkg-config libsdl2-dev libsdl2-mixer-dev libopenmpt-dev libjpeg62-turbo-dev
  libgl-dev libglu1-mesa-dev libasound2-dev libfreetype-dev fonts-dejavu-core libgtest-dev
  libgl1-mesa-dri libegl-mesa0"
TEST_PACKAGES="xvfb xauth x11-utils xdotool imagemagick openbox sox clang libclang-rt-14-dev"

wanted="$BUILD_PACKAGES"
[ "${1:-}" = "test" ] && wanted="$wanted $TEST_PACKAGES"

missing=""
for p in $wanted; do
  dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

echo "Installing missing packages:$missing"
sudo=""
[ "$(id -u)" = 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
# shellcheck disable=SC2086
$sudo -E apt-get install -y -q --no-install-recommends $missing
