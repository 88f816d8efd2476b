#!/usr/bin/env python3
"""Prints the benchmark results as a table: file operations beside their floor
(one plain read of the same file) and every timing against its target."""
import json
import sys

def ms(b):
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
    return b["real_time"] * scale

runs = {b["name"]: b for b in json.load(open(sys.argv[1]))["benchmarks"]
        if b.get("run_type", "iteration") == "iteration"}
failed = []
print("%-28s %12s %12s %8s %8s  %s" % ("benchmark", "time ms", "floor ms", "ratio", "peak MB", "target"))
print("(-N: the same N lines with the newest day first; OpenAndLoad: layout check, scan and")
print(" load of the last 261 days; OpenAndPlot: the same with the drawing and TmpPrice.bmp)")
for name, b in runs.items():
    t = ms(b)
    floor = ratio = ""
    target = ""
    parts = name.split("/")
    if parts[0] in ("Scan", "WholeRange", "LoadLast261", "OpenAndLoad", "OpenAndPlot"):
        f = runs.get("Floor/" + parts[1].lstrip("-"))
        if f:
            floor = "%.3f" % ms(f)
            ratio = "%.2f" % (t / ms(f))
            if parts[0] in ("LoadLast261", "OpenAndLoad") and parts[1].lstrip("-") == "1000000":
                ok = t <= 2 * ms(f)
                target = "<= 2x floor " + ("met" if ok else "NOT MET")
                if not ok:
                    failed.append(name)
    elif parts[0] == "Draw":
        ok = t < 1.0
        target = "< 1 ms " + ("met" if ok else "NOT MET")
        if not ok:
            failed.append(name)
    elif parts[0] == "LiveEllipseMove":
        ok = t < 4.0
        target = "< 4 ms " + ("met" if ok else "NOT MET")
        if not ok:
            failed.append(name)
    peak = "%.0f" % b["peak_MB"] if "peak_MB" in b else ""
    print("%-28s %12.3f %12s %8s %8s  %s" % (name, t, floor, ratio, peak, target))
if failed:
    print("targets not met: " + ", ".join(failed))
    sys.exit(1)
