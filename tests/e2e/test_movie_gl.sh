#!/usr/bin/env bash
# Clips where the X server offers OpenGL (Xvfb's GLX on Mesa): a clip selected
# in the editor's file view plays in the preview pane, and a movie in a show
# shows its picture. mpv's log proves the OpenGL output drew them.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

start_x
make_home
unset QT_XCB_GL_INTEGRATION
xdpyinfo > "$E2E_TMP/xdpyinfo.txt"; grep -q GLX "$E2E_TMP/xdpyinfo.txt" || fail "the X server offers no GLX"
MPV_LOG="$E2E_TMP/mpv.log"
export VISTROVA_MPV_OPTIONS="ao=null,log-file=$MPV_LOG"

SHOW="$E2E_TMP/Show"
mkdir -p "$SHOW"
# A green clip long enough to be still playing when looked at.
ffmpeg -loglevel error -y -f lavfi -i color=c=0x00ff00:size=320x160:rate=25:duration=30 \
  -c:v mpeg1video -q:v 2 "$SHOW/green.mpg"
[ -s "$SHOW/green.mpg" ] || fail "ffmpeg made no clip"

near_green() {  # "r g b" near pure green (the clip passes through YUV)
  local c=($1)
  [ "${c[0]}" -le 40 ] && [ "${c[1]}" -ge 200 ] && [ "${c[2]}" -le 40 ]
}
# Waits until pixel ($1,$2) of the screen is green; fails with $3.
expect_green() {
  local got i
  for i in $(seq 75); do
    screenshot "$E2E_TMP/shot.png"
    got=$(pixel_rgb "$E2E_TMP/shot.png" "$1" "$2")
    near_green "$got" && return 0
    sleep 0.2
  done
  fail "$3: pixel ($1,$2) is '$got'"
}
gl_drew() { grep -q 'VO: \[gpu\]' "$MPV_LOG" 2>/dev/null; }

# The editor on the clip's folder; the clip is the folder's one file.
printf '[VISTROVA]\r\nDEFPATH=%s/\r\nMainLeft=0\r\nMainTop=0\r\n' "$SHOW" > "$VISTROVA_HOME/VISTROVA.INI"
start_vistrova /C
id=$(wait_window FileList 15) || fail "the editor window did not appear"
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$id")"
xdotool windowactivate --sync "$id" 2>/dev/null || xdotool windowfocus --sync "$id" || true
# An empty spot low in the file view, then every entry (the clip) by key.
xdotool mousemove $((X + 300)) $((Y + 500)) click 1
sleep 0.3
xdotool key ctrl+a
# The 2:1 clip fills the top of the preview box, right of the tree column.
expect_green $((X + 260)) $((Y + 118)) "the clip does not play in the preview"
gl_drew || fail "the preview was not drawn through OpenGL: $(grep -m3 'VO:\|vo/' "$MPV_LOG" || true)"
# A click on the playing clip reaches the preview through mpv's window: it pauses.
paused() { grep -c 'Set property: pause=true' "$MPV_LOG" || true; }
before=$(paused)
xdotool mousemove $((X + 260)) $((Y + 118)) click 1
for i in $(seq 50); do [ "$(paused)" -gt "$before" ] && break; sleep 0.1; done
[ "$(paused)" -gt "$before" ] || fail "a click on the playing clip did not pause it"
kill "$PID"
wait "$PID" 2>/dev/null || true

# A show of the clip alone: the movie covers the middle of the screen.
rm -f "$MPV_LOG"
printf '[VISTROVA]\r\nINTERVAL=0\r\nUNIT=0\r\n' > "$VISTROVA_HOME/VISTROVA.INI"
printf '[FILELIST]\r\nLISTNAME=gl\r\nLIST000=green.mpg|%s\r\n' "$SHOW/green.mpg" > "$VISTROVA_HOME/FILE00.INI"
"$BUILD_DIR/tests/player_driver" > "$E2E_TMP/driver.out" 2>&1 &
PID=$!
E2E_PIDS+=("$PID")
wait_window 'Vistrova!!' 15 >/dev/null || fail "no player window"
expect_green 512 384 "the movie of the show shows no picture"
# 2:1 fitted to 1024 x 768 is 1024 x 512 at top 128: mpv followed the fitting.
expect_green 1000 620 "the movie does not fill its place"
gl_drew || fail "the movie was not drawn through OpenGL"
echo "PASS"
