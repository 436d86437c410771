#!/usr/bin/env bash
# Builds bench_reduce, prepares its photographs and video frames (prepare.sh), runs it and
# prints one table: per method the mean PSNR, mean blurred PSNR and total time over the
# pictures, each time as a ratio to libimagequant's (dithered) in the same run, and the
# animation rows with their shimmer. The peers run on one thread, as ours does.
#   bench/reduce/run.sh [build-folder] [extra bench_reduce arguments]
set -euo pipefail
cd "$(dirname "$0")/../.."
dir=${1:-build}
shift || true
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$dir" --target bench_reduce >/dev/null
data=$(bench/reduce/prepare.sh "$dir/bench-data/reduce")
json=$(mktemp)
trap 'rm -f "$json"' EXIT
OMP_NUM_THREADS=1 MAGICK_THREAD_LIMIT=1 LOOPWRIGHT_REDUCE_DATA="$data" \
  "$dir/bench/reduce/bench_reduce" --benchmark_out="$json" --benchmark_out_format=json "$@"
python3 bench/reduce/summary.py "$json"
