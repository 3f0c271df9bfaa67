# Shared helpers of the end-to-end tests: a private X server, a scratch
# program folder, waiting for windows. Source it from a test_*.sh script.
set -euo pipefail

BUILD_DIR=${BUILD_DIR:?BUILD_DIR must name the build folder}
SOURCE_DIR=${SOURCE_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
E2E_TMP=$(mktemp -d)
E2E_PIDS=()

e2e_cleanup() {
  local i pid
  # The last started first: the programs, then the window manager, then the server.
  for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do kill "${E2E_PIDS[i]}" 2>/dev/null || true; done
  for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# A desktop as users have it: Xvfb with OpenGL (GLX, Mesa) on a free display
# (1024x768x24 unless given), a window manager and keys that auto-repeat.
# Exports DISPLAY.
start_x() {
  start_x_bare "$@"
  start_wm
}

# The X server alone, without a window manager (a screen-saver host's world).
start_x_bare() {
  local size=${1:-1024x768x24}
  exec 5> "$E2E_TMP/displayfd"
  # -noreset: the server must not restart when its last client leaves.
  Xvfb -displayfd 5 -screen 0 "$size" -nolisten tcp -dpi 96 -noreset +extension GLX >"$E2E_TMP/xvfb.log" 2>&1 &
  E2E_PIDS+=($!)
  local i
  for i in $(seq 100); do
    [ -s "$E2E_TMP/displayfd" ] && break
    sleep 0.1
  done
  [ -s "$E2E_TMP/displayfd" ] || fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
  export DISPLAY=":$(head -n1 "$E2E_TMP/displayfd")"
  for i in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  [[ "$(xdpyinfo)" == *GLX* ]] || fail "the X server offers no GLX"
  # A held key repeats, as on a desktop.
  xset r on
  unset WAYLAND_DISPLAY
  export QT_QPA_PLATFORM=xcb
  export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
  export VISTROVA_MPV_OPTIONS=${VISTROVA_MPV_OPTIONS:-ao=null}
}

# Openbox with a minimal configuration of its own: new windows focused, no
# bindings on the windows' insides (clicks and keys, Alt+F4 too, reach the
# programs ungrabbed), one desktop; a double click on a title bar maximises
# and restores.
start_wm() {
  local conf="$E2E_TMP/openbox.xml" i
  cat > "$conf" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <desktops><number>1</number></desktops>
  <margins><top>0</top><bottom>0</bottom><left>0</left><right>0</right></margins>
  <keyboard></keyboard>
  <mouse>
    <context name="Titlebar">
      <mousebind button="Left" action="Drag"><action name="Move"/></mousebind>
      <mousebind button="Left" action="DoubleClick"><action name="ToggleMaximize"/></mousebind>
    </context>
    <context name="Close">
      <mousebind button="Left" action="Click"><action name="Close"/></mousebind>
    </context>
  </mouse>
</openbox_config>
XML
  openbox --config-file "$conf" >"$E2E_TMP/openbox.log" 2>&1 &
  E2E_PIDS+=($!)
  # The manager has taken the screen once it names its check window on the root.
  for i in $(seq 100); do
    [[ "$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null)" == *"window id"* ]] && return 0
    sleep 0.1
  done
  fail "openbox did not take the screen: $(cat "$E2E_TMP/openbox.log")"
}

# A fresh program folder; exports VISTROVA_HOME and VISTROVA_MIXER_FILE, and
# XDG_CACHE_HOME for the programs only, so thumbnails the editor makes go to a
# scratch cache, never the user's (the X server and the window manager keep theirs).
make_home() {
  export VISTROVA_HOME="$E2E_TMP/home"
  mkdir -p "$VISTROVA_HOME"
  export VISTROVA_MIXER_FILE="$E2E_TMP/mixer"
  export XDG_CACHE_HOME="$E2E_TMP/cache"
  mkdir -p -m 700 "$XDG_CACHE_HOME"
}

# The player alone on a fresh program folder: an X server of size $1, the
# driver in DRIVER and an empty media folder in media.
start_player_bench() {
  start_x "$1"
  make_home
  DRIVER="$BUILD_DIR/tests/player_driver"
  [ -x "$DRIVER" ] || fail "no player driver at $DRIVER"
  media="$E2E_TMP/media"
  mkdir -p "$media"
}

# Starts $BUILD_DIR/vistrova with the given arguments in the background; sets PID.
start_vistrova() {
  "$BUILD_DIR/vistrova" "$@" &
  PID=$!
  E2E_PIDS+=("$PID")
}

# Waits (up to $2 seconds, default 10) for a visible window named $1; prints its id.
wait_window() {
  local name=$1 limit=${2:-10} id i
  for i in $(seq $((limit * 10))); do
    id=$(xdotool search --onlyvisible --name "^${name}\$" 2>/dev/null | head -n1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  return 1
}

# Waits until no visible window named $1 is left.
wait_no_window() {
  local name=$1 limit=${2:-10} i
  for i in $(seq $((limit * 10))); do
    xdotool search --onlyvisible --name "^${name}\$" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

# Waits for process $1 to end; its exit status is in E2E_STATUS.
wait_exit() {
  local pid=$1 limit=${2:-10} i
  for i in $(seq $((limit * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      E2E_STATUS=0
      wait "$pid" || E2E_STATUS=$?
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Sets X, Y (the inside's top left on the screen), WIDTH and HEIGHT of window
# $1. xdotool's getwindowgeometry counts a window manager's frame offset twice.
window_geometry() {
  local info
  info=$(xwininfo -id "$1") || return 1
  X=$(sed -n 's/^ *Absolute upper-left X: *//p' <<<"$info")
  Y=$(sed -n 's/^ *Absolute upper-left Y: *//p' <<<"$info")
  WIDTH=$(sed -n 's/^ *Width: *//p' <<<"$info")
  HEIGHT=$(sed -n 's/^ *Height: *//p' <<<"$info")
}

# Like window_geometry, once the window manager has placed the window: two
# reads 0.2 s apart agree (up to 3 s).
settled_geometry() {
  local i px py
  window_geometry "$1" || return 1
  for i in $(seq 15); do
    px=$X; py=$Y
    sleep 0.2
    window_geometry "$1" || return 1
    [ "$X" = "$px" ] && [ "$Y" = "$py" ] && return 0
  done
}

# Saves a screenshot of the whole screen (or window $2) to $1 (PNG).
screenshot() {
  local out=$1 win=${2:-root}
  import -window "$win" "$out"
}

# Prints "r g b" of pixel ($2, $3) of image $1.
pixel_rgb() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)]" info:
}
