#!/usr/bin/env bash
# Fills a program folder with demo media and a demo list FILE00.INI, when the
# folder holds no list yet. Uses ImageMagick and ffmpeg; safe to run again.
set -euo pipefail
home=${1:?usage: make-demo.sh PROGRAM_FOLDER}
mkdir -p "$home"
if compgen -G "$home/FILE[0-9][0-9].INI" >/dev/null; then
  exit 0
fi
home=$(cd "$home" && pwd)
media="$home/demo"
mkdir -p "$media"

picture() {  # name, gradient, label
  local out="$media/$1"
  [ -s "$out" ] && return
  convert -size 1280x720 "gradient:$2" \
    -fill 'rgba(255,255,255,0.85)' -draw "circle 640,360 640,140" \
    -fill '#203040' -font DejaVu-Sans -pointsize 64 -gravity center -annotate +0+0 "$3" \
    "$out" 2>/dev/null || convert -size 1280x720 "gradient:$2" "$out"
}
picture "01_dawn.jpg"   "#ff9a5a-#5a2a80"  "Vistrova"
picture "02_sea.bmp"    "#1a6fb0-#a8e0ff"  "Sea"
picture "03_forest.gif" "#0f4020-#9adf6a"  "Forest"
picture "04_night.jpg"  "#000010-#304080"  "Night"

clip="$media/05_clock.mpg"
if [ ! -s "$clip" ] && command -v ffmpeg >/dev/null; then
  ffmpeg -loglevel error -y -f lavfi -i "testsrc2=size=640x360:rate=25:duration=6" \
    -f lavfi -i "sine=frequency=440:duration=6" -c:v mpeg1video -q:v 4 -c:a mp2 "$clip" || rm -f "$clip"
fi

{
  printf '[FILELIST]\r\nLISTNAME=Demo\r\n'
  i=0
  for f in "$media"/*; do
    printf 'LIST%03d=%s|%s\r\n' "$i" "$(basename "$f")" "$f"
    i=$((i + 1))
  done
  while [ "$i" -lt 256 ]; do
    printf 'LIST%03d=|\r\n' "$i"
    i=$((i + 1))
  done
} > "$home/FILE00.INI.tmp"
mv "$home/FILE00.INI.tmp" "$home/FILE00.INI"
echo "demo list written to $home/FILE00.INI"
