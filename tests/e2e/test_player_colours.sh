#!/usr/bin/env bash
# A photo of Adobe RGB (60,160,90), its profile embedded, shows as its sRGB
# value (about 0,161,85) on a display that publishes no profile, and in the
# display's own colours once the root window names Adobe RGB as its profile.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

start_player_bench 1024x768x24
ADOBE=/usr/share/color/icc/ghostscript/a98.icc
[ -s "$ADOBE" ] || fail "no Adobe RGB profile at $ADOBE (ghostscript)"
convert -size 320x240 xc:'rgb(60,160,90)' -quality 100 -profile "$ADOBE" "$media/adobe.jpg"
printf '[VISTROVA]\r\nINTERVAL=0\r\nUNIT=0\r\n' > "$VISTROVA_HOME/VISTROVA.INI"
printf '[FILELIST]\r\nLISTNAME=colours\r\nLIST000=adobe.jpg|%s\r\n' "$media/adobe.jpg" > "$VISTROVA_HOME/FILE00.INI"

near() {  # within 8 units: the two expectations lie 60 apart in red
  local a=($1) b=($2) i d
  for i in 0 1 2; do d=$((a[i] - b[i])); [ ${d#-} -le 8 ] || return 1; done
}
# Shows the list once and expects the centre about $1; $2 names the case.
show_expecting() {
  local got i
  xdotool mousemove 600 400
  "$DRIVER" > "$E2E_TMP/driver.out" 2> "$E2E_TMP/driver.err" &
  PID=$!
  E2E_PIDS+=("$PID")
  wait_window 'Vistrova!!' 15 > /dev/null || fail "no player window"
  for i in $(seq 50); do
    screenshot "$E2E_TMP/shot.png"
    got=$(pixel_rgb "$E2E_TMP/shot.png" 512 384)
    near "$got" "$1" && break
    sleep 0.2
  done
  near "$got" "$1" || fail "$2: the centre is '$got', expected about '$1'"
  xdotool key Escape
  wait_exit "$PID" 10 || fail "Esc did not end the player"
}

show_expecting "0 161 85" "no display profile"
"$BUILD_DIR/tests/root_profile" "$ADOBE" || fail "cannot publish the display profile"
show_expecting "60 160 90" "an Adobe RGB display"
echo "PASS"
