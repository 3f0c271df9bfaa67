#!/usr/bin/env bash
# The show on its own: `vistrova /S` steps through solid-colour pictures every
# second and ends on a key press with the volume set back; in the normal mode
# (player driver) Ctrl+click ends the show and a drag upwards raises the
# volume step by step in the mixer stand-in.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

start_x 640x480x24
make_home
VISTROVA=$BUILD_DIR/vistrova
DRIVER="$BUILD_DIR/tests/player_driver"
[ -x "$VISTROVA" ] || fail "no vistrova at $VISTROVA"
[ -x "$DRIVER" ] || fail "no player driver at $DRIVER"

# Names with spaces, quotes and non-ASCII characters on purpose.
media="$E2E_TMP/media dir"
mkdir -p "$media"
convert -size 64x48 xc:'#ff0000' "$media/red 1.bmp"
convert -size 64x48 xc:'#00ff00' "$media/green'2.bmp"
convert -size 64x48 xc:'#0000ff' "$media/青 3.bmp"
printf '[VISTROVA]\r\nBACKCOLOR=0\r\nINTERVAL=1\r\n' > "$VISTROVA_HOME/VISTROVA.INI"
{
  printf '[FILELIST]\r\nLISTNAME=saver\r\n'
  printf 'LIST000=red|%s\r\n' "$media/red 1.bmp"
  printf 'LIST001=green|%s\r\n' "$media/green'2.bmp"
  printf 'LIST002=blue|%s\r\n' "$media/青 3.bmp"
} > "$VISTROVA_HOME/FILE00.INI"

shot() { screenshot "$E2E_TMP/shot.png"; pixel_rgb "$E2E_TMP/shot.png" 320 240; }

# --- /S advances by itself, once a second.
START_VOLUME=3435973836   # 0xCCCCCCCC
echo "$START_VOLUME" > "$VISTROVA_MIXER_FILE"
"$VISTROVA" /S > "$E2E_TMP/saver.out" 2>&1 &
PID=$!
E2E_PIDS+=("$PID")
win=$(wait_window 'Vistrova!!' 15) || fail "/S showed no player"
seen=""
for i in $(seq 60); do
  c=$(shot)
  case "$c" in
    "255 0 0"|"0 255 0"|"0 0 255") echo "$seen" | grep -q "|$c|" || seen="$seen|$c|" ;;
  esac
  [ "$(echo "$seen" | grep -o '|[^|]*|' | wc -l)" -ge 3 ] && break
  sleep 0.2
done
n=$(echo "$seen" | grep -o '|[^|]*|' | wc -l)
[ "$n" -ge 3 ] || fail "/S with INTERVAL=1 showed only: $seen"
kill -0 "$PID" 2>/dev/null || fail "/S ended by itself"

# Moving the mouse does not end it; a key press does.
xdotool mousemove 100 100
sleep 0.5
kill -0 "$PID" 2>/dev/null || fail "/S ended on a mouse move"
xdotool windowfocus "$win" 2>/dev/null || true
xdotool key a
wait_exit "$PID" 15 || fail "/S did not end on a key press"
[ "$E2E_STATUS" -eq 0 ] || fail "/S exit status $E2E_STATUS: $(cat "$E2E_TMP/saver.out")"
[ "$(cat "$VISTROVA_MIXER_FILE")" = "$START_VOLUME" ] || fail "/S: volume not set back: $(cat "$VISTROVA_MIXER_FILE")"

# --- Normal mode through the player driver: pictures stay (INTERVAL 0).
printf '[VISTROVA]\r\nBACKCOLOR=0\r\nINTERVAL=0\r\n' > "$VISTROVA_HOME/VISTROVA.INI"
run_driver() {
  xdotool mousemove 320 240
  "$DRIVER" > "$E2E_TMP/driver.out" 2> "$E2E_TMP/driver.err" &
  PID=$!
  E2E_PIDS+=("$PID")
  win=$(wait_window 'Vistrova!!' 15) || fail "no player window ($1)"
  for i in $(seq 50); do [ "$(shot)" = "255 0 0" ] && break; sleep 0.1; done
  [ "$(shot)" = "255 0 0" ] || fail "$1: first picture not shown: $(shot)"
  xdotool windowfocus --sync "$win" 2>/dev/null || true
}

# A drag upwards raises the volume step every half second.
echo 1145324612 > "$VISTROVA_MIXER_FILE"   # 0x44444444: step 4
run_driver "drag up"
xdotool mousemove 320 240 mousedown 1
sleep 0.2
xdotool mousemove 320 120
sleep 1.4
xdotool mouseup 1
sleep 0.3
vol=$(cat "$VISTROVA_MIXER_FILE")
[ $((vol % 0x11111111)) -eq 0 ] || fail "volume $vol is not a step"
step=$((vol / 0x11111111))
[ "$step" -ge 5 ] && [ "$step" -le 15 ] || fail "a drag up left step $step (volume $vol)"
[ "$(shot)" = "255 0 0" ] || fail "the drag stepped the show: $(shot)"
kill -0 "$PID" 2>/dev/null || fail "the drag ended the show"

# Ctrl+click ends the show.
xdotool mousemove 320 240 keydown ctrl click 1 keyup ctrl
wait_exit "$PID" 10 || fail "Ctrl+click did not end the player"
[ "$E2E_STATUS" -eq 0 ] || fail "driver exit status $E2E_STATUS: $(cat "$E2E_TMP/driver.err")"
grep -q 'closed at 0' "$E2E_TMP/driver.out" || fail "Ctrl+click stepped before ending: $(cat "$E2E_TMP/driver.out")"
echo "player saver e2e passed"
