#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Start-up time and resident memory of a Qt program beside a baseline program.

Runs both programs in turn on a private Xvfb server and, for each run, measures

  * start-up: from just before the program is launched until the X server reports that
    its top-level window is mapped (a MapNotify event on the root window for a window
    whose _NET_WM_PID is the program's process). The script waits on the X connection's
    file descriptor and reads the clock as the event arrives, so the resolution is the
    event delivery and wake-up latency, well under a millisecond; the figure includes the
    fork and exec of the program, which both programs pay alike.
  * memory: VmRSS from /proc/PID/status once it has settled after the window appeared
    (unchanged over 8 samples taken 25 ms apart, at most 5 s after mapping).

The runs alternate between the two programs (after one warm-up run each, not counted) so
that a change in the machine's load falls on both. The report gives the median of each
figure and the program's median divided by the baseline's.

Only the Python standard library is used; libX11 is reached through ctypes.
"""

import argparse
import ctypes
import ctypes.util
import os
import select
import shutil
import signal
import statistics
import subprocess
import sys
import time

# --- Xlib through ctypes ---------------------------------------------------------------

SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
MAP_NOTIFY = 19
XA_CARDINAL = 6


class XMapEvent(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("event", ctypes.c_ulong),
        ("window", ctypes.c_ulong),
        ("override_redirect", ctypes.c_int),
    ]


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xmap", XMapEvent), ("pad", ctypes.c_long * 24)]


ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)


def load_xlib():
    name = ctypes.util.find_library("X11") or "libX11.so.6"
    x = ctypes.CDLL(name)
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XDefaultRootWindow.restype = ctypes.c_ulong
    x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
    x.XConnectionNumber.argtypes = [ctypes.c_void_p]
    x.XPending.argtypes = [ctypes.c_void_p]
    x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(XEvent)]
    x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x.XInternAtom.restype = ctypes.c_ulong
    x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x.XGetWindowProperty.argtypes = [
        ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long,
        ctypes.c_int, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
        ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong),
        ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_void_p)]
    x.XFree.argtypes = [ctypes.c_void_p]
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x.XSetErrorHandler.argtypes = [ERROR_HANDLER]
    return x


class XWatcher:
    """Watches the root window of a display for top-level windows being mapped."""

    def __init__(self, display_name):
        self.x = load_xlib()
        # A window can vanish between its MapNotify and the property query; the default
        # handler would end the script on the resulting BadWindow.
        self._ignore_errors = ERROR_HANDLER(lambda display, error: 0)
        self.x.XSetErrorHandler(self._ignore_errors)
        self.dpy = self.x.XOpenDisplay(display_name.encode())
        if not self.dpy:
            raise RuntimeError(f"cannot open display {display_name}")
        self.root = self.x.XDefaultRootWindow(self.dpy)
        self.x.XSelectInput(self.dpy, self.root, SUBSTRUCTURE_NOTIFY_MASK)
        self.x.XSync(self.dpy, 0)
        self.fd = self.x.XConnectionNumber(self.dpy)
        self.pid_atom = self.x.XInternAtom(self.dpy, b"_NET_WM_PID", 0)

    def drain(self):
        self.x.XSync(self.dpy, 0)
        event = XEvent()
        while self.x.XPending(self.dpy):
            self.x.XNextEvent(self.dpy, ctypes.byref(event))

    def window_pid(self, window):
        actual_type = ctypes.c_ulong()
        actual_format = ctypes.c_int()
        items = ctypes.c_ulong()
        after = ctypes.c_ulong()
        data = ctypes.c_void_p()
        status = self.x.XGetWindowProperty(
            self.dpy, window, self.pid_atom, 0, 1, 0, XA_CARDINAL, ctypes.byref(actual_type),
            ctypes.byref(actual_format), ctypes.byref(items), ctypes.byref(after),
            ctypes.byref(data))
        pid = None
        if status == 0 and data.value:
            if actual_format.value == 32 and items.value == 1:
                pid = ctypes.cast(data, ctypes.POINTER(ctypes.c_long))[0]
            self.x.XFree(data)
        return pid

    def wait_for_map(self, child, timeout):
        """Returns the monotonic time in ns at which a window of the process `child` was
        mapped."""
        deadline = time.monotonic() + timeout
        event = XEvent()
        while True:
            while self.x.XPending(self.dpy):
                self.x.XNextEvent(self.dpy, ctypes.byref(event))
                now = time.monotonic_ns()
                if (event.type == MAP_NOTIFY and not event.xmap.override_redirect
                        and self.window_pid(event.xmap.window) == child.pid):
                    return now
            if child.poll() is not None:
                raise RuntimeError(f"process {child.pid} ended with status {child.returncode} "
                                   "before it mapped a window")
            left = deadline - time.monotonic()
            if left <= 0:
                raise TimeoutError(f"no window of process {child.pid} mapped within {timeout} s")
            # An event wakes the wait at once; the time limit only bounds how late an early
            # exit of the program is noticed.
            select.select([self.fd], [], [], min(left, 0.05))

    def close(self):
        self.x.XCloseDisplay(self.dpy)


# --- Measurement -----------------------------------------------------------------------


def start_xvfb():
    if not shutil.which("Xvfb"):
        sys.exit("Xvfb is not installed")
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
         "-nolisten", "tcp", "-noreset"],
        pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    while not number.endswith(b"\n"):
        ready, _, _ = select.select([read_end], [], [], 10)
        chunk = os.read(read_end, 16) if ready else b""
        if not chunk:
            server.kill()
            sys.exit("Xvfb did not start")
        number += chunk
    os.close(read_end)
    return server, ":" + number.decode().strip()


def vm_rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise RuntimeError(f"no VmRSS for process {pid}")


def settled_rss_kib(pid, interval=0.025, stable_samples=8, limit=5.0):
    deadline = time.monotonic() + limit
    last = vm_rss_kib(pid)
    same = 0
    while same < stable_samples and time.monotonic() < deadline:
        time.sleep(interval)
        now = vm_rss_kib(pid)
        same = same + 1 if now == last else 0
        last = now
    return last


def run_once(program, watcher, env, timeout):
    watcher.drain()
    start = time.monotonic_ns()
    child = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL,
                             stderr=subprocess.PIPE)
    try:
        mapped = watcher.wait_for_map(child, timeout)
        if child.poll() is not None:
            raise RuntimeError(f"{program} ended during the measurement")
        rss = settled_rss_kib(child.pid)
    except Exception:
        child.kill()
        _, err = child.communicate()
        sys.stderr.write(err.decode(errors="replace"))
        raise
    child.send_signal(signal.SIGTERM)
    try:
        child.communicate(timeout=5)
    except subprocess.TimeoutExpired:
        child.kill()
        child.communicate()
    return (mapped - start) / 1e6, rss


def summary(name, times, rss):
    return (f"{name:<10} start-up median {statistics.median(times):8.2f} ms "
            f"(min {min(times):.2f}, max {max(times):.2f}); "
            f"VmRSS median {statistics.median(rss) / 1024:7.2f} MiB "
            f"(min {min(rss) / 1024:.2f}, max {max(rss) / 1024:.2f})")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--program", required=True, help="the program to measure")
    parser.add_argument("--baseline", required=True, help="the program to compare it with")
    parser.add_argument("--runs", type=int, default=10, help="counted runs of each (10)")
    parser.add_argument("--timeout", type=float, default=20.0,
                        help="seconds to wait for a window (20)")
    parser.add_argument("--max-ratio", type=float,
                        help="exit with status 1 if either median ratio exceeds this")
    args = parser.parse_args()
    if args.runs < 1:
        parser.error("--runs must be at least 1")
    for path in (args.program, args.baseline):
        if not os.access(path, os.X_OK):
            parser.error(f"{path} is not an executable file")

    server, display = start_xvfb()
    try:
        watcher = XWatcher(display)
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("QT_", "WAYLAND_", "XDG_SESSION"))}
        # Without a session bus libdbus would fork dbus-launch in the background of every
        # run; an address that fails at once keeps that out of the figures.
        env.update(DISPLAY=display, QT_QPA_PLATFORM="xcb",
                   DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent/bus")
        env.pop("XAUTHORITY", None)
        results = {"program": ([], []), "baseline": ([], [])}
        for warm_up in (args.baseline, args.program):
            run_once(warm_up, watcher, env, args.timeout)
        for i in range(args.runs):
            order = ["baseline", "program"] if i % 2 == 0 else ["program", "baseline"]
            for which in order:
                ms, kib = run_once(getattr(args, which), watcher, env, args.timeout)
                results[which][0].append(ms)
                results[which][1].append(kib)
        watcher.close()
    finally:
        server.terminate()
        server.wait()

    (p_times, p_rss), (b_times, b_rss) = results["program"], results["baseline"]
    time_ratio = statistics.median(p_times) / statistics.median(b_times)
    rss_ratio = statistics.median(p_rss) / statistics.median(b_rss)
    print(f"{args.runs} runs each on Xvfb {display}, load average "
          f"{os.getloadavg()[0]:.2f} at the end")
    print(summary("baseline", b_times, b_rss) + f"  [{args.baseline}]")
    print(summary("program", p_times, p_rss) + f"  [{args.program}]")
    print(f"ratio      start-up {time_ratio:.3f}x   VmRSS {rss_ratio:.3f}x")
    if args.max_ratio is not None and max(time_ratio, rss_ratio) > args.max_ratio:
        print(f"over the limit of {args.max_ratio:.3f}x")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
