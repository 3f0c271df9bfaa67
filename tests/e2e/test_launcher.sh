#!/usr/bin/env bash
# The launcher in a real X server: its shaped window, the single copy rule,
# the switches that end at once, and the volume set back on every way out.
source "$(dirname "$0")/lib.sh"

start_x
xsetroot -solid '#00ff00'
make_home
VISTROVA=$BUILD_DIR/vistrova

expect_exit() {  # pid, what
  wait_exit "$1" 10 || fail "$2: the program did not end"
}

# --- /P and /A end at once: no window, no volume write, no file.
echo 1111 > "$VISTROVA_MIXER_FILE"
touch -d '2001-01-01' "$VISTROVA_MIXER_FILE"
for args in "/p 1234" "/A" "/P"; do
  start_vistrova $args
  expect_exit "$PID" "$args"
  [ "$E2E_STATUS" -eq 0 ] || fail "$args: exit status $E2E_STATUS"
done
xdotool search --name '^Vistrova!!$' >/dev/null 2>&1 && fail "/P or /A showed a window"
[ "$(cat "$VISTROVA_MIXER_FILE")" = 1111 ] || fail "/P or /A changed the volume"
[ "$(stat -c %Y "$VISTROVA_MIXER_FILE")" = "$(date -d 2001-01-01 +%s)" ] || fail "/P or /A wrote the mixer file"
[ -z "$(ls -A "$VISTROVA_HOME")" ] || fail "/P or /A touched the program folder"

# --- The launcher: 432 x 224, the root colour through the cut-out pixels.
echo 3221274624 > "$VISTROVA_MIXER_FILE"   # 0xC000C000
start_vistrova
FIRST=$PID
win=$(wait_window 'Vistrova!!') || fail "no launcher window"
eval "$(xdotool getwindowgeometry --shell "$win")"
[ "$WIDTH" = 432 ] && [ "$HEIGHT" = 224 ] || fail "launcher is ${WIDTH}x${HEIGHT}"
sleep 0.5
screenshot "$E2E_TMP/launcher.png"
# Top-left corner: key colour in the picture, so the root shows there.
[ "$(pixel_rgb "$E2E_TMP/launcher.png" $((X + 2)) $((Y + 2)))" = "0 255 0" ] ||
  fail "corner of the launcher is not cut out"
# Centre of the Exit button: part of the figure.
[ "$(pixel_rgb "$E2E_TMP/launcher.png" $((X + 380)) $((Y + 184)))" != "0 255 0" ] ||
  fail "the Exit button is cut out"
# Right of the last column of the picture's width.
[ "$(pixel_rgb "$E2E_TMP/launcher.png" $((X + 431)) $((Y + 2)))" = "0 255 0" ] ||
  fail "top-right corner of the launcher is not cut out"

# --- A second copy is refused with a message and ends; the first stays.
start_vistrova
SECOND=$PID
msg=""
for i in $(seq 100); do
  msg=$(xdotool search --onlyvisible --name '^Vistrova!!$' 2>/dev/null | grep -vx "$win" | head -n1 || true)
  [ -n "$msg" ] && break
  sleep 0.1
done
[ -n "$msg" ] || fail "the second copy showed no message"
eval "$(xdotool getwindowgeometry --shell "$msg")"
[ "$WIDTH" != 432 ] || fail "the second copy showed a launcher"
xdotool windowfocus --sync "$msg"
xdotool key Return
expect_exit "$SECOND" "second copy"
kill -0 "$FIRST" 2>/dev/null || fail "the first copy ended with the second"
# A screen-saver start next to it ends silently.
start_vistrova /s
expect_exit "$PID" "second copy in /s"
kill -0 "$FIRST" 2>/dev/null || fail "the first copy ended with the /s copy"

# --- The E key closes it and the volume read at start is written back.
echo 5 > "$VISTROVA_MIXER_FILE"   # as if the show had changed it
xdotool windowfocus "$win"
xdotool key e
expect_exit "$FIRST" "E key"
[ "$E2E_STATUS" -eq 0 ] || fail "E key: exit status $E2E_STATUS"
[ "$(cat "$VISTROVA_MIXER_FILE")" = 3221274624 ] || fail "E key: volume not set back"

# --- A copy killed outright leaves a stale lock that does not count.
start_vistrova
wait_window 'Vistrova!!' >/dev/null || fail "no launcher window"
kill -KILL "$PID"
wait_exit "$PID" 5 || fail "SIGKILL"
echo 2147516416 > "$VISTROVA_MIXER_FILE"   # 0x80008000
start_vistrova
win=$(wait_window 'Vistrova!!') || fail "a stale lock blocked the start"
sleep 0.3
[ "$(xdotool search --onlyvisible --name '^Vistrova!!$' | wc -l)" = 1 ] || fail "refused after a stale lock"

# --- SIGTERM closes the launcher the same way.
echo 7 > "$VISTROVA_MIXER_FILE"
kill -TERM "$PID"
expect_exit "$PID" "SIGTERM"
[ "$E2E_STATUS" -eq 0 ] || fail "SIGTERM: exit status $E2E_STATUS"
[ "$(cat "$VISTROVA_MIXER_FILE")" = 2147516416 ] || fail "SIGTERM: volume not set back"

# --- SIGINT too.
echo 65535 > "$VISTROVA_MIXER_FILE"
start_vistrova
wait_window 'Vistrova!!' >/dev/null || fail "no launcher window"
echo 8 > "$VISTROVA_MIXER_FILE"
kill -INT "$PID"
expect_exit "$PID" "SIGINT"
[ "$E2E_STATUS" -eq 0 ] || fail "SIGINT: exit status $E2E_STATUS"
[ "$(cat "$VISTROVA_MIXER_FILE")" = 65535 ] || fail "SIGINT: volume not set back"

# --- Without the stand-in file the system mixer (or the in-process value) serves.
env -u VISTROVA_MIXER_FILE "$VISTROVA" 2>"$E2E_TMP/nomixer.log" &
PID=$!
E2E_PIDS+=($PID)
win=$(wait_window 'Vistrova!!') || fail "no launcher without a mixer file"
xdotool windowfocus "$win"
xdotool key E
expect_exit "$PID" "E key without a mixer file"
[ "$E2E_STATUS" -eq 0 ] || fail "without a mixer file: exit status $E2E_STATUS"

# --- Screen-saver show with an empty list: the message, then the end.
echo 1234 > "$VISTROVA_MIXER_FILE"
start_vistrova /S
msg=$(wait_window 'Vistrova!!') || fail "/S with no list showed no message"
xdotool windowfocus "$msg"
xdotool key Return
expect_exit "$PID" "/S with an empty list"
[ "$(cat "$VISTROVA_MIXER_FILE")" = 1234 ] || fail "/S: volume not set back"

# --- The screen-saver show of a list ends on a key press; the settings mode
# ends when its editor closes. Both set the volume back.
convert -size 64x48 xc:'#30a050' "$E2E_TMP/a.jpg"
printf '[FILELIST]\r\nLISTNAME=t\r\nLIST000=a.jpg|%s\r\n' "$E2E_TMP/a.jpg" > "$VISTROVA_HOME/FILE00.INI"
echo 4321 > "$VISTROVA_MIXER_FILE"
start_vistrova /s:99
player=$(wait_window 'Vistrova!!' 15) || fail "/s:99 showed no player"
sleep 0.5
xdotool windowfocus "$player" 2>/dev/null || true
xdotool key space
wait_exit "$PID" 15 || fail "/s:99 did not end on a key press"
[ "$(cat "$VISTROVA_MIXER_FILE")" = 4321 ] || fail "/s:99: volume not set back"

echo 4321 > "$VISTROVA_MIXER_FILE"
start_vistrova /c:1234
editor=$(wait_window 'FileList' 15) || fail "/c:1234 showed no editor"
xdotool windowfocus "$editor" 2>/dev/null || true
xdotool key alt+f c
wait_exit "$PID" 15 || fail "/c:1234 did not end after its editor closed"
[ "$(cat "$VISTROVA_MIXER_FILE")" = 4321 ] || fail "/c:1234: volume not set back"

echo "launcher e2e: all checks passed"
