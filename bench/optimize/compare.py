#!/usr/bin/env python3
"""Optimises each GIF with `loopwright-cli optimize --best` and with gifsicle -O2 and -O3,
all run as processes, and prints one table: bytes of each against the input and ours
against gifsicle's, the wall times of ours and of -O3 in milliseconds and their ratio (best
of several runs each, taking turns; below 1 means we are faster), the same ratio for the
processor time (user + system, all threads), and whether our output shows the same as the input, checked through
our renderer (`optimize_tool verify`) and with gifsicle's `gifdiff -w` (frames that only
stretch the previous picture's time count as the same).

usage: compare.py CLI TOOL WORKDIR GIF...
"""
import os
import resource
import subprocess
import sys
import time

RUNS = 5


def cpu_of_children():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def run_timed(command):
    """Wall and processor time (user + system, all threads) of one run."""
    cpu = cpu_of_children()
    start = time.perf_counter()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    elapsed = time.perf_counter() - start
    return elapsed, cpu_of_children() - cpu


def best_times(commands):
    """The best wall time and the best processor time of RUNS runs of each command. The
    commands take turns, so that a busy spell on the machine (other builds) falls on all of
    them alike rather than on the one measured then."""
    best = [[None, None] for _ in commands]
    for _ in range(RUNS):
        for k, command in enumerate(commands):
            for i, value in enumerate(run_timed(command)):
                best[k][i] = value if best[k][i] is None else min(best[k][i], value)
    return best


def same(command):
    return subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0


def main():
    cli, tool, work = sys.argv[1:4]
    files = sys.argv[4:]
    header = (f"{'file':<34}{'input':>9}{'best':>9}{'-O2':>9}{'-O3':>9}{'best/in':>8}{'/-O2':>7}"
              f"{'/-O3':>7}{'ms':>8}{'-O3 ms':>8}{'t/-O3':>7}{'t/-O2':>7}{'c/-O3':>7}  renderer gifdiff")
    print(header)
    print("-" * len(header))
    totals = {"in": 0, "best": 0, "O2": 0, "O3": 0, "t": 0.0, "tO2": 0.0, "tO3": 0.0,
              "c": 0.0, "cO3": 0.0}
    larger_than_o3 = []
    all_same = True
    for path in files:
        name = os.path.splitext(os.path.basename(path))[0]
        size = os.path.getsize(path)
        ours = os.path.join(work, f"{name}.best.gif")
        outs = {level: os.path.join(work, f"{name}.O{level}.gif") for level in (2, 3)}
        (ours_time, ours_cpu), *gifsicle = best_times(
            [[cli, "optimize", path, ours, "--best"]] +
            [["/usr/bin/gifsicle", f"-O{level}", path, "-o", outs[level]] for level in (2, 3)])
        times = {2: gifsicle[0][0], 3: gifsicle[1][0]}
        cpus = {2: gifsicle[0][1], 3: gifsicle[1][1]}
        sizes = {level: os.path.getsize(outs[level]) for level in (2, 3)}
        best = os.path.getsize(ours)
        shown = same([tool, "verify", path, ours])
        diff = same(["/usr/bin/gifdiff", "-w", path, ours])
        all_same = all_same and shown and diff
        if best > sizes[3]:
            larger_than_o3.append(name)
        for key, value in (("in", size), ("best", best), ("O2", sizes[2]), ("O3", sizes[3]),
                           ("t", ours_time), ("tO2", times[2]), ("tO3", times[3]),
                           ("c", ours_cpu), ("cO3", cpus[3])):
            totals[key] += value
        print(f"{name[:33]:<34}{size:>9}{best:>9}{sizes[2]:>9}{sizes[3]:>9}{best / size:>8.3f}"
              f"{best / sizes[2]:>7.3f}{best / sizes[3]:>7.3f}{ours_time * 1000:>8.1f}{times[3] * 1000:>8.1f}"
              f"{ours_time / times[3]:>7.2f}"
              f"{ours_time / times[2]:>7.2f}{ours_cpu / max(cpus[3], 1e-4):>7.2f}  {'same' if shown else 'DIFFERS':<8} "
              f"{'same' if diff else 'DIFFERS'}", flush=True)
    print("-" * len(header))
    t = totals
    print(f"{'total':<34}{t['in']:>9}{t['best']:>9}{t['O2']:>9}{t['O3']:>9}{t['best'] / t['in']:>8.3f}"
          f"{t['best'] / t['O2']:>7.3f}{t['best'] / t['O3']:>7.3f}{t['t'] * 1000:>8.1f}{t['tO3'] * 1000:>8.1f}"
          f"{t['t'] / t['tO3']:>7.2f}"
          f"{t['t'] / t['tO2']:>7.2f}{t['c'] / max(t['cO3'], 1e-4):>7.2f}  {'all same' if all_same else 'NOT ALL SAME'}")
    print(f"files larger than -O3: {', '.join(larger_than_o3) if larger_than_o3 else 'none'}")


if __name__ == "__main__":
    main()
