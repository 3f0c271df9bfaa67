#!/usr/bin/env bash
# F1 under a window manager: the help document comes up in front of the
# full-screen player (and of the launcher) with the keyboard; back on the show
# (the document closed, a click on the player, the player activated) the
# player's keys work.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

start_x
make_home
media="$E2E_TMP/media"
mkdir -p "$media"
convert -size 64x64 xc:'#ff0000' "$media/red.bmp"
convert -size 64x64 xc:'#00ff00' "$media/green.bmp"
convert -size 64x64 xc:'#0000ff' "$media/blue.bmp"
printf '[VISTROVA]\r\nINTERVAL=0\r\nUNIT=0\r\n' > "$VISTROVA_HOME/VISTROVA.INI"
{
  printf '[FILELIST]\r\nLISTNAME=help\r\n'
  for i in 0 1 2 3 4 5; do
    c=(red green blue)
    printf 'LIST00%d=%s|%s\r\n' "$i" "${c[i % 3]}" "$media/${c[i % 3]}.bmp"
  done
} > "$VISTROVA_HOME/FILE00.INI"

# The stand-in document viewer: a small window with a known title that
# notes what it was given; Return closes it. Where xdg-open is installed it
# would pick the desktop's own viewer, so a stand-in for it comes first.
bin="$E2E_TMP/bin"
mkdir -p "$bin"
cat > "$bin/viewer" <<SH
#!/bin/sh
echo "\$1" >> "$E2E_TMP/viewer.log"
exec xmessage -title 'Readme viewer' -default okay -geometry +300+200 "\$1"
SH
printf '#!/bin/sh\nexec "$BROWSER" "$@"\n' > "$bin/xdg-open"
chmod +x "$bin/viewer" "$bin/xdg-open"
export BROWSER="$bin/viewer" PATH="$bin:$PATH"

COLOURS=("255 0 0" "0 255 0" "0 0 255")
# The picture fills the middle of the screen; its colour tells the entry.
entry_shown() {  # waits until the player shows entry $1 (0..5); fails with $2
  local got i
  for i in $(seq 50); do
    screenshot "$E2E_TMP/shot.png"
    got=$(pixel_rgb "$E2E_TMP/shot.png" 512 700)
    [ "$got" = "${COLOURS[$1 % 3]}" ] && return 0
    sleep 0.1
  done
  fail "$2: the screen shows '$got', expected entry $1"
}
active() { xprop -root _NET_ACTIVE_WINDOW | sed 's/.*# //'; }
# Window ids in the manager's stacking order, bottom first.
stacking() { xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/, / /g'; }
# Whether window $1 is stacked above window $2.
above() {
  local ids=($(stacking)) i a=-1 b=-1
  for i in "${!ids[@]}"; do
    [ $((ids[i])) -eq "$1" ] && a=$i
    [ $((ids[i])) -eq "$2" ] && b=$i
  done
  [ "$a" -gt "$b" ] && [ "$b" -ge 0 ]
}
is_active() { [ $(($(active))) -eq "$1" ]; }
wait_true() {  # command..., up to 5 s
  local i
  for i in $(seq 50); do "$@" && return 0; sleep 0.1; done
  return 1
}
open_help() {  # F1 in window $2; sets viewer to the document's window
  xdotool key F1
  viewer=$(wait_window 'Readme viewer' 10) || fail "$1: F1 opened no document"
  wait_true above "$viewer" "$2" || fail "$1: the document stays under the window ($(stacking))"
  wait_true is_active "$viewer" || fail "$1: the document has no keyboard (active $(active))"
}

start_vistrova
launcher=$(wait_window 'Vistrova!!' 15) || fail "no launcher"
xdotool mousemove 1000 20
xdotool windowfocus --sync "$launcher"

# F1 on the launcher too; once the document is closed the launcher's keys work.
open_help "F1 on the launcher" "$launcher"
xdotool key Return
wait_no_window 'Readme viewer' 5 || fail "Return did not reach the document over the launcher"
wait_true is_active "$launcher" || fail "closing the document left the launcher without the keyboard"
xdotool key s
player=""
for i in $(seq 100); do
  player=$(xdotool search --onlyvisible --name '^Vistrova!!$' | grep -vx "$launcher" | head -n1 || true)
  [ -n "$player" ] && break
  sleep 0.1
done
[ -n "$player" ] || fail "S started no show"
entry_shown 0 "the show's first entry"

# F1: the document in front with the keyboard; the show runs on beneath it.
open_help "F1" "$player"
[ "$(grep -c "^file://.*/Readme.html$" "$E2E_TMP/viewer.log")" -eq 2 ] || fail "the viewer got: $(cat "$E2E_TMP/viewer.log")"
screenshot "$E2E_TMP/help-over-show.png"
[ -z "${E2E_SHOTS:-}" ] || cp "$E2E_TMP/help-over-show.png" "$E2E_SHOTS/"
# Keys go to the document: its Return closes it, and the player does not step.
xdotool key Return
wait_no_window 'Readme viewer' 5 || fail "Return did not reach the document"
wait_true is_active "$player" || fail "closing the document left the player without the keyboard"
wait_true above "$player" "$launcher" || fail "the player is not back in front"
xdotool key F8
entry_shown 1 "F8 after the document was closed"

# Again, and back by a click on the player, which steps as clicks do.
open_help "F1 again" "$player"
xdotool mousemove 900 700 click 1
wait_true is_active "$player" || fail "a click did not bring the keyboard back to the player"
wait_true above "$player" "$viewer" || fail "the player did not come back in front"
entry_shown 2 "the click on the player"
xdotool key F8
entry_shown 3 "F8 after the click"

# Switching to the document and back, as Alt+Tab or a task bar does it.
xdotool windowactivate "$viewer"
wait_true is_active "$viewer" || fail "the document did not take the keyboard when activated"
wait_true above "$viewer" "$player" || fail "the activated document stays under the player"
xdotool windowactivate "$player"
wait_true is_active "$player" || fail "the player did not take the keyboard when activated"
wait_true above "$player" "$viewer" || fail "the activated player did not come in front"
xdotool key F8
entry_shown 4 "F8 after the player was activated"
xdotool key Escape
launcher_alone() { [ "$(xdotool search --onlyvisible --name '^Vistrova!!$' 2>/dev/null)" = "$launcher" ]; }
wait_true launcher_alone || fail "Esc did not end the show"
xdotool windowactivate --sync "$viewer"
xdotool key Return
wait_no_window 'Readme viewer' 5 || fail "the document stayed open"
echo "player help e2e passed"
