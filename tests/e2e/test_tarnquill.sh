#!/usr/bin/env bash
# tarnquill converts the lists kept in the settings file into list files: click
# "変換", confirm the message, then compare the files byte for byte.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

start_x
# Another X server shutting down at the same moment can take the new display's
# socket with it; then take the next display.
for attempt in 1 2 3; do
  xdpyinfo >/dev/null 2>&1 && break
  start_x
done
xdpyinfo >/dev/null 2>&1 || fail "no usable X display"
make_home
TQ="$BUILD_DIR/tarnquill"
[ -x "$TQ" ] || fail "no $TQ"

TQ_PID=
TQ_WIN=
# Starts tarnquill on the program folder and checks its window size.
start_tarnquill() {
  "$TQ" 2>>"$E2E_TMP/tarnquill.log" &
  TQ_PID=$!
  E2E_PIDS+=("$TQ_PID")
  TQ_WIN=$(wait_window Tarnquell) || fail "no converter window: $(cat "$E2E_TMP/tarnquill.log")"
  sleep 0.3
}

# Clicks the button drawn at ($1, $2, $3, $4) twips, located from the window's geometry.
click_twips() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  window_geometry "$TQ_WIN"
  # Client area 5055 x 2145 twips.
  local cx=$((X + (2 * $1 + $3) * WIDTH / (2 * 5055)))
  local cy=$((Y + (2 * $2 + $4) * HEIGHT / (2 * 2145)))
  xdotool mousemove "$cx" "$cy" click 1
}
click_convert() { click_twips 240 1440 1215 495; }
click_close() { click_twips 3600 1440 1215 495; }

# Waits for one message box titled "Tarnquill" and answers it with Return.
confirm_message() {
  local box
  box=$(wait_window Tarnquill) || fail "no message box: $1"
  xdotool windowfocus --sync "$box" 2>/dev/null || true
  xdotool key Return
  # Wait for this box to go; the next one may already carry the same title.
  local i
  for i in $(seq 50); do
    xdotool search --onlyvisible --name '^Tarnquill$' 2>/dev/null | grep -qx "$box" || return 0
    sleep 0.1
  done
  fail "message box stays open: $1"
}

no_more_message() {
  sleep 1
  if xdotool search --onlyvisible --name '^Tarnquill$' >/dev/null 2>&1; then fail "unexpected message box: $1"; fi
}

close_tarnquill() {
  click_close
  wait_exit "$TQ_PID" 10 || fail "tarnquill did not end after 閉じる"
  [ "$E2E_STATUS" -eq 0 ] || fail "tarnquill ended with $E2E_STATUS"
}

H="$VISTROVA_HOME"

# --- The window: fixed client size 337 x 143 at 96 dpi.
start_tarnquill
window_geometry "$TQ_WIN"
[ "$WIDTH" -eq 337 ] && [ "$HEIGHT" -eq 143 ] || fail "window is ${WIDTH}x${HEIGHT}, not 337x143"
icon=$(xprop -id "$TQ_WIN" _NET_WM_ICON)
[[ "$icon" == *"Icon ("* ]] || fail "the window has no icon"

# --- No settings file: the message, and nothing written.
click_convert
confirm_message "settings missing"
no_more_message "settings missing"
[ -z "$(ls -A "$H")" ] || fail "files written without a settings file: $(ls "$H")"
close_tarnquill

# --- A settings file of the old release (CRLF, Shift-JIS bytes, odd case, gaps).
{
  printf '[VISTROVA]\r\nINTERVAL=5\r\n'
  printf '[FILE0]\r\nLIST000=a.jpg|/p/a.jpg\r\nLIST001=b.avi|/p/b.avi\r\nLIST003=d.jpg|/p/d.jpg\r\nLISTNAME=First\r\n'
  printf '[FILE07]\r\nLIST000=never|/never\r\n'
  printf '[FILE3]\r\nLIST001=no first entry|/x\r\nLISTNAME=skipped\r\n'
  printf '[file7]\r\n  LIST000 = \203\145\203\130\203\147.jpg|C:\\\211\346\221\234\\\203\145.jpg  \r\n'
  printf '[FILE42]\r\nLIST000="quoted"\r\nLISTNAME=\226\274\221\117\r\n'
} > "$H/VISTROVA.INI"
cp "$H/VISTROVA.INI" "$E2E_TMP/settings.before"
# An existing list file keeps the keys the old section lacks.
printf '; mine\r\n[FILELIST]\r\nLIST000=old|/old\r\nLIST001=keep|/keep\r\n' > "$H/FILE42.INI"

printf '[FILELIST]\r\nLIST000=a.jpg|/p/a.jpg\r\nLIST001=b.avi|/p/b.avi\r\nLISTNAME=First\r\n' > "$E2E_TMP/FILE00.INI"
printf '[FILELIST]\r\nLIST000=\203\145\203\130\203\147.jpg|C:\\\211\346\221\234\\\203\145.jpg\r\nLISTNAME=\r\n' > "$E2E_TMP/FILE07.INI"
printf '; mine\r\n[FILELIST]\r\nLIST000=quoted\r\nLIST001=keep|/keep\r\nLISTNAME=\226\274\221\117\r\n' > "$E2E_TMP/FILE42.INI"

start_tarnquill
click_convert
confirm_message "conversion finished"
no_more_message "after the finished message"
for f in FILE00.INI FILE07.INI FILE42.INI; do
  cmp "$H/$f" "$E2E_TMP/$f" || fail "$f differs: $(od -c "$H/$f" | head -20)"
done
[ "$(cd "$H" && ls FILE*.INI | tr '\n' ' ')" = "FILE00.INI FILE07.INI FILE42.INI " ] \
  || fail "unexpected list files: $(ls "$H")"
cmp "$H/VISTROVA.INI" "$E2E_TMP/settings.before" || fail "the settings file was changed"

# The bar has reached the end of its track, dark blue.
screenshot "$E2E_TMP/done.png" "$TQ_WIN"
rgb=$(pixel_rgb "$E2E_TMP/done.png" 318 68)
[ "$rgb" = "0 0 192" ] || fail "bar end is '$rgb', not dark blue"

# The buttons are back: converting again writes the same bytes again.
click_convert
confirm_message "second conversion"
for f in FILE00.INI FILE07.INI FILE42.INI; do
  cmp "$H/$f" "$E2E_TMP/$f" || fail "$f differs after the second run"
done
close_tarnquill

# --- A list file that cannot be written is reported before the finished message.
mkdir "$H/FILE00.INI.d"
rm "$H/FILE00.INI"
mv "$H/FILE00.INI.d" "$H/FILE00.INI"
start_tarnquill
click_convert
confirm_message "unwritable list reported"
confirm_message "finished after the report"
no_more_message "after the report"
[ -d "$H/FILE00.INI" ] || fail "the folder in the list file's place changed"
cmp "$H/FILE07.INI" "$E2E_TMP/FILE07.INI" || fail "the other lists were not written"
close_tarnquill

# --- A FIFO in the settings file's place is not opened (that would hang):
# it is a settings file that cannot be read, and stays a FIFO.
mv "$H/VISTROVA.INI" "$E2E_TMP/settings.kept"
mkfifo "$H/VISTROVA.INI"
start_tarnquill
click_convert
confirm_message "FIFO reported as unreadable"
no_more_message "after the unreadable report"
[ -p "$H/VISTROVA.INI" ] || fail "the FIFO was replaced"
cmp "$H/FILE07.INI" "$E2E_TMP/FILE07.INI" || fail "a list file changed"
close_tarnquill

echo "PASS"
