#!/usr/bin/env bash
# Rebuilds the launcher artwork into src/launcher/art/. Run by hand; the
# program build uses the committed PNG files only.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out="$here/../../src/launcher/art"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
g++ -std=c++20 -O2 -fPIC "$here/make_launcher_art.cpp" -o "$work/make_launcher_art" \
  $(pkg-config --cflags --libs Qt6Gui)
mkdir -p "$out"
"$work/make_launcher_art" "$out"
echo "artwork written to $out"
