#!/usr/bin/env python3
"""Turns bench_reduce's JSON output into the comparison table: per method the mean PSNR and
mean blurred PSNR over the pictures and the total time, as a ratio to libimagequant's."""
import json
import sys
from collections import defaultdict

PEER = "liq_dither"


def main(path):
    runs = json.load(open(path))["benchmarks"]
    pictures = defaultdict(dict)   # method -> picture -> run
    animation = {}
    for run in runs:
        name = run["run_name"] if "run_name" in run else run["name"]
        method, _, picture = name.partition("/")
        picture = picture.split("/")[0]
        if method == "animation":
            animation[picture] = run
        else:
            pictures[method][picture] = run

    names = sorted(pictures[PEER]) if PEER in pictures else []
    print("\nPer picture: PSNR / blurred PSNR (dB), CPU time (ms)")
    header = "%-16s" % "method" + "".join("%22s" % p[:20] for p in names)
    print(header)
    for method, runs_of in pictures.items():
        cells = []
        for p in names:
            r = runs_of.get(p)
            cells.append("%22s" % ("%.2f/%.2f %7.1f" % (r["PSNR"], r["BlurPSNR"], r["cpu_time"]) if r else "-"))
        print("%-16s" % method + "".join(cells))

    print("\nMeans over %d pictures; time is the sum, and its ratio to %s's" % (len(names), PEER))
    print("%-16s %9s %11s %12s %10s %10s" % ("method", "PSNR", "blur PSNR", "CPU ms", "CPU ratio", "wall ratio"))
    peer = pictures.get(PEER, {})
    peer_cpu = sum(peer[p]["cpu_time"] for p in names) or 1
    peer_wall = sum(peer[p]["real_time"] for p in names) or 1
    for method, runs_of in pictures.items():
        if any(p not in runs_of for p in names):
            continue
        psnr = sum(runs_of[p]["PSNR"] for p in names) / len(names)
        blur = sum(runs_of[p]["BlurPSNR"] for p in names) / len(names)
        cpu = sum(runs_of[p]["cpu_time"] for p in names)
        wall = sum(runs_of[p]["real_time"] for p in names)
        print("%-16s %9.2f %11.2f %12.1f %10.3f %10.3f" % (method, psnr, blur, cpu, cpu / peer_cpu, wall / peer_wall))

    if animation:
        print("\nAnimation (60 video frames): mean PSNR, mean blurred PSNR, shimmer = share of still")
        print("pixels whose colour changes between frames")
        print("%-16s %9s %11s %10s %12s" % ("method", "PSNR", "blur PSNR", "shimmer %", "CPU ms"))
        for method, r in animation.items():
            print("%-16s %9.2f %11.2f %10.3f %12.1f" % (method, r["PSNR"], r["BlurPSNR"], r["Shimmer"], r["cpu_time"]))


if __name__ == "__main__":
    main(sys.argv[1])
