#!/usr/bin/env python3
"""Optimises each GIF with loopwright-cli (all passes and the colour-map merge) and with
gifsicle -O1, -O2 and -O3, all run as processes, and prints one table: output sizes as a
share of the input, and our time divided by gifsicle's (best of several runs; below 1 means
we are faster). Our output is also checked to show the same pictures as the input.

usage: compare.py CLI TOOL WORKDIR GIF...
"""
import os
import subprocess
import sys
import time

RUNS = 3


def best_time(command):
    best = None
    for _ in range(RUNS):
        start = time.perf_counter()
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        elapsed = time.perf_counter() - start
        best = elapsed if best is None else min(best, elapsed)
    return best


def main():
    cli, tool, work = sys.argv[1:4]
    files = sys.argv[4:]
    header = (f"{'file':<38}{'input':>10}{'ours':>8}{'-O1':>8}{'-O2':>8}{'-O3':>8}"
              f"{'t/-O1':>8}{'t/-O2':>8}{'t/-O3':>8}  {'ours ms':>8}  shows the same")
    print(header)
    print("-" * len(header))
    for path in files:
        name = os.path.splitext(os.path.basename(path))[0]
        size = os.path.getsize(path)
        ours = os.path.join(work, f"{name}.ours.gif")
        ours_time = best_time([cli, "optimize", path, ours])
        row = f"{name:<38}{size:>10}{os.path.getsize(ours) / size:>8.1%}"
        ratios = []
        for level in (1, 2, 3):
            out = os.path.join(work, f"{name}.O{level}.gif")
            peer_time = best_time(["/usr/bin/gifsicle", f"-O{level}", path, "-o", out])
            row += f"{os.path.getsize(out) / size:>8.1%}"
            ratios.append(ours_time / peer_time)
        row += "".join(f"{r:>8.2f}" for r in ratios)
        same = subprocess.run([tool, "verify", path, ours], stdout=subprocess.DEVNULL).returncode == 0
        row += f"  {ours_time * 1000:>8.1f}  {'yes' if same else 'NO'}"
        print(row, flush=True)


if __name__ == "__main__":
    main()
