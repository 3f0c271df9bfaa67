#!/usr/bin/env bash
# Clips where the X server offers OpenGL (Xvfb's GLX on Mesa): a clip selected
# in the editor's file view plays in the preview pane and a click on it pauses
# it; a movie in a show shows its picture and a drag across it seeks. mpv's log
# proves the OpenGL output drew them and tells what the program asked of it.
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

# A show of one moving test pattern: it covers the middle of the screen.
ffmpeg -loglevel error -y -f lavfi -i testsrc=size=320x160:rate=25:duration=60 -c:v mpeg1video "$E2E_TMP/bars.mpg"
rm -f "$MPV_LOG"
printf '[VISTROVA]\r\nINTERVAL=0\r\nUNIT=0\r\n' > "$VISTROVA_HOME/VISTROVA.INI"
printf '[FILELIST]\r\nLISTNAME=gl\r\nLIST000=bars.mpg|%s\r\n' "$E2E_TMP/bars.mpg" > "$VISTROVA_HOME/FILE00.INI"
"$BUILD_DIR/tests/player_driver" > "$E2E_TMP/driver.out" 2>&1 &
PID=$!
E2E_PIDS+=("$PID")
wait_window 'Vistrova!!' 15 >/dev/null || fail "no player window"
# 2:1 fitted to 1024 x 768 is 1024 x 512 at top 128: several colours of the
# pattern along its middle and near its bottom right corner (mpv followed the fitting).
colours=""
for i in $(seq 75); do
  screenshot "$E2E_TMP/shot.png"
  colours=$(convert "$E2E_TMP/shot.png" -format \
    "$(for x in 100 300 500 700 1000; do printf '%%[fx:int(255*p{%d,%d}.r)] %%[fx:int(255*p{%d,%d}.g)] %%[fx:int(255*p{%d,%d}.b)]\\n' $x 384 $x 384 $x 384; done)" \
    info: | sort -u)
  [ "$(echo "$colours" | wc -l)" -ge 3 ] && [ "$(pixel_rgb "$E2E_TMP/shot.png" 1000 620)" != "0 0 0" ] && break
  sleep 0.2
done
[ "$(echo "$colours" | wc -l)" -ge 3 ] || fail "the movie of the show shows no picture: $(echo $colours)"
[ "$(pixel_rgb "$E2E_TMP/shot.png" 1000 620)" != "0 0 0" ] || fail "the movie does not fill its place"
gl_drew || fail "the movie was not drawn through OpenGL"
# A drag across the playing movie seeks with the sound off (on past the end,
# so the clip reloads under the pointer); its release still reaches the
# player, which turns the sound back on.
xdotool mousemove 400 400
sleep 0.3
xdotool mousedown 1
sleep 0.3
xdotool mousemove 700 400
sleep 1.5
xdotool mouseup 1
for i in $(seq 50); do grep -q 'Set property: mute=false' "$MPV_LOG" && break; sleep 0.1; done
grep -q 'Set property: mute=true' "$MPV_LOG" || fail "the drag did not seek"
grep -q 'Set property: mute=false' "$MPV_LOG" || fail "the release of the drag did not reach the player"
echo "PASS"
