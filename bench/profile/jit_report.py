"""Shares of profiler samples in the rasteriser's generated functions, with their call sites.

Arguments: the jit_sites log, `perf script -F ip,dso` lines, the program, how many to print.
"""
import bisect
import collections
import subprocess
import sys


def main():
    log, samples, program, top = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
    functions = []  # (address, label, call-site offsets)
    for line in open(log):
        parts = line.split()
        if len(parts) < 3:
            continue
        functions.append((int(parts[1], 16), f"{parts[2]} #{len(functions)} at {parts[0]} ms",
                          parts[3:]))
    functions.sort()
    starts = [f[0] for f in functions]

    counts = collections.Counter()
    total = generated = 0
    for line in open(samples):
        parts = line.split()
        if len(parts) < 2:
            continue
        total += 1
        # perf names code it has no symbols for after its map file.
        if "perf-" in parts[1] or "JIT" in parts[1]:
            generated += 1
            i = bisect.bisect_right(starts, int(parts[0], 16)) - 1
            counts[i] += 1
    if total == 0:
        sys.exit("jit-profile: no samples")
    print(f"{total} samples, {100 * generated / total:.1f}% in generated functions")
    for index, count in counts.most_common(top):
        if index < 0:
            print(f"{100 * count / total:5.1f}%  (before the first generated function)")
            continue
        _, label, sites = functions[index]
        print(f"{100 * count / total:5.1f}%  {label}")
        if sites:
            names = subprocess.run(["addr2line", "-f", "-C", "-s", "-e", program] + sites,
                                   capture_output=True, text=True).stdout.splitlines()
            # From the device call up to the scene's render: the loop above it is the same
            # for every draw.
            for name, where in list(zip(names[0::2], names[1::2]))[:5]:
                print(f"          {name.split('(')[0]}  {where}")
                if name.startswith("Sequencer::"):
                    break


main()
