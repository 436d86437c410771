#!/usr/bin/env bash
# Writes animated GIFs made by other programs into a folder (default
# build/bench-data/animations), the kinds the library's encoder and optimiser meet in use:
#   fractal_local_palettes  60 frames of a zooming fractal, dithered, a palette per frame (FFmpeg)
#   color_bars              100 frames of static colour bars, 4/100 s each (FFmpeg)
#   gradient_dithered       50 frames of a moving gradient, error-diffusion dithered (FFmpeg)
#   bayer_dithered          90 frames of a test pattern with ordered (Bayer) dithering (FFmpeg)
#   small_rectangles        40 frames where a small square moves, written as changed
#                           rectangles (ImageMagick's -layers optimize)
#   interlaced_noise        20 frames of coloured noise, interlaced (ImageMagick)
# Existing files are kept while they are newer than this script; delete the folder to
# make them again.
set -euo pipefail
out=${1:-build/bench-data/animations}
mkdir -p "$out"
out=$(cd "$out" && pwd)
# The build runs this when the script changes: files of an older script are made again.
[ -f "$out/done" ] && [ "$out/done" -nt "$0" ] && { echo "$out"; exit 0; }

ff() { ffmpeg -loglevel error -y "$@"; }
# One palette per frame (stats_mode=single, new=1): every frame gets a local table.
ff -f lavfi -i "mandelbrot=size=320x240:rate=25" -frames:v 60 \
  -filter_complex "[0]split[a][b];[a]palettegen=stats_mode=single[p];[b][p]paletteuse=new=1:dither=sierra2_4a" \
  "$out/fractal_local_palettes.gif"
ff -f lavfi -i "smptebars=size=320x240:rate=25" -frames:v 100 "$out/color_bars.gif"
# The gradients source has an alpha channel that the palette takes as transparent (every
# frame came out as one transparent pixel): it is dropped first. Its colours and its line
# are random unless given.
ff -f lavfi -i "gradients=size=320x240:rate=25:speed=0.02:duration=2:n=3:c0=0x203080:c1=0xE0A040:c2=0x40C0A0:x0=20:y0=10:x1=300:y1=230" -frames:v 50 \
  -filter_complex "[0]format=rgb24,split[a][b];[a]palettegen[p];[b][p]paletteuse=dither=floyd_steinberg" \
  "$out/gradient_dithered.gif"
ff -f lavfi -i "testsrc2=size=320x240:rate=30:duration=3" -frames:v 90 \
  -filter_complex "[0]split[a][b];[a]palettegen[p];[b][p]paletteuse=dither=bayer:bayer_scale=2" \
  "$out/bayer_dithered.gif"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for i in $(seq 0 39); do
  x=$((10 + i * 6)); y=$((40 + (i % 10) * 8))
  /usr/bin/convert -size 320x240 xc:'#204060' -fill '#e0c020' \
    -draw "rectangle $x,$y $((x + 24)),$((y + 24))" "$tmp/r_$(printf %02d "$i").png"
done
/usr/bin/convert -delay 5 "$tmp"/r_*.png -layers optimize "$out/small_rectangles.gif"
for i in $(seq 0 19); do
  /usr/bin/convert -size 160x120 -seed "$i" plasma:fractal "$tmp/n_$(printf %02d "$i").png"
done
/usr/bin/convert -delay 8 "$tmp"/n_*.png -colors 128 -interlace GIF "$out/interlaced_noise.gif"
touch "$out/done"
echo "$out"
