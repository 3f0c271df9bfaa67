#!/usr/bin/env bash
# Time from starting vistrova to the first picture of its launcher, in a
# private X server. Usage: bench/startup.sh [BUILD_DIR] [RUNS]
# Uses VISTROVA_REPORT_STARTUP=1, which makes vistrova print the wall-clock
# time of its first expose to stderr.
BUILD_DIR=$(cd "${1:-build}" && pwd)
RUNS=${2:-10}
export BUILD_DIR
source "$(dirname "$0")/../tests/e2e/lib.sh"

start_x
xev -root >/dev/null 2>&1 &   # keeps the server from resetting between runs
E2E_PIDS+=($!)
for i in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
make_home

times=()
for run in $(seq "$RUNS"); do
  log="$E2E_TMP/run$run.log"
  start=$(date +%s%N)
  VISTROVA_REPORT_STARTUP=1 "$BUILD_DIR/vistrova" 2>"$log" &
  pid=$!
  for i in $(seq 100); do grep -q 'first expose' "$log" && break; sleep 0.05; done
  kill -TERM "$pid"; wait "$pid" || true
  exposed=$(sed -n 's/.*first expose at \([0-9]*\)\.\([0-9]*\).*/\1\2/p' "$log")
  [ -n "$exposed" ] || fail "run $run: no expose reported"
  times+=($(( (exposed * 1000 - start) / 1000000 )))
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
echo "start to first expose (ms), $RUNS runs: $(echo $sorted)"
echo "median: $(echo "$sorted" | sed -n "$(( (RUNS + 1) / 2 ))p") ms"
