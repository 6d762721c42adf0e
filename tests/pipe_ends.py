#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The batch between pipes a shell cannot make: `pipe_ends.py PROGRAM nonblocking` hands it
non-blocking pipes, as some event loops do, with a point that comes late and 5,000 rows
to a slow reader; `pipe_ends.py PROGRAM sigpipe` closes its output after the first line.
Prints the rows read and the program's status (-13 is SIGPIPE)."""

import fcntl
import os
import subprocess
import sys
import threading
import time

program, case = sys.argv[1], sys.argv[2]
points = b"0.5 1 1 .5 1\n" * 5000
if case == "nonblocking":
    read_in, write_in = os.pipe()
    read_out, write_out = os.pipe()
    for end in (read_in, write_out):
        fcntl.fcntl(end, fcntl.F_SETFL, fcntl.fcntl(end, fcntl.F_GETFL) | os.O_NONBLOCK)
    child = subprocess.Popen([program, "--batch"], stdin=read_in, stdout=write_out)
    os.close(read_in)
    os.close(write_out)

    def feed():
        time.sleep(0.5)
        with os.fdopen(write_in, "wb") as f:
            f.write(points)

    threading.Thread(target=feed).start()
    rows = 0
    with os.fdopen(read_out, "rb") as f:
        while chunk := f.read(4096):
            rows += chunk.count(b"\n")
            time.sleep(0.002)
else:
    # Python ignores SIGPIPE; the program gets the default, as from a shell.
    child = subprocess.Popen([program, "--batch"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                             restore_signals=True)

    def feed():
        try:
            child.stdin.write(points * 20)
            child.stdin.close()
        except BrokenPipeError:
            pass

    threading.Thread(target=feed).start()
    child.stdout.readline()
    child.stdout.close()
    rows = 1
print(f"{rows} rows, status {child.wait()}")
