#!/usr/bin/env bash
# The launcher's buttons and keys in a real X server: the lit strip under the
# mouse, the refusal of an empty list, S starting and continuing the show,
# Start going back to the first entry, the about window and the editor.
source "$(dirname "$0")/lib.sh"

start_x
xsetroot -solid '#00ff00'
make_home
VISTROVA=$BUILD_DIR/vistrova

shot() { screenshot "$E2E_TMP/shot.png"; pixel_rgb "$E2E_TMP/shot.png" "$1" "$2"; }
# Waits until pixel ($1,$2) reads $3, or (with "!") anything but $3.
expect_pixel() {
  local x=$1 y=$2 want=$3 what=$4 negate=${5:-} got i
  for i in $(seq 50); do
    got=$(shot "$x" "$y")
    if [ -z "$negate" ]; then [ "$got" = "$want" ] && return 0; else [ "$got" != "$want" ] && return 0; fi
    sleep 0.1
  done
  fail "$what: pixel ($x,$y) is '$got'"
}
# Waits until window $1 is no longer a visible "Vistrova!!" window.
gone() {
  local i
  for i in $(seq 100); do
    xdotool search --onlyvisible --name '^Vistrova!!$' 2>/dev/null | grep -qx "$1" || return 0
    sleep 0.1
  done
  return 1
}
# The visible window named $1 that is not window $2.
other_window() {
  local id i
  for i in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | grep -vx "$2" | head -n1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

echo 3221274624 > "$VISTROVA_MIXER_FILE"
start_vistrova
LAUNCHER_PID=$PID
win=$(wait_window 'Vistrova!!') || fail "no launcher window"
eval "$(xdotool getwindowgeometry --shell "$win")"
LX=$X
LY=$Y
sleep 0.5

# --- Hover: the Start strip lights up, and goes out between the buttons.
# A point inside the Start button off its centre, where the lit picture differs.
PX=$((LX + 236)); PY=$((LY + 204))
xdotool mousemove $((LX + 272)) $((LY + 184))
sleep 0.3
unlit=$(shot $PX $PY)
xdotool mousemove $((LX + 236)) $((LY + 184))
expect_pixel $PX $PY "$unlit" "hover over Start" not
lit=$(shot $PX $PY)
xdotool mousemove $((LX + 272)) $((LY + 184))
expect_pixel $PX $PY "$unlit" "off Start again"
xdotool mousemove $((LX + 236)) $((LY + 213))
expect_pixel $PX $PY "$lit" "29 pixels below the Start centre"
xdotool mousemove $((LX + 236)) $((LY + 214))
expect_pixel $PX $PY "$unlit" "30 pixels below the Start centre"

# --- Start with an empty list: the warning, then the launcher again.
xdotool mousemove $((LX + 236)) $((LY + 184)) click 1
msg=$(other_window 'Vistrova!!' "$win") || fail "Start with an empty list showed no warning"
eval "$(xdotool getwindowgeometry --shell "$msg")"
[ "$WIDTH" != 432 ] || fail "the warning is another launcher"
xdotool windowfocus --sync "$msg" key Return
gone "$msg" || fail "the warning did not close"
expect_pixel $PX $PY "$lit" "Start lit again once the warning closed, the pointer still on it"

# --- A right click, even on a button, opens the about window.
xdotool mousemove $((LX + 308)) $((LY + 184)) click 3
about=$(wait_window 'バージョン情報') || fail "a right click opened no about window"
xdotool windowfocus --sync "$about" key Escape
wait_no_window 'バージョン情報' || fail "the about window did not close"
kill -0 "$LAUNCHER_PID" || fail "the launcher ended with the about window"

# --- L opens the editor.
xdotool windowfocus --sync "$win" key l
editor=$(wait_window 'FileList' 15) || fail "L opened no editor"
xdotool windowfocus --sync "$editor" 2>/dev/null || true
xdotool key alt+f c
wait_no_window 'FileList' 15 || fail "the editor did not close"
kill -0 "$LAUNCHER_PID" || fail "the launcher ended with the editor"

# --- E ends it and sets the volume back.
echo 9 > "$VISTROVA_MIXER_FILE"
xdotool windowfocus --sync "$win" key e
wait_exit "$LAUNCHER_PID" 10 || fail "E did not end the launcher"
[ "$(cat "$VISTROVA_MIXER_FILE")" = 3221274624 ] || fail "E: volume not set back"

# --- A list of three pictures, each a colour of its own; they stay until moved on.
media="$E2E_TMP/media"
mkdir -p "$media"
convert -size 320x240 xc:'#ff0000' "$media/red.bmp"
convert -size 320x240 xc:'#0000ff' "$media/blue.bmp"
convert -size 320x240 xc:'#ffff00' "$media/yellow.bmp"
printf '[VISTROVA]\r\nINTERVAL=0\r\nUNIT=0\r\n' > "$VISTROVA_HOME/VISTROVA.INI"
{
  printf '[FILELIST]\r\nLISTNAME=e2e\r\n'
  printf 'LIST000=red|%s\r\nLIST001=blue|%s\r\nLIST002=yellow|%s\r\n' \
    "$media/red.bmp" "$media/blue.bmp" "$media/yellow.bmp"
} > "$VISTROVA_HOME/FILE00.INI"
RED="255 0 0"; BLUE="0 0 255"; YELLOW="255 255 0"

start_vistrova
LAUNCHER_PID=$PID
win=$(wait_window 'Vistrova!!') || fail "no launcher window with a list"
eval "$(xdotool getwindowgeometry --shell "$win")"
LX=$X; LY=$Y
sleep 0.3

# The player covers the screen.
wait_player() {
  local id i
  for i in $(seq 100); do
    for id in $(xdotool search --onlyvisible --name '^Vistrova!!$' 2>/dev/null); do
      eval "$(xdotool getwindowgeometry --shell "$id")"
      if [ "$WIDTH" = 1024 ] && [ "$HEIGHT" = 768 ]; then echo "$id"; return 0; fi
    done
    sleep 0.1
  done
  return 1
}
end_show() {  # Esc in the player, then the launcher alone again
  xdotool windowfocus --sync "$1" 2>/dev/null || true
  xdotool key Escape
  gone "$1" || fail "Esc did not end the show"
}

xdotool windowfocus --sync "$win" key s
player=$(wait_player) || fail "S started no full-screen player"
expect_pixel 512 384 "$RED" "S: the first entry"
# Left click (away from the corner, which would end the show): the next entry.
xdotool mousemove 600 400 click 1
expect_pixel 512 384 "$BLUE" "a left click to the second entry"
xdotool mousemove 600 400 click 1
expect_pixel 512 384 "$YELLOW" "a left click to the third entry"
end_show "$player"

# S again continues where the show stopped.
xdotool windowfocus --sync "$win" key s
player=$(wait_player) || fail "the second S started no player"
expect_pixel 512 384 "$YELLOW" "S continues at the third entry"
end_show "$player"

# The Start button begins at the first entry.
xdotool mousemove $((LX + 236)) $((LY + 184)) click 1
player=$(wait_player) || fail "Start started no player"
expect_pixel 512 384 "$RED" "Start begins at the first entry"
end_show "$player"

echo 5 > "$VISTROVA_MIXER_FILE"
xdotool windowfocus --sync "$win" key E
wait_exit "$LAUNCHER_PID" 10 || fail "E did not end the launcher"
[ "$(cat "$VISTROVA_MIXER_FILE")" = 3221274624 ] || fail "volume not set back after the shows"

echo "launcher menu e2e: all checks passed"
