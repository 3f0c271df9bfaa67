#!/usr/bin/env bash
# The show inside a screen-saver host's window: a plain 400 x 300 window made
# by a helper receives the pictures, which advance in it; SIGTERM (what a host
# sends) or a click ends the show with the volume set back; bad window numbers
# are refused on stderr with exit status 2.
source "$(dirname "$0")/lib.sh"

start_x_bare
xsetroot -solid '#00ff00'
make_home
VISTROVA=$BUILD_DIR/vistrova
HOST_HELPER=$BUILD_DIR/tests/host_window
[ -x "$HOST_HELPER" ] || fail "no host helper at $HOST_HELPER"

ROOT="0 255 0"; HOSTGREY="128 128 128"
RED="255 0 0"; BLUE="0 0 255"; YELLOW="255 255 0"
# The helper's window sits at (100, 80), 400 x 300.
HX=300; HY=230

media="$E2E_TMP/media"
mkdir -p "$media"
convert -size 400x300 xc:'#ff0000' "$media/red.bmp"
convert -size 400x300 xc:'#0000ff' "$media/blue.bmp"
convert -size 400x300 xc:'#ffff00' "$media/yellow.bmp"
printf '[VISTROVA]\r\nINTERVAL=1\r\nUNIT=0\r\n' > "$VISTROVA_HOME/VISTROVA.INI"
{
  printf '[FILELIST]\r\nLISTNAME=host\r\n'
  printf 'LIST000=red|%s\r\nLIST001=blue|%s\r\nLIST002=yellow|%s\r\n' \
    "$media/red.bmp" "$media/blue.bmp" "$media/yellow.bmp"
} > "$VISTROVA_HOME/FILE00.INI"

shot() { screenshot "$E2E_TMP/shot.png"; pixel_rgb "$E2E_TMP/shot.png" "$1" "$2"; }

"$HOST_HELPER" > "$E2E_TMP/host.id" 2> "$E2E_TMP/host.err" &
HOST_PID=$!
E2E_PIDS+=($HOST_PID)
for i in $(seq 100); do [ -s "$E2E_TMP/host.id" ] && break; sleep 0.1; done
HOST=$(head -n1 "$E2E_TMP/host.id")
[ -n "$HOST" ] || fail "the host helper gave no window: $(cat "$E2E_TMP/host.err")"
for i in $(seq 50); do [ "$(shot $HX $HY)" = "$HOSTGREY" ] && break; sleep 0.1; done
[ "$(shot $HX $HY)" = "$HOSTGREY" ] || fail "the host window is not up"

# Collects the colours seen at the host's centre for about $1 seconds.
colours_seen() {
  local i
  for i in $(seq $(($1 * 5))); do echo "$(shot $HX $HY)"; sleep 0.2; done | sort -u
}
start_show() {  # args...
  "$VISTROVA" "$@" 2> "$E2E_TMP/show.err" &
  PID=$!
  E2E_PIDS+=($PID)
  for i in $(seq 100); do
    case "$(shot $HX $HY)" in "$RED"|"$BLUE"|"$YELLOW") return 0;; esac
    sleep 0.1
  done
  fail "$*: no picture in the host window ($(shot $HX $HY)); $(cat "$E2E_TMP/show.err")"
}

# --- The show runs inside the host window, at its size, and advances.
echo 2147516416 > "$VISTROVA_MIXER_FILE"   # 0x80008000
start_show --window-id "$HOST"
seen=$(colours_seen 4)
[ "$(echo "$seen" | grep -cxE "$RED|$BLUE|$YELLOW")" -ge 2 ] || fail "the pictures did not advance: $(echo $seen)"
# Only the host's area: the root stays around it, and no full-screen window came.
[ "$(shot 50 50)" = "$ROOT" ] || fail "the show left the host window"
[ "$(shot 520 400)" = "$ROOT" ] || fail "the show is larger than the host window"
case "$(shot 101 81)" in "$RED"|"$BLUE"|"$YELLOW") ;; *) fail "the show does not reach the host's corner";; esac
case "$(shot 498 378)" in "$RED"|"$BLUE"|"$YELLOW") ;; *) fail "the show does not fill the host";; esac

# SIGTERM from the host ends it; the volume read at start is set back.
echo 5 > "$VISTROVA_MIXER_FILE"   # as if the show had changed it
kill -TERM "$PID"
wait_exit "$PID" 10 || fail "SIGTERM did not end the show"
[ "$E2E_STATUS" -eq 0 ] || fail "SIGTERM: exit status $E2E_STATUS"
[ "$(cat "$VISTROVA_MIXER_FILE")" = 2147516416 ] || fail "SIGTERM: volume not set back"
kill -0 "$HOST_PID" 2>/dev/null || fail "the host window went with the show"
for i in $(seq 50); do [ "$(shot $HX $HY)" = "$HOSTGREY" ] && break; sleep 0.1; done
[ "$(shot $HX $HY)" = "$HOSTGREY" ] || fail "the show stayed in the host window after its end"

# --- A click into it ends it too (-root with the host's variable, hex form).
echo 65535 > "$VISTROVA_MIXER_FILE"
XSCREENSAVER_WINDOW=$(printf '0x%x' "$HOST") start_show -root
echo 6 > "$VISTROVA_MIXER_FILE"
xdotool mousemove $HX $HY click 1
wait_exit "$PID" 10 || fail "a click did not end the show"
[ "$E2E_STATUS" -eq 0 ] || fail "click: exit status $E2E_STATUS"
[ "$(cat "$VISTROVA_MIXER_FILE")" = 65535 ] || fail "click: volume not set back"

# --- A key ends it too, when the keyboard reaches the show (the pointer
# over it, as a host that passes its input on would have it).
echo 1234 > "$VISTROVA_MIXER_FILE"
xdotool mousemove $HX $HY
start_show --window-id "$HOST"
echo 8 > "$VISTROVA_MIXER_FILE"
xdotool key space
wait_exit "$PID" 10 || fail "a key did not end the show"
[ "$(cat "$VISTROVA_MIXER_FILE")" = 1234 ] || fail "key: volume not set back"

# --- A host that destroys its window ends the show with it.
echo 3221274624 > "$VISTROVA_MIXER_FILE"
start_show --window-id "$HOST"
echo 7 > "$VISTROVA_MIXER_FILE"
kill -TERM "$HOST_PID"
wait_exit "$HOST_PID" 5 || fail "the host helper did not end"
wait_exit "$PID" 10 || fail "the show outlived its host window"
[ "$(cat "$VISTROVA_MIXER_FILE")" = 3221274624 ] || fail "host gone: volume not set back"

# --- Bad window numbers: a refusal on stderr, status 2, nothing touched.
echo 4321 > "$VISTROVA_MIXER_FILE"
touch -d '2001-01-01' "$VISTROVA_MIXER_FILE"
refused() {  # what, command...
  local what=$1 status=0
  shift
  "$@" > /dev/null 2> "$E2E_TMP/refused.err" &
  local pid=$!
  E2E_PIDS+=($pid)
  wait_exit "$pid" 10 || fail "$what: did not end"
  [ "$E2E_STATUS" -eq 2 ] || fail "$what: exit status $E2E_STATUS"
  grep -q '^vistrova: ' "$E2E_TMP/refused.err" || fail "$what: no message on stderr"
}
refused "-window-id without a number" "$VISTROVA" -window-id
refused "-window-id with text" "$VISTROVA" --window-id abc
refused "a window number that names no window" "$VISTROVA" --window-id 0x7ffffff0
XSCREENSAVER_WINDOW=nonsense refused "XSCREENSAVER_WINDOW not a number" "$VISTROVA" -root
XSCREENSAVER_WINDOW=2147483632 refused "XSCREENSAVER_WINDOW naming no window" "$VISTROVA" --root
[ "$(stat -c %Y "$VISTROVA_MIXER_FILE")" = "$(date -d 2001-01-01 +%s)" ] || fail "a refusal wrote the mixer file"
xdotool search --onlyvisible --name '^Vistrova!!$' >/dev/null 2>&1 && fail "a refusal showed a window"

echo "screen-saver host e2e: all checks passed"
