#!/usr/bin/env bash
# Puts the inputs of bench_reduce into a folder (default build/bench-data/reduce):
#   photos/*.bmp   real photographs (public-domain and CC0 samples shipped in Debian's
#                  python3-skimage package; only the package file is fetched and unpacked,
#                  nothing is installed)
#   video/*.bmp    60 frames of a short video: a photograph with a second one moving over
#                  it, encoded with H.264 by ffmpeg and decoded again, so the still parts
#                  carry real codec noise
#   drawn/*.bmp    640x480 pictures with few colours in few places of colour space: a
#                  smooth linear gradient and a radial one (ffmpeg's gradients source, fixed
#                  seeds) and flat shapes with anti-aliased edges (ImageMagick)
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
if [ ! -f "$out/drawn/done" ]; then
  mkdir -p "$out/drawn"
  ffmpeg -loglevel error -y -f lavfi -i "gradients=size=640x480:seed=1:n=3" -frames:v 1 \
    -pix_fmt bgr24 "$out/drawn/gradients_linear.bmp"
  ffmpeg -loglevel error -y -f lavfi -i "gradients=size=640x480:seed=3:n=4:type=radial" -frames:v 1 \
    -pix_fmt bgr24 "$out/drawn/gradients_radial.bmp"
  /usr/bin/convert -size 640x480 xc:'#F4F1EA' -fill '#1F3A5F' -draw 'rectangle 0,0 639,59' \
    -fill '#E07A5F' -draw 'circle 200,250 200,380' \
    -fill '#81B29A' -draw 'roundrectangle 380,150 600,400 30,30' \
    -fill '#F2CC8F' -draw 'polygon 40,470 300,300 330,470' \
    -fill '#3D405B' -draw 'ellipse 480,90 120,20 0,360' \
    -stroke '#D62828' -strokewidth 3 -draw 'line 20,120 620,200' \
    -type TrueColor "BMP3:$out/drawn/flat_shapes.bmp"
  touch "$out/drawn/done"
fi
echo "$out"
