#!/usr/bin/env bash
# The editor's menus in a real X server, driven by the keyboard as a user
# would: "vistrova /C" opens the editor; Custom > install as screen saver,
# confirmed with Enter, copies the program, the settings file and the lists
# into the screen-saver folder; Custom > Options opens the key dialog, where
# F9 is bound to the next file and stored; Ctrl+U with the keyboard in a text
# box moves to the next list. On a server without a window manager the editor
# takes the keyboard back after a message box.
source "$(dirname "$0")/lib.sh"

start_x
make_home

export HOME="$E2E_TMP/user"
export XDG_DATA_HOME="$E2E_TMP/data"
mkdir -p "$HOME"
TARGET="$XDG_DATA_HOME/vistrova/screensaver"

printf '[VISTROVA]\r\nINTERVAL=3\r\n' > "$VISTROVA_HOME/VISTROVA.INI"
convert -size 64x48 xc:'#ff0000' "$E2E_TMP/red.bmp"
convert -size 64x48 xc:'#0000ff' "$E2E_TMP/blue.bmp"
printf '[FILELIST]\r\nLISTNAME=first\r\nLIST000=red.bmp|%s\r\nLIST001=blue.bmp|%s\r\n' \
  "$E2E_TMP/red.bmp" "$E2E_TMP/blue.bmp" > "$VISTROVA_HOME/FILE00.INI"
printf '[FILELIST]\r\nLISTNAME=sixth\r\n' > "$VISTROVA_HOME/FILE05.INI"

"$BUILD_DIR/vistrova" /C &
PID=$!
E2E_PIDS+=("$PID")
EDITOR=$(wait_window FileList 15) || fail "the editor window did not appear"
sleep 0.5

focus_editor() {
  xdotool windowactivate --sync "$EDITOR" 2>/dev/null || xdotool windowfocus --sync "$EDITOR" || true
  sleep 0.2
}

# Custom (Alt+C), then S: the confirmation; Enter answers OK.
focus_editor
xdotool key alt+c
sleep 0.4
xdotool key s
BOX=$(wait_window 'Vistrova!!' 10) || fail "the confirmation did not appear"
sleep 0.3
xdotool key --window "$BOX" Return 2>/dev/null || xdotool key Return
for _ in $(seq 100); do
  [ -f "$TARGET/FILE05.INI" ] && break
  sleep 0.1
done
wait_no_window 'Vistrova!!' 5 || fail "a message stayed open after the installation"
[ "$(cd "$TARGET" && ls | tr '\n' ' ')" = "FILE00.INI FILE05.INI VISTROVA.INI VISTROVA.SCR " ] \
  || fail "installed set: $(ls "$TARGET" | tr '\n' ' ')"
cmp -s "$TARGET/VISTROVA.SCR" "$(readlink -f "$BUILD_DIR/vistrova")" || fail "VISTROVA.SCR is not the running program"
[ -x "$TARGET/VISTROVA.SCR" ] || fail "VISTROVA.SCR is not executable"
grep -q 'INTERVAL=3' "$TARGET/VISTROVA.INI" || fail "the settings file was not copied"
grep -q 'LISTNAME=sixth' "$TARGET/FILE05.INI" || fail "list 05 was not copied"

# Custom, then O: the key dialog. The box of "次のファイル" takes F9; OK stores it.
focus_editor
xdotool key alt+c
sleep 0.4
xdotool key o
DIALOG=$(wait_window 'オプション' 10) || fail "the key dialog did not appear"
sleep 0.5
window_geometry "$DIALOG"
# Second box at (2400, 1200) twips, 1335 x 375: 160, 80 pixels at 96 dpi.
xdotool mousemove $((X + 200)) $((Y + 92)) click 1
sleep 0.3
xdotool key F9
sleep 0.3
# OK at (240, 2895) twips: 16, 193 pixels.
xdotool mousemove $((X + 50)) $((Y + 205)) click 1
wait_no_window 'オプション' 5 || fail "OK did not close the key dialog"
value=$(sed -n 's/^MyKeyRight=//p' "$VISTROVA_HOME/VISTROVA.INI" | tr -d '\r')
[ "$value" = 120 ] || fail "MyKeyRight is '$value', not 120 (F9)"

# The menu shortcuts act while a text box has the keyboard: Ctrl+U (next
# list) clicked into the interval box, then into the list's title box, moves
# two lists on and leaves the interval as it was.
focus_editor
window_geometry "$EDITOR"
xdotool mousemove $((X + 370)) $((Y + 66)) click 1  # txtTime
sleep 0.3
xdotool key ctrl+u
sleep 0.3
xdotool mousemove $((X + 521)) $((Y + 293)) click 1  # txtListName
sleep 0.3
xdotool key ctrl+u
sleep 0.3

# File, Close ends the program.
focus_editor
xdotool key alt+f
sleep 0.3
xdotool key c
wait_exit "$PID" 10 || fail "closing the editor did not end the program"
[ "$E2E_STATUS" = 0 ] || fail "vistrova ended with status $E2E_STATUS"
value=$(sed -n 's/^INTERVAL=//p' "$VISTROVA_HOME/VISTROVA.INI" | tr -d '\r')
[ "$value" = 3 ] || fail "INTERVAL is '$value' after Ctrl+U in the interval box, not 3"
value=$(sed -n 's/^FILENUM=//p' "$VISTROVA_HOME/VISTROVA.INI" | tr -d '\r')
[ "$value" = 2 ] || fail "FILENUM is '$value' after Ctrl+U in both text boxes, not 2"
sed -i 's/^FILENUM=.*/FILENUM=0\r/' "$VISTROVA_HOME/VISTROVA.INI"  # the show below plays list 00
echo "PASS"

# The stored key steps a show. Key tests run in the normal mode (in the
# screen-saver modes any key ends the show): the launcher's S starts the list,
# F9 steps from red to blue, Esc ends the show, E ends the program.
"$BUILD_DIR/vistrova" &
PID=$!
E2E_PIDS+=("$PID")
LAUNCHER=$(wait_window 'Vistrova!!' 15) || fail "the launcher did not appear"
sleep 0.5
xdotool windowactivate --sync "$LAUNCHER" 2>/dev/null || xdotool windowfocus "$LAUNCHER" || true
xdotool key s
centre_colour() {
  screenshot "$E2E_TMP/show.png"
  pixel_rgb "$E2E_TMP/show.png" 512 384
}
for _ in $(seq 100); do [ "$(centre_colour)" = "255 0 0" ] && break; sleep 0.1; done
[ "$(centre_colour)" = "255 0 0" ] || fail "the show did not start on the red picture: $(centre_colour)"
xdotool key F9
for _ in $(seq 50); do [ "$(centre_colour)" = "0 0 255" ] && break; sleep 0.1; done
[ "$(centre_colour)" = "0 0 255" ] || fail "F9 did not step to the next picture: $(centre_colour)"
xdotool key Escape
sleep 0.5
xdotool windowactivate --sync "$LAUNCHER" 2>/dev/null || xdotool windowfocus "$LAUNCHER" || true
xdotool key e
wait_exit "$PID" 10 || fail "E did not end the program"
# Where no window manager hands the keyboard back, the editor takes it itself
# after a message box: Esc answers the confirmation (nothing is installed),
# then Alt+F, C reaches the editor with the pointer outside it.
start_x_bare
rm -rf "$TARGET"
"$BUILD_DIR/vistrova" /C &
PID=$!
E2E_PIDS+=("$PID")
EDITOR=$(wait_window FileList 15) || fail "the editor window did not appear on the bare server"
sleep 0.5
window_geometry "$EDITOR"
xdotool mousemove $((X + WIDTH + 5)) $((Y + HEIGHT + 5))
xdotool windowfocus --sync "$EDITOR"
xdotool key alt+c
sleep 0.4
xdotool key s
wait_window 'Vistrova!!' 10 >/dev/null || fail "the confirmation did not appear on the bare server"
sleep 0.3
xdotool key Escape
wait_no_window 'Vistrova!!' 5 || fail "Esc did not answer the confirmation"
sleep 0.3
xdotool key alt+f
sleep 0.3
xdotool key c
wait_exit "$PID" 10 || fail "the editor did not take the keyboard back after the message box"
[ ! -e "$TARGET" ] || fail "Cancel installed the screen saver"
echo "editor menus e2e: all checks passed"
