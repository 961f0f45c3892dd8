#!/usr/bin/env bash
# play-gif.sh: a short animated GIF of play for the README, made from screenshots of the built game
# on a private virtual display: the menu is left alone until the game plays its demo (a random
# level, played well by the computer player), and a screenshot every ~0.2 s becomes one frame.
#
#   tools/play-gif.sh [GAME_DIR [OUT.gif]]     (defaults: build/game, docs/play.gif)
#
# Needs xvfb, xdotool and imagemagick. The game runs in a copy of its folder (windowed 800x600,
# effects and music off), so the folder's own Data/ is never touched.
set -eu
game=${1:-build/game}
out=${2:-docs/play.gif}
frames=30
[ -x "$game/brikon3d" ] || { echo "play-gif.sh: no $game/brikon3d (build first)" >&2; exit 2; }
for t in Xvfb xdotool import convert xdpyinfo; do
  command -v "$t" >/dev/null || { echo "play-gif.sh: needs $t" >&2; exit 2; }
done
W=800 H=600
work=$(mktemp -d)
cp -r "$game/." "$work/"
# Config.Cfg: 800x600, 32 bits, best textures, high detail, sound and music off, windowed.
printf '1\n32\n10\n2\n0\n0\n65000\n50\n125\n0\n0\n0\n0\n0\n0' > "$work/Data/Config.Cfg"

# shellcheck source=tools/private-display.sh
source "$(dirname "$0")/private-display.sh"
export SDL_AUDIODRIVER=dummy
# Niced, so that the screenshots keep up with the game on a busy machine.
( cd "$work" && exec nice -n 15 ./brikon3d ) >"$work/game.log" 2>&1 &
gpid=$!
cleanup() { kill "$gpid" 2>/dev/null || true; wait "$gpid" 2>/dev/null || true; rm -rf "$work"; }
trap 'cleanup; kill $xvfb_pid 2>/dev/null || true' EXIT

wid=""
for _ in $(seq 300); do
  kill -0 "$gpid" 2>/dev/null || break
  wid=$(xdotool search --name '^Brikon 3D' 2>/dev/null | head -n1 || true)
  [ -n "$wid" ] && break
  sleep 0.1
done
[ -n "$wid" ] || { echo "play-gif.sh: no game window appeared:" >&2; cat "$work/game.log" >&2; exit 1; }

# The demo starts after 30 s without input on the menu; a little more for its level to come in.
sleep 34
shots=$(mktemp -d)
for i in $(seq -w 1 $frames); do
  import -window root -crop "${W}x${H}+0+0" "$shots/$i.png"
  sleep 0.1
done
mkdir -p "$(dirname "$out")"
convert -delay 20 -loop 0 "$shots"/*.png -resize 320x240 -colors 64 -layers Optimize "$out"
rm -rf "$shots"
echo "play-gif.sh: $frames frames in $out"
