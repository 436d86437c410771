#!/usr/bin/env bash
# Builds bench_video, runs it (the clip is made on first use) and prints the times as ratios
# to the two ffmpeg routes of the same run, with PSNR, bytes and peak memory.
#   bench/video/run.sh [build-folder]
set -euo pipefail
cd "$(dirname "$0")/../.."
dir=${1:-build}
cmake --build "$dir" --target bench_video >/dev/null
json=$(mktemp)
trap 'rm -f "$json"' EXIT
LOOPWRIGHT_VIDEO_DATA="$PWD/$dir/bench-data/video" "$dir/bench/video/bench_video" \
  --benchmark_out="$json" --benchmark_out_format=json >&2
python3 - "$json" <<'PY'
import json, sys
runs = {b["label"]: b for b in json.load(open(sys.argv[1]))["benchmarks"]}
gif, pal = runs["ffmpeg/gif"]["real_time"], runs["ffmpeg/palette"]["real_time"]
print(f'{"route":20} {"ms":>8} {"x ffmpeg/gif":>13} {"x palette":>10} {"PSNR":>6} {"bytes":>10} {"peak MiB":>9} {"peak/8-bit frames":>18} {"frames":>6}')
for name, b in runs.items():
    print(f'{name:20} {b["real_time"]:8.0f} {b["real_time"]/gif:13.2f} {b["real_time"]/pal:10.2f} '
          f'{b["psnr"]:6.2f} {b["bytes"]:10.0f} {b["peak_MiB"]:9.1f} {b["peak_per_8bit_frames"]:18.2f} {b["frames"]:6.0f}')
PY
