#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""What a figure costs in presses: instructions under callgrind, and time.

Instructions: the inclusive cost of the calls to MakeFigure, FigureSvg and
Command1_Click, each divided by its calls. Time: the fastest of interleaved
repetitions of FigureOfPress and WholePress, since a shared machine only ever
adds to a run's time.

    python3 bench/figure_presses.py build-rel/bench/press_bench
"""
import json
import re
import subprocess
import sys
import tempfile
from collections import defaultdict

bench = sys.argv[1]
functions = {
    "MakeFigure": r"rms::MakeFigure\(",
    "FigureSvg": r"rms::FigureSvg\(",
    "Command1_Click": r"rms::Calculator::Command1_Click\(\)",
}

with tempfile.NamedTemporaryFile(suffix=".callgrind") as out:
    subprocess.run(["valgrind", "--tool=callgrind", f"--callgrind-out-file={out.name}", bench,
                    "--benchmark_filter=FigureOfPress|WholePress", "--benchmark_min_time=0.3"],
                   check=True, capture_output=True)
    lines = open(out.name).read().split("\n")

names, cost, calls, callee = {}, defaultdict(int), defaultdict(int), None
for i, line in enumerate(lines):
    if m := re.match(r"c?fn=\((\d+)\)(?: (.*))?", line):
        if m.group(2):
            names[m.group(1)] = m.group(2)
        callee = names.get(m.group(1), "") if line.startswith("cfn") else None
    elif line.startswith("calls=") and callee is not None:
        for key, pattern in functions.items():
            if re.match(pattern, callee):  # not a lambda or template named after it
                calls[key] += int(line.split("=")[1].split()[0])
                cost[key] += int(lines[i + 1].split()[1])
each = {key: cost[key] / calls[key] for key in functions if calls[key]}
figure = each["MakeFigure"] + each["FigureSvg"]
print(f"instructions: layout {each['MakeFigure']:.0f}, writing {each['FigureSvg']:.0f}, "
      f"press {each['Command1_Click']:.0f}: {figure / each['Command1_Click']:.2f} presses")

run = subprocess.run([bench, "--benchmark_filter=WholePress|Figure", "--benchmark_repetitions=30",
                      "--benchmark_enable_random_interleaving=true", "--benchmark_min_time=0.05",
                      "--benchmark_format=json"], check=True, capture_output=True, text=True)
fastest = {}
for row in json.loads(run.stdout)["benchmarks"]:
    if row.get("run_type") == "iteration":
        fastest[row["name"]] = min(fastest.get(row["name"], float("inf")), row["cpu_time"])
press = fastest["WholePress"]
print("time: " + ", ".join(f"{name} {ns:.0f} ns ({ns / press:.2f})"
                           for name, ns in sorted(fastest.items())))
