#!/usr/bin/env bash
# The file list editor in a real X server: it opens as "FileList" on the
# remembered folder, Alt+F then C closes it, and the settings file then holds
# the editor's keys in their order; a second session writes the same geometry,
# and so does a session closed while maximised.
source "$(dirname "$0")/lib.sh"

start_x
make_home
# The editor opened by the real program, as a user does: vistrova /C.
VISTROVA="$BUILD_DIR/vistrova"
SHOW="$E2E_TMP/Show"
mkdir -p "$SHOW/Sub"
convert -size 64x32 xc:red "$SHOW/a.bmp"


# Selects the one picture of the listed folder and looks at the preview pane.
check_preview() {
  local id=$1 x y got i
  window_geometry "$id"
  x=$X; y=$Y
  # An empty spot low in the file view, then every entry (the one picture) by key.
  xdotool mousemove $((x + 300)) $((y + 500)) click 1
  sleep 0.3
  xdotool key ctrl+a
  # The 2:1 red picture fills the top of the preview box, right of the tree column,
  # once decoded (a busy machine takes its time).
  for i in $(seq 50); do
    screenshot "$E2E_TMP/preview.png"
    got=$(pixel_rgb "$E2E_TMP/preview.png" $((x + 260)) $((y + 118)))
    [ "$got" = "255 0 0" ] && return 0 || sleep 0.2
  done
  fail "no picture in the preview: $got"
}

# Drags the first splitter (at 3000 twips = 200 pixels) to the far left.
drag_splitter() {
  local id=$1
  xdotool mousemove --window "$id" 201 400 mousedown 1
  sleep 0.2
  xdotool mousemove --window "$id" 100 400
  sleep 0.2
  xdotool mousemove --window "$id" 2 400
  sleep 0.2
  xdotool mouseup 1
  sleep 0.3
}

# Double-clicks the title bar (maximise or restore); GEOM_BEFORE and
# GEOM_AFTER hold the inside's place and size around it.
toggle_maximised() {
  local id=$1
  settled_geometry "$id"
  GEOM_BEFORE="$X $Y $WIDTH $HEIGHT"
  xdotool mousemove $((X + WIDTH / 2)) $((Y - 8)) click --repeat 2 --delay 80 1
  sleep 0.5
  settled_geometry "$id"
  GEOM_AFTER="$X $Y $WIDTH $HEIGHT"
}

run_once() {
  "$VISTROVA" /C &
  local pid=$!
  E2E_PIDS+=("$pid")
  local id
  id=$(wait_window FileList 15) || fail "the editor window did not appear"
  sleep 0.5
  [ "${1:-}" = preview ] && check_preview "$id"
  [ "${1:-}" = drag ] && drag_splitter "$id"
  [ "${1:-}" = max ] && toggle_maximised "$id"
  if [ "${1:-}" = esc ]; then
    xdotool windowactivate --sync "$id" 2>/dev/null || xdotool windowfocus --sync "$id" || true
    xdotool key --window "$id" Escape
    sleep 0.5
    wait_window FileList 1 >/dev/null || fail "Esc closed the editor"
  fi
  xdotool windowactivate --sync "$id" 2>/dev/null || xdotool windowfocus --sync "$id" || true
  xdotool key --window "$id" alt+f
  sleep 0.3
  xdotool key c
  wait_exit "$pid" 10 || fail "Alt+F, C did not close the editor"
  [ "$E2E_STATUS" = 0 ] || fail "the driver ended with status $E2E_STATUS"
}

keys_of() { sed -n 's/^\([^=]*\)=.*/\1/p' "$VISTROVA_HOME/VISTROVA.INI" | tr -d '\r' | tr '\n' ' '; }
value_of() { sed -n "s/^$1=//p" "$VISTROVA_HOME/VISTROVA.INI" | tr -d '\r'; }

# No settings file: every key is new, so the file shows the order of the writes.
# Esc leaves the editor open.
run_once esc
expected="DEFPATH MainLeft MainTop MainWidth MainHeight WindowState ViewMode PATTERN INTERVAL UNIT FILENUM PAGENUM Bar1 Bar2 Bar3 Head1 Head2 Head3 SortKey SortOrder ToolBar CustomBar StatusBar Preview "
[ "$(keys_of)" = "$expected" ] || fail "keys written: $(keys_of)"
[ "$(value_of DEFPATH)" = / ] || fail "first DEFPATH is $(value_of DEFPATH)"

# The remembered folder and place are restored and written back.
sed -i -e "s|^DEFPATH=.*|DEFPATH=$SHOW/\r|" -e 's/^MainLeft=.*/MainLeft=1500\r/' -e 's/^MainTop=.*/MainTop=900\r/' \
  -e 's/^INTERVAL=.*/INTERVAL=7\r/' "$VISTROVA_HOME/VISTROVA.INI"
run_once preview
[ "$(keys_of)" = "$expected" ] || fail "keys written: $(keys_of)"
[ "$(value_of DEFPATH)" = "$SHOW/" ] || fail "DEFPATH is $(value_of DEFPATH)"
[ "$(value_of MainLeft)" = 1500 ] || fail "MainLeft is $(value_of MainLeft)"
[ "$(value_of MainTop)" = 900 ] || fail "MainTop is $(value_of MainTop)"
[ "$(value_of INTERVAL)" = 7 ] || fail "INTERVAL is $(value_of INTERVAL)"
for k in MainWidth MainHeight Bar1 Bar2 Bar3 Head1 Head2 Head3; do
  [[ "$(value_of $k)" =~ ^-?[0-9]+$ ]] || fail "$k is not a whole number: $(value_of $k)"
done
first=$(grep -E '^(Main|Bar|Head)' "$VISTROVA_HOME/VISTROVA.INI")

run_once
second=$(grep -E '^(Main|Bar|Head)' "$VISTROVA_HOME/VISTROVA.INI")
[ "$first" = "$second" ] || fail "geometry drifted: $first / $second"
# A release left of the layout bound leaves the tree at its least width.
run_once drag
[ "$(value_of Bar1)" = 1500 ] || fail "Bar1 after dragging to the left edge is $(value_of Bar1)"

# A close while maximised stores the frame the window comes back to, with
# WindowState 2; the next opening is maximised, and restoring it gives that frame.
mains() { grep -E '^Main' "$VISTROVA_HOME/VISTROVA.INI" | tr -d '\r' | tr '\n' ' '; }
normal=$(mains)
run_once max
[ "$(cut -d' ' -f3 <<<"$GEOM_AFTER")" = 1024 ] || fail "the double click did not maximise: $GEOM_BEFORE -> $GEOM_AFTER"
normal_geometry=$GEOM_BEFORE
[ "$(value_of WindowState)" = 2 ] || fail "WindowState after a maximised close is $(value_of WindowState)"
[ "$(mains)" = "$normal" ] || fail "a maximised close stored $(mains), not $normal"
run_once max
[ "$(cut -d' ' -f3 <<<"$GEOM_BEFORE")" = 1024 ] || fail "the editor did not open maximised: $GEOM_BEFORE"
[ "$GEOM_AFTER" = "$normal_geometry" ] || fail "restored to $GEOM_AFTER, not $normal_geometry"
[ "$(value_of WindowState)" = 0 ] || fail "WindowState after a normal close is $(value_of WindowState)"
[ "$(mains)" = "$normal" ] || fail "the restored frame drifted: $(mains) / $normal"
# Closed while a large picture is still being made into a thumbnail: the
# program ends at once and cleanly, leaving that decode behind.
convert -size 6000x6000 xc:gray +noise Random -interlace JPEG -quality 95 "$SHOW/large.jpg"
sed -i 's/^ViewMode=.*/ViewMode=0\r/' "$VISTROVA_HOME/VISTROVA.INI"
"$VISTROVA" /C &
pid=$!
E2E_PIDS+=("$pid")
id=$(wait_window FileList 15) || fail "the editor window did not appear"
sleep 0.3
xdotool windowactivate --sync "$id" 2>/dev/null || xdotool windowfocus --sync "$id" || true
xdotool key --window "$id" alt+f
sleep 0.3
xdotool key c
wait_no_window FileList 5 || fail "Alt+F, C did not close the editor"
closed=$(date +%s%N)
wait_exit "$pid" 2 || fail "the program stayed after its window closed"
[ "$E2E_STATUS" = 0 ] || fail "the program ended with status $E2E_STATUS"
ended=$(( ($(date +%s%N) - closed) / 1000000 ))
[ "$ended" -le 1200 ] || fail "the program ended $ended ms after its window closed"
echo "PASS"
