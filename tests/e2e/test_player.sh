#!/usr/bin/env bash
# The player in a real X server: covers the screen, shows pictures on the
# background colour, steps by click and key, plays a movie to its end, offers
# Retry/Ignore for a missing file, ends with Esc.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

start_player_bench 1024x768x24
convert -size 200x300 xc:'#00ff00' "$media/tall.bmp"
convert -size 400x100 xc:'#0000ff' "$media/wide.jpg"
ffmpeg -loglevel error -y -f lavfi -i testsrc=size=320x180:rate=25:duration=4 \
  -c:v mpeg1video -q:v 4 "$media/clip.mpg"
[ -s "$media/clip.mpg" ] || fail "ffmpeg made no clip"

# Background 0x00BBGGRR = 0x400080: red 128, green 0, blue 64. Pictures stay
# until moved on (INTERVAL 0).
printf '[VISTROVA]\r\nBACKCOLOR=%d\r\nINTERVAL=0\r\nUNIT=0\r\n' $((0x400080)) > "$VISTROVA_HOME/VISTROVA.INI"
{
  printf '[FILELIST]\r\nLISTNAME=e2e\r\n'
  printf 'LIST000=tall.bmp|%s\r\n' "$media/tall.bmp"
  printf 'LIST001=wide.jpg|%s\r\n' "$media/wide.jpg"
  printf 'LIST002=clip.mpg|%s\r\n' "$media/clip.mpg"
  printf 'LIST003=gone.jpg|%s\r\n' "$media/gone.jpg"
  printf 'LIST004=|\r\n'
} > "$VISTROVA_HOME/FILE00.INI"

BACK="128 0 64"
shot() { screenshot "$E2E_TMP/shot.png"; pixel_rgb "$E2E_TMP/shot.png" "$1" "$2"; }
# Waits until pixel ($1,$2) reads $3 ("r g b"); fails with $4.
expect_pixel() {
  local got i
  for i in $(seq 50); do
    got=$(shot "$1" "$2")
    [ "$got" = "$3" ] && return 0
    sleep 0.2
  done
  fail "$4: pixel ($1,$2) is '$got', expected '$3'"
}
near() {  # "r g b" close to "r g b" (JPEG and scaling blur colours a little)
  local a=($1) b=($2) i d
  for i in 0 1 2; do d=$((a[i] - b[i])); [ ${d#-} -le 24 ] || return 1; done
}
expect_near() {
  local got i
  for i in $(seq 50); do
    got=$(shot "$1" "$2")
    near "$got" "$3" && return 0
    sleep 0.2
  done
  fail "$4: pixel ($1,$2) is '$got', expected about '$3'"
}
count_named() { xdotool search --onlyvisible --name '^Vistrova!!$' 2>/dev/null | wc -l; }
wait_count() {  # visible windows named Vistrova!! reach $1
  local i
  for i in $(seq 100); do [ "$(count_named)" -eq "$1" ] && return 0; sleep 0.1; done
  fail "$2 (windows named Vistrova!!: $(count_named))"
}

# The test pattern's bars: several colours across the middle, none of them
# the background (a black or empty element would fail this).
expect_movie() {
  local movie_ok="" colours="" fmt x i
  for i in $(seq 50); do
    screenshot "$E2E_TMP/movie.png"
    fmt=""
    for x in 100 300 500 700 900; do
      fmt+="%[fx:int(255*p{$x,250}.r)] %[fx:int(255*p{$x,250}.g)] %[fx:int(255*p{$x,250}.b)]\n"
    done
    colours=$(convert "$E2E_TMP/movie.png" -format "$fmt" info: | sort -u)
    if [ "$(echo "$colours" | wc -l)" -ge 3 ] && ! echo "$colours" | grep -qx "$BACK"; then movie_ok=1; break; fi
    sleep 0.1
  done
  [ -n "$movie_ok" ] || fail "$1: the movie shows no picture: $(echo $colours)"
}

xdotool mousemove 600 400
"$DRIVER" > "$E2E_TMP/driver.out" 2> "$E2E_TMP/driver.err" &
PID=$!
E2E_PIDS+=("$PID")
win=$(wait_window 'Vistrova!!' 15) || fail "no player window"

# Covers the screen.
eval "$(xdotool getwindowgeometry --shell "$win")"
[ "$X" -eq 0 ] && [ "$Y" -eq 0 ] && [ "$WIDTH" -eq 1024 ] && [ "$HEIGHT" -eq 768 ] \
  || fail "player geometry ${WIDTH}x${HEIGHT}+${X}+${Y}, expected 1024x768+0+0"

# 200x300 fitted to 1024x768 is 512x768 at left 256: background at both sides.
expect_pixel 512 384 "0 255 0" "first picture"
expect_pixel 100 384 "$BACK" "background left of the picture"
expect_pixel 900 384 "$BACK" "background right of the picture"

# Left click: next (400x100 becomes 1024x256 at top 256).
xdotool mousemove 600 400 click 1
expect_near 512 384 "0 0 255" "left click to the second picture"
expect_pixel 512 100 "$BACK" "background above the wide picture"

# Right click: previous.
xdotool click 3
expect_pixel 512 384 "0 255 0" "right click back to the first picture"

# The default next key F8, then back with F6.
xdotool key F8
expect_near 512 384 "0 0 255" "F8 to the second picture"
xdotool key F6
expect_pixel 512 384 "0 255 0" "F6 back to the first picture"

# A double click steps twice (the click, then its repeat): on to the movie,
# 320x180 fitted to 1024x576 at top 96.
xdotool click --repeat 2 --delay 80 1
expect_movie "double click to the movie"
[ "$(shot 512 40)" = "$BACK" ] || fail "no background above the movie: $(shot 512 40)"

# A click on the movie reaches the player: right click goes back; F8 returns.
xdotool click 3
expect_near 512 384 "0 0 255" "right click on the movie back to the second picture"
xdotool key F8
expect_movie "F8 back to the movie"

# At its end the movie advances to the missing file: the "Can't open!!" box.
wait_count 2 "no Can't open!! box after the movie ended"
box=$(xdotool search --onlyvisible --name '^Vistrova!!$' | grep -v "^$win\$" | head -n1)
# Retry on a file still missing shows the box again.
xdotool windowactivate --sync "$box" 2>/dev/null || xdotool windowfocus --sync "$box"
xdotool key --window "$box" r
sleep 0.5
wait_count 2 "Retry did not show the box again"
box=$(xdotool search --onlyvisible --name '^Vistrova!!$' | grep -v "^$win\$" | head -n1)
xdotool windowfocus --sync "$box"
xdotool key --window "$box" i
wait_count 1 "Ignore did not close the box"
expect_pixel 512 384 "0 255 0" "Ignore goes on to the first entry (wrap-around)"

# F2 opens the help window (480 x 514) over the player; Enter presses its OK.
xdotool windowfocus --sync "$win"
xdotool key F2
help=""
for i in $(seq 50); do
  help=$(xdotool search --onlyvisible --classname player_driver 2>/dev/null | grep -v "^$win\$" | head -n1 || true)
  [ -n "$help" ] && break
  sleep 0.1
done
[ -n "$help" ] || fail "F2 showed no help window"
settled_geometry "$help"
[ "$WIDTH" -eq 480 ] && [ "$HEIGHT" -eq 514 ] || fail "help window ${WIDTH}x${HEIGHT}"
# Dragging the picture with the left button moves the window; the right does not.
HX=$X; HY=$Y
xdotool mousemove $((HX + 100)) $((HY + 200)) mousedown 3 mousemove $((HX + 160)) $((HY + 240)) mouseup 3
settled_geometry "$help"
[ "$X" -eq "$HX" ] && [ "$Y" -eq "$HY" ] || fail "a right drag moved the help window to $X,$Y"
xdotool mousemove $((HX + 100)) $((HY + 200)) mousedown 1
# A window manager takes the move over asynchronously: let it grab first.
sleep 0.3
for step in 1 2 3 4 5 6; do xdotool mousemove $((HX + 100 + step * 10)) $((HY + 200 + step * 5)); sleep 0.05; done
xdotool mouseup 1
settled_geometry "$help"
[ "$X" -eq $((HX + 60)) ] && [ "$Y" -eq $((HY + 30)) ] || fail "a left drag moved the help window from $HX,$HY to $X,$Y"
xdotool mousemove 600 400
xdotool windowfocus --sync "$help"
xdotool key Return
for i in $(seq 50); do
  xdotool search --onlyvisible --classname player_driver 2>/dev/null | grep -qv "^$win\$" || break
  sleep 0.1
done
xdotool search --onlyvisible --classname player_driver 2>/dev/null | grep -qv "^$win\$" && fail "OK did not close the help window"

# Esc ends the show.
xdotool windowfocus --sync "$win"
xdotool key Escape
wait_exit "$PID" 10 || fail "Esc did not end the player"
[ "$E2E_STATUS" -eq 0 ] || fail "driver exit status $E2E_STATUS: $(cat "$E2E_TMP/driver.err")"
grep -q 'closed at 0' "$E2E_TMP/driver.out" || fail "unexpected end: $(cat "$E2E_TMP/driver.out")"

# A press in the top-left pixel ends the show.
"$DRIVER" > "$E2E_TMP/driver.out" 2> "$E2E_TMP/driver.err" &
PID=$!
E2E_PIDS+=("$PID")
win=$(wait_window 'Vistrova!!' 15) || fail "no player window (second run)"
expect_pixel 512 384 "0 255 0" "second run starts where the first stopped"
xdotool mousemove 0 0 click 1
wait_exit "$PID" 10 || fail "a press at (0, 0) did not end the player"
[ "$E2E_STATUS" -eq 0 ] || fail "driver exit status $E2E_STATUS after the corner press"

# The fixed-size window: 400 x 300, the key table is off, Alt+F4 still ends.
printf '[VISTROVA]\r\nBACKCOLOR=%d\r\nINTERVAL=0\r\nSIZE=ON\r\nHSIZE=300\r\nWSIZE=400\r\n' $((0x400080)) \
  > "$VISTROVA_HOME/VISTROVA.INI"
xdotool mousemove 600 400
"$DRIVER" > "$E2E_TMP/driver.out" 2> "$E2E_TMP/driver.err" &
PID=$!
E2E_PIDS+=("$PID")
win=$(wait_window 'Vistrova!!' 15) || fail "no fixed-size player window"
eval "$(xdotool getwindowgeometry --shell "$win")"
[ "$WIDTH" -eq 400 ] && [ "$HEIGHT" -eq 300 ] || fail "fixed-size player is ${WIDTH}x${HEIGHT}"
xdotool windowfocus --sync "$win"
xdotool key F8 Escape
sleep 0.5
kill -0 "$PID" 2>/dev/null || fail "Esc ended the fixed-size player"
xdotool key alt+F4
wait_exit "$PID" 10 || fail "Alt+F4 did not end the fixed-size player"
[ "$E2E_STATUS" -eq 0 ] || fail "driver exit status $E2E_STATUS after Alt+F4"
grep -q 'closed at 0' "$E2E_TMP/driver.out" || fail "F8 stepped in the fixed-size player: $(cat "$E2E_TMP/driver.out")"

# A desktop's keyboard: a held key repeats. F2 then Esc in the help window,
# F2 then Enter on its OK: the show runs on. F8 held four times steps four.
printf '[VISTROVA]\r\nBACKCOLOR=%d\r\nINTERVAL=0\r\n' $((0x400080)) > "$VISTROVA_HOME/VISTROVA.INI"
{
  printf '[FILELIST]\r\nLISTNAME=held\r\n'
  for i in 0 1 2 3 4 5; do printf 'LIST00%d=p%d|%s\r\n' "$i" "$i" "$media/tall.bmp"; done
} > "$VISTROVA_HOME/FILE00.INI"
"$DRIVER" > "$E2E_TMP/driver.out" 2> "$E2E_TMP/driver.err" &
PID=$!
E2E_PIDS+=("$PID")
win=$(wait_window 'Vistrova!!' 15) || fail "no player window (held keys)"
expect_pixel 512 384 "0 255 0" "first picture (held keys)"
help_open() { xdotool search --onlyvisible --classname player_driver 2>/dev/null | grep -qv "^$win\$"; }
for close_key in Escape Return; do
  xdotool windowfocus --sync "$win"
  xdotool key F2
  for i in $(seq 50); do help_open && break; sleep 0.1; done
  help_open || fail "F2 showed no help window (before $close_key)"
  xdotool key "$close_key"
  for i in $(seq 50); do help_open || break; sleep 0.1; done
  help_open && fail "$close_key did not close the help window"
  sleep 0.5
  kill -0 "$PID" 2>/dev/null || fail "$close_key in the help window ended the show"
done
for hold in 1.5 2 2.5 1.8; do
  xdotool windowfocus --sync "$win"
  xdotool keydown F8
  sleep "$hold"
  xdotool keyup F8
  sleep 0.3
done
xdotool key Escape
wait_exit "$PID" 10 || fail "Esc did not end the player (held keys)"
grep -q 'closed at 4' "$E2E_TMP/driver.out" || fail "four held F8 keys: $(cat "$E2E_TMP/driver.out")"
echo "player e2e passed"
