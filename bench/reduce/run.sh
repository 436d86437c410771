#!/usr/bin/env bash
# Runs bench_reduce and prints how many times faster our reduction is than libimagequant.
set -euo pipefail
dir=${1:-build}
bin="$dir/bench/reduce/bench_reduce"
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$bin" --benchmark_format=console | tee "$out"
python3 - "$out" <<'PY'
import re, sys
times = {}
for line in open(sys.argv[1]):
    m = re.match(r'(BM_\w+)/(\d)\S*\s+([\d.]+) ms\s+([\d.]+) ms', line)
    if m:
        times[(m.group(1), m.group(2))] = (float(m.group(3)), float(m.group(4)))
for arg, name in (("0", "photo"), ("1", "flat")):
    ours = times.get(("BM_OctreeFloydSteinberg", arg))
    liq = times.get(("BM_LibImageQuant", arg))
    if ours and liq:
        print(f"{name}: libimagequant / ours = {liq[0] / ours[0]:.2f}x wall, "
              f"{liq[1] / ours[1]:.2f}x CPU")
PY
