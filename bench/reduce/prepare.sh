#!/usr/bin/env bash
# Puts the inputs of bench_reduce into a folder (default build/bench-data/reduce):
#   photos/*.bmp   real photographs (public-domain and CC0 samples shipped in Debian's
#                  python3-skimage package; only the package file is fetched and unpacked,
#                  nothing is installed)
#   video/*.bmp    60 frames of a short video: a photograph with a second one moving over
#                  it, encoded with H.264 by ffmpeg and decoded again, so the still parts
#                  carry real codec noise
# Existing files are kept; delete the folder to make them again.
set -euo pipefail
out=${1:-build/bench-data/reduce}
mkdir -p "$out"
out=$(cd "$out" && pwd)

if [ ! -f "$out/photos/done" ]; then
  tmp=$(mktemp -d)
  trap 'rm -rf "$tmp"' EXIT
  (cd "$tmp" && apt-get download -qq python3-skimage 2>/dev/null)
  dpkg-deb -x "$tmp"/python3-skimage_*.deb "$tmp/pkg"
  data=$(find "$tmp/pkg" -type d -path '*/skimage/data' | head -n 1)
  mkdir -p "$out/photos"
  for name in astronaut coffee chelsea motorcycle_left; do
    /usr/bin/convert "$data/$name.png" -type TrueColor "BMP3:$out/photos/$name.bmp"
  done
  touch "$out/photos/done"
fi

if [ ! -f "$out/video/done" ]; then
  mkdir -p "$out/video"
  photos="$out/photos"
  # 640x432 background, a 200-pixel-wide cat crossing it on a wave, 30 frames a second.
  ffmpeg -loglevel error -y -loop 1 -i "$photos/motorcycle_left.bmp" -loop 1 -i "$photos/chelsea.bmp" \
    -filter_complex "[0]scale=640:432[bg];[1]scale=200:-2[fg];[bg][fg]overlay=x='20+7*n':y='150+60*sin(n/9)'" \
    -frames:v 60 -r 30 -c:v libx264 -crf 20 -pix_fmt yuv420p "$out/video.mp4"
  ffmpeg -loglevel error -y -i "$out/video.mp4" -pix_fmt bgr24 "$out/video/frame_%03d.bmp"
  rm -f "$out/video.mp4"
  touch "$out/video/done"
fi
echo "$out"
