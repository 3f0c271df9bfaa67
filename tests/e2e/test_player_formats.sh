#!/usr/bin/env bash
# Today's formats in one show: a PNG, a WebP, a phone's HEIC (turned by its
# EXIF orientation), an MP4 clip played to its end, then a JPEG.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

start_player_bench 1024x768x24
convert -size 320x240 xc:'#ff0000' "$media/red.png"
convert -size 320x240 xc:'#00ff00' "$media/green.webp"
convert -size 320x240 xc:'#ffff00' "$media/yellow.jpg"
# Stored 300 x 150, left half red and right half blue; the EXIF orientation
# (6: turned a quarter clockwise) makes it 150 x 300 with red on top.
convert -size 300x150 xc:'#0000ff' -fill '#ff0000' -draw 'rectangle 0,0 149,149' -quality 95 "$E2E_TMP/flat.jpg"
{
  head -c 2 "$E2E_TMP/flat.jpg"
  printf '\xff\xe1\x00\x22Exif\x00\x00MM\x00\x2a\x00\x00\x00\x08\x00\x01\x01\x12\x00\x03\x00\x00\x00\x01\x00\x06\x00\x00\x00\x00\x00\x00'
  tail -c +3 "$E2E_TMP/flat.jpg"
} > "$E2E_TMP/turned.jpg"
heif-enc -q 95 "$E2E_TMP/turned.jpg" -o "$media/phone.heic" >/dev/null || fail "heif-enc made no HEIC"
ffmpeg -loglevel error -y -f lavfi -i testsrc=size=320x180:rate=25:duration=2 \
  -c:v libx264 -pix_fmt yuv420p "$media/clip.mp4"
[ -s "$media/clip.mp4" ] || fail "ffmpeg made no clip"
ffmpeg -loglevel error -y -f lavfi -i sine=frequency=440:duration=2 "$media/tone.flac"
[ -s "$media/tone.flac" ] || fail "ffmpeg made no sound"

printf '[VISTROVA]\r\nBACKCOLOR=%d\r\nINTERVAL=0\r\nUNIT=0\r\n' $((0x400080)) > "$VISTROVA_HOME/VISTROVA.INI"
{
  printf '[FILELIST]\r\nLISTNAME=formats\r\n'
  i=0
  for f in red.png green.webp phone.heic clip.mp4 yellow.jpg tone.flac; do
    printf 'LIST%03d=%s|%s\r\n' "$i" "$f" "$media/$f"
    i=$((i + 1))
  done
} > "$VISTROVA_HOME/FILE00.INI"

BACK="128 0 64"
near() {  # "r g b" close to "r g b" (lossy formats and scaling blur colours a little)
  local a=($1) b=($2) i d
  for i in 0 1 2; do d=$((a[i] - b[i])); [ ${d#-} -le 40 ] || return 1; done
}
# Waits until pixel ($1,$2) is about $3 ("r g b"); fails with $4.
expect_near() {
  local got i
  for i in $(seq 50); do
    screenshot "$E2E_TMP/shot.png"
    got=$(pixel_rgb "$E2E_TMP/shot.png" "$1" "$2")
    near "$got" "$3" && return 0
    sleep 0.2
  done
  fail "$4: pixel ($1,$2) is '$got', expected about '$3'"
}

xdotool mousemove 600 400
"$DRIVER" > "$E2E_TMP/driver.out" 2> "$E2E_TMP/driver.err" &
PID=$!
E2E_PIDS+=("$PID")
win=$(wait_window 'Vistrova!!' 15) || fail "no player window"

expect_near 512 384 "255 0 0" "the PNG"
xdotool key F8
expect_near 512 384 "0 255 0" "the WebP"
xdotool key F8
# 150 x 300 fitted to 1024 x 768: 384 x 768 at left 320.
expect_near 512 150 "255 0 0" "the HEIC's top half"
expect_near 512 620 "0 0 255" "the HEIC's bottom half"
expect_near 100 384 "$BACK" "the background beside the upright HEIC"
xdotool key F8
# The clip's test pattern: several colours across its middle, not the background.
movie_ok=""
for i in $(seq 50); do
  screenshot "$E2E_TMP/movie.png"
  colours=$(for x in 100 300 500 700 900; do pixel_rgb "$E2E_TMP/movie.png" "$x" 250; echo; done | sort -u)
  if [ "$(echo "$colours" | wc -l)" -ge 3 ] && ! echo "$colours" | grep -qx "$BACK"; then movie_ok=1; break; fi
  sleep 0.1
done
[ -n "$movie_ok" ] || fail "the MP4 shows no picture: $(echo $colours)"
# At its end the clip gives way to the JPEG by itself.
expect_near 512 384 "255 255 0" "the JPEG after the clip"
# The sound plays on the background, then the show wraps to the PNG.
xdotool key F8
expect_near 512 384 "$BACK" "the background while the sound plays"
expect_near 512 384 "255 0 0" "the PNG again after the sound"
[ "$(xdotool search --onlyvisible --name '^Vistrova!!$' | wc -l)" -eq 1 ] || fail "a message box came up during the show"

xdotool key Escape
wait_exit "$PID" 10 || fail "Esc did not end the player"
[ "$E2E_STATUS" -eq 0 ] || fail "driver exit status $E2E_STATUS: $(cat "$E2E_TMP/driver.err")"
echo "player formats e2e passed"
