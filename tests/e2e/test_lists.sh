#!/usr/bin/env bash
# The list commands of the editor in a real X server, through `vistrova /C`:
# add files and store them (Ctrl+S, OK) into FILE00.INI byte for byte; leave a
# changed list for the next one and answer the prompt; run an empty list (the
# warning) and a full one (the player); store into a read-only program folder
# (the failure box, and the list is still there to be asked about on close;
# the settings that cannot be written either are reported on closing).
source "$(dirname "$0")/lib.sh"

start_x
make_home

SHOW="$E2E_TMP/Show"
mkdir -p "$SHOW"
convert -size 64x32 xc:red "$SHOW/a.bmp"
convert -size 32x32 xc:blue "$SHOW/b.jpg"
INI="$VISTROVA_HOME/VISTROVA.INI"
printf '[VISTROVA]\r\nDEFPATH=%s/\r\n' "$SHOW" > "$INI"

LOCKED=""
unlock_home() {
  [ -n "$LOCKED" ] || return 0
  if [ "$(id -u)" = 0 ]; then chattr -i "$VISTROVA_HOME" 2>/dev/null || true; else chmod u+w "$VISTROVA_HOME"; fi
  LOCKED=""
}
trap 'unlock_home; e2e_cleanup' EXIT

# Visible windows titled "Vistrova!!" no larger than a message box.
boxes() {
  local id n=0
  for id in $(xdotool search --onlyvisible --name '^Vistrova!!$' 2>/dev/null || true); do
    eval "$(xdotool getwindowgeometry --shell "$id")"
    [ "$WIDTH" -lt 900 ] && n=$((n + 1))
  done
  echo $n
}
wait_box() {
  local i
  for i in $(seq 100); do
    [ "$(boxes)" -ge 1 ] && { sleep 0.3; return 0; }
    sleep 0.1
  done
  fail "no message box: $1"
}
wait_no_box() {
  local i
  for i in $(seq 100); do
    [ "$(boxes)" = 0 ] && { sleep 0.2; return 0; }
    sleep 0.1
  done
  fail "the message box stayed: $1"
}
# Answers the shown box with a key (Return = its first button).
answer() {
  wait_box "$2"
  xdotool key "$1"
  wait_no_box "$2"
  # Without a window manager the focus does not return to the editor by itself.
  [ -n "${WIN:-}" ] && kill -0 "$PID" 2>/dev/null && focus_editor "$WIN"
  return 0
}
player_shown() {
  local id
  for id in $(xdotool search --onlyvisible --name '^Vistrova!!$' 2>/dev/null || true); do
    eval "$(xdotool getwindowgeometry --shell "$id")"
    [ "$WIDTH" -ge 900 ] && return 0
  done
  return 1
}
focus_editor() {
  xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1" || true
  sleep 0.2
}

start_editor() {
  "$BUILD_DIR/vistrova" /C &
  PID=$!
  E2E_PIDS+=("$PID")
  WIN=$(wait_window FileList 15) || fail "the editor window did not appear"
  sleep 0.8
  focus_editor "$WIN"
}
close_editor() {
  focus_editor "$WIN"
  xdotool key alt+f
  sleep 0.3
  xdotool key c
}

# --- add both files, store with Ctrl+S and OK ---
start_editor
xdotool key ctrl+a
sleep 0.3
xdotool key ctrl+e
sleep 0.3
xdotool key ctrl+s
answer Return "store prompt"
LIST0="$VISTROVA_HOME/FILE00.INI"
[ -f "$LIST0" ] || fail "FILE00.INI was not written"
{
  printf '[FILELIST]\r\nLISTNAME=\r\n'
  printf 'LIST000=a.bmp|%s/a.bmp\r\n' "$SHOW"
  printf 'LIST001=b.jpg|%s/b.jpg\r\n' "$SHOW"
  for i in $(seq 2 255); do printf 'LIST%03d=|\r\n' "$i"; done
} > "$E2E_TMP/expected.ini"
cmp "$LIST0" "$E2E_TMP/expected.ini" || fail "FILE00.INI differs: $(head -c 300 "$LIST0")"

# --- a change, then the next list: the prompt, No: nothing stored, the move happens ---
xdotool key ctrl+e
sleep 0.3
xdotool key ctrl+u
answer n "leave prompt"
cmp "$LIST0" "$E2E_TMP/expected.ini" || fail "No stored the list anyway"
# The second list is empty: storing it writes FILE01.INI with the filler only.
xdotool key ctrl+s
answer Return "store prompt of list 2"
[ -f "$VISTROVA_HOME/FILE01.INI" ] || fail "the next list is not list 2"
[ "$(grep -c '=|' "$VISTROVA_HOME/FILE01.INI")" = 256 ] || fail "list 2 is not empty: $(head -c 200 "$VISTROVA_HOME/FILE01.INI")"

# --- run the empty list: the warning, no player ---
xdotool key F5
wait_box "run warning"
player_shown && fail "the player opened for an empty list"
xdotool key Return
wait_no_box "run warning"
focus_editor "$WIN"

# --- back to list 1 (stored, so no prompt) and run it: the player ---
xdotool key ctrl+y
sleep 0.5
[ "$(boxes)" = 0 ] || fail "a prompt for an unchanged list"
xdotool key F5
for i in $(seq 100); do player_shown && break; sleep 0.1; done
player_shown || fail "F5 did not show the player"
sleep 0.5
xdotool key Escape
for i in $(seq 100); do player_shown || break; sleep 0.1; done
player_shown && fail "Esc did not close the player"
sleep 0.5
focus_editor "$WIN"

close_editor
wait_exit "$PID" 10 || fail "the editor did not close"
[ "$E2E_STATUS" = 0 ] || fail "vistrova ended with status $E2E_STATUS"
[ "$(sed -n 's/^FILENUM=//p' "$INI" | tr -d '\r')" = 0 ] || fail "FILENUM not written as 0"

# --- a read-only program folder: the failure box, the edits stay ---
if [ "$(id -u)" = 0 ]; then chattr +i "$VISTROVA_HOME"; else chmod a-w "$VISTROVA_HOME"; fi
LOCKED=1
touch "$VISTROVA_HOME/probe" 2>/dev/null && fail "the program folder could not be made read-only"
start_editor
xdotool key ctrl+a
sleep 0.3
xdotool key ctrl+e
sleep 0.3
xdotool key ctrl+s
wait_box "store prompt (read-only)"
prompt=$(xdotool search --onlyvisible --name '^Vistrova!!$' | head -n1)
xdotool key Return
for i in $(seq 50); do xdotool getwindowname "$prompt" >/dev/null 2>&1 || break; sleep 0.1; done
sleep 0.5
# A second box: the failure message (a store that worked shows none).
[ "$(boxes)" -ge 1 ] || fail "no failure box after a store into a read-only folder"
answer Return "store failure"
cmp "$LIST0" "$E2E_TMP/expected.ini" || fail "the failed store changed FILE00.INI"
screenshot "$E2E_TMP/after-failure.png"
# The list is still marked changed: closing asks; Cancel keeps the window.
close_editor
answer Escape "close prompt"
kill -0 "$PID" 2>/dev/null || fail "Cancel closed the editor"
close_editor
wait_box "close prompt, No"
prompt=$(xdotool search --onlyvisible --name '^Vistrova!!$' | head -n1)
xdotool key n
for i in $(seq 50); do xdotool getwindowname "$prompt" >/dev/null 2>&1 || break; sleep 0.1; done
# The settings cannot be written into the read-only folder either: a box
# says so, and the window closes after it.
wait_box "settings not written"
xdotool key Return
wait_exit "$PID" 10 || fail "the editor did not close after No"
[ "$E2E_STATUS" = 0 ] || fail "vistrova ended with status $E2E_STATUS"
unlock_home
cmp "$LIST0" "$E2E_TMP/expected.ini" || fail "FILE00.INI changed"
echo "PASS"
