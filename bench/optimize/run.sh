#!/usr/bin/env bash
# Builds the optimiser benchmark, writes the sample animations, adds the animations of
# bench/codec/make_animations.sh, the animated GIFs of the test suite's corpus and those
# found on this machine (not kept in the repository), and
# prints the size and time table of `optimize --best` against gifsicle -O2 and -O3. Then
# runs bench_optimize for our in-memory timing.
#   bench/optimize/run.sh [build-folder]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/../.."
dir=${1:-build}
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$dir" --target loopwright-cli optimize_tool bench_optimize >/dev/null

work="$dir/bench-optimize"
rm -rf "$work"
mkdir -p "$work/in" "$work/out"
"$dir/bench/optimize/optimize_tool" generate "$work/in"

# The animated GIFs of the fuzz corpus (small files written by hand and by other tools).
for gif in fuzz/corpus/gif_file/*.gif; do
  frames=$( (/usr/bin/gifsicle --info "$gif" 2>/dev/null || true) | sed -n '1s/.* \([0-9]*\) images$/\1/p')
  if [ -n "$frames" ] && [ "$frames" -gt 1 ]; then cp "$gif" "$work/in/corpus_$(basename "$gif")"; fi
done

# Animations written by other programs (FFmpeg, ImageMagick): local palettes, dithering,
# frames that repeat the screen, small changed rectangles, interlacing.
animations=$(bench/codec/make_animations.sh "$dir/bench-data/animations")
for gif in "$animations"/*.gif; do cp "$gif" "$work/in/anim_$(basename "$gif")"; done

# Real animations: the first few animated GIFs on the machine outside the repository, the
# temporary folder and the bench data of other checkouts (the animations above again),
# plus one of them taken apart into full frames the way a naive exporter would write it
# (colours cut to 255 so that gifsicle can take it apart).
count=0
while IFS= read -r gif; do
  frames=$( (/usr/bin/gifsicle --info "$gif" 2>/dev/null || true) | sed -n '1s/.* \([0-9]*\) images$/\1/p')
  [ -n "$frames" ] && [ "$frames" -gt 1 ] || continue
  name=real_$(basename "$gif" .gif)
  cp "$gif" "$work/in/$name.gif"
  if [ "$count" -eq 0 ]; then
    /usr/bin/gifsicle --colors 255 "$gif" '#0-149' 2>/dev/null |
      /usr/bin/gifsicle -U -o "$work/in/${name}_full_frames.gif" 2>/dev/null || true
  fi
  count=$((count + 1))
  [ "$count" -lt 4 ] || break
done < <(find / \( -path /proc -o -path /sys -o -path /tmp -o -path "$PWD" -o -path '*/fuzz/corpus' \
            -o -path '*/bench-optimize' -o -path '*/bench-data' \) -prune -o -name '*.gif' -type f -print 2>/dev/null | sort)
[ "$count" -gt 0 ] || echo "(no animated GIF found on this machine besides the samples)"

nice python3 bench/optimize/compare.py "$dir/src/app/loopwright-cli" "$dir/bench/optimize/optimize_tool" \
  "$work/out" "$work"/in/*.gif
echo
nice "$dir/bench/optimize/bench_optimize" --benchmark_min_time=0.2
