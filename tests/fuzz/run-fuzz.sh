#!/usr/bin/env bash
# Runs a libFuzzer target for a bounded time over the kept corpus. New inputs
# go to a scratch folder, so the repository's corpus is only read.
set -euo pipefail
fuzzer=$1
corpus=$2
seconds=${FUZZ_SECONDS:-10}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$fuzzer" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$scratch/" "$scratch" "$corpus" 2>"$scratch/log" || {
  tail -n 60 "$scratch/log"
  for a in "$scratch"/crash-* "$scratch"/leak-* "$scratch"/timeout-*; do
    [ -e "$a" ] && { echo "failing input: $a"; od -c "$a" | head -20; }
  done
  exit 1
}
grep -E '^Done|^#[0-9]+ *DONE' "$scratch/log" | tail -n 1
