#!/usr/bin/env bash
# In a Wayland session (weston's headless compositor with Xwayland) the
# launcher runs through Xwayland: an X11 window named "Vistrova!!".
source "$(dirname "$0")/lib.sh"

make_home
export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
unset DISPLAY QT_QPA_PLATFORM
weston --backend=headless-backend.so --xwayland --socket=vistrova-e2e --idle-time=0 \
  >"$E2E_TMP/weston.log" 2>&1 &
E2E_PIDS+=($!)
display=""
for i in $(seq 100); do
  display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$E2E_TMP/weston.log" | head -n1)
  [ -n "$display" ] && [ -S "$XDG_RUNTIME_DIR/vistrova-e2e" ] && break
  sleep 0.1
done
[ -n "$display" ] || fail "weston's Xwayland did not start: $(tail -n 5 "$E2E_TMP/weston.log")"
# What a GNOME or KDE session sets; no platform chosen by the user.
export WAYLAND_DISPLAY=vistrova-e2e DISPLAY=$display XDG_SESSION_TYPE=wayland
export VISTROVA_MPV_OPTIONS=ao=null

start_vistrova
win=$(wait_window 'Vistrova!!' 30) || fail "no X11 window named Vistrova!! under Xwayland"
eval "$(xdotool getwindowgeometry --shell "$win")"
[ "$WIDTH" = 432 ] && [ "$HEIGHT" = 224 ] || fail "launcher is ${WIDTH}x${HEIGHT}"
kill -TERM "$PID"
wait_exit "$PID" 10 || fail "the launcher did not end on SIGTERM"
echo "wayland session e2e passed"
