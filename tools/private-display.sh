# Sourced by test.sh and soak.sh: starts a virtual display of our own (the first free number from
# 91), so that nothing touches the user's; it is stopped when the sourcing script exits. Exports
# DISPLAY once the display answers.
for n in $(seq 91 160); do [ -e "/tmp/.X$n-lock" ] || break; done
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
export DISPLAY=":$n"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
