# shellcheck shell=bash
# Sourced by test.sh and soak.sh: starts a virtual display of our own, so that nothing touches the
# user's; it is stopped when the sourcing script exits. Xvfb picks a free display number itself and
# writes it to a pipe (-displayfd), so the number is ours even with other displays starting beside
# it. Exports DISPLAY once that display answers; fails (status 1, with a reason) when Xvfb does not
# start.
if ! command -v Xvfb >/dev/null 2>&1; then
  echo "private-display.sh: Xvfb is missing (package xvfb)" >&2
  return 1
fi
xvfb_fifo=$(mktemp -u /tmp/brikon-xvfb-XXXXXX)
mkfifo -m 600 "$xvfb_fifo"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$xvfb_fifo" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
# The number comes once the server is ready; a server that dies closes the pipe and gives nothing.
xvfb_number=""
read -r -t 30 xvfb_number <"$xvfb_fifo" || true
rm -f "$xvfb_fifo"
if [ -z "$xvfb_number" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
  echo "private-display.sh: Xvfb did not start" >&2
  kill "$xvfb_pid" 2>/dev/null || true
  return 1
fi
export DISPLAY=":$xvfb_number"
