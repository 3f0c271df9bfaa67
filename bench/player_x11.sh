#!/usr/bin/env bash
# The player's step on a real X server next to feh: a private Xvfb of
# 1920 x 1080 with its GLX (Mesa llvmpipe) and, through the test helpers, the
# test desktop; then the same figures offscreen. Prints both.
# Usage: bench/player_x11.sh [BUILD_DIR]
BUILD_DIR=$(cd "${1:-build}" && pwd)
export BUILD_DIR
BENCH="$BUILD_DIR/bench/bench_player_show"
source "$(dirname "$0")/../tests/e2e/lib.sh"
[ -x "$BENCH" ] || fail "no $BENCH (build the bench target first)"

start_x 1920x1080x24
xdpyinfo > "$E2E_TMP/xdpyinfo.txt"; grep -q GLX "$E2E_TMP/xdpyinfo.txt" || echo "note: this X server offers no GLX"
unset QT_XCB_GL_INTEGRATION
echo "== real X server $DISPLAY"
"$BENCH"
echo "== offscreen"
env -u DISPLAY -u QT_QPA_PLATFORM "$BENCH"
