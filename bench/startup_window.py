#!/usr/bin/env python3
"""Time from process start to the main window shown (mapped on the display), and resident memory
after start, for `talvexchat` (with a 5000-record user database) and for HexChat, in the same run,
under Xvfb.

Run:  python3 bench/startup_window.py build/default/src/talvexchat

Neither program connects anywhere: talvexchat is pinned to a closed loopback port, HexChat gets a
throw-away config directory, no auto-connect and no session bus. Each program is started RUNS
times, interleaved; the median is reported. Targets: talvexchat within 1.3 x HexChat's time and
never over 400 ms; resident memory under 120 MB.
Exit status: 0 within the targets, 1 outside them, 2 when the run itself failed.
"""

import ctypes
import ctypes.util
import os
import shutil
import select
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import rss_headless  # noqa: E402  (the 5000-record database writer)

RUNS = 11
PACKAGES = ["xvfb", "hexchat"]


def ensure_packages():
    missing = [p for p in PACKAGES
               if "ok installed" not in subprocess.run(
                   ["dpkg-query", "-W", "-f=${Status}", p],
                   capture_output=True, text=True).stdout]
    if not missing:
        return
    sudo = [] if os.geteuid() == 0 else ["sudo"]
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    subprocess.run(sudo + ["apt-get", "install", "-y", "-qq", "--no-install-recommends"] + missing,
                   check=True, env=env, stdout=subprocess.DEVNULL)


class MapWatcher:
    """Notes the moment each top-level window is mapped on the display, by listening to the root
    window's substructure events: no polling, so the measured program has both cores."""

    MAP_NOTIFY = 19
    SUBSTRUCTURE_NOTIFY_MASK = 1 << 19

    def __init__(self, display):
        x = ctypes.CDLL(ctypes.util.find_library("X11"))
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        x.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                 ctypes.POINTER(ctypes.c_char_p)]
        x.XFree.argtypes = [ctypes.c_void_p]
        x.XFlush.argtypes = [ctypes.c_void_p]
        x.XPending.argtypes = [ctypes.c_void_p]
        x.XConnectionNumber.argtypes = [ctypes.c_void_p]
        x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        # A window gone before its name is read must not end this process.
        handler = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
        self._on_error = handler(lambda d, e: 0)
        x.XSetErrorHandler(self._on_error)
        self.x = x
        self.dpy = x.XOpenDisplay(display.encode())
        if not self.dpy:
            raise RuntimeError(f"cannot open display {display}")
        x.XSelectInput(self.dpy, x.XDefaultRootWindow(self.dpy), self.SUBSTRUCTURE_NOTIFY_MASK)
        x.XFlush(self.dpy)
        self.maps = []  # (monotonic time, window name)
        self.cond = threading.Condition()
        self.stopping = False
        self.thread = threading.Thread(target=self._run, daemon=True)
        self.thread.start()

    def _run(self):
        event = ctypes.create_string_buffer(192)  # sizeof(XEvent)
        fd = self.x.XConnectionNumber(self.dpy)
        while not self.stopping:
            if self.x.XPending(self.dpy) == 0:
                select.select([fd], [], [], 0.1)
                continue
            self.x.XNextEvent(self.dpy, event)
            now = time.monotonic()
            if ctypes.c_int.from_buffer(event, 0).value != self.MAP_NOTIFY:
                continue
            window = ctypes.c_ulong.from_buffer(event, 40).value  # XMapEvent.window
            raw = ctypes.c_char_p()
            name = ""
            if self.x.XFetchName(self.dpy, window, ctypes.byref(raw)) and raw.value is not None:
                name = raw.value.decode("utf-8", "replace")
                self.x.XFree(raw)
            with self.cond:
                self.maps.append((now, name))
                self.cond.notify_all()
        self.x.XCloseDisplay(self.dpy)

    def stop(self):
        """Lets go of the display before the X server goes away (Xlib would exit on that)."""
        self.stopping = True
        self.thread.join()

    def wait_for(self, title, since, timeout):
        """When a window named `title` was mapped after `since`, or None."""
        deadline = time.monotonic() + timeout
        with self.cond:
            while True:
                for when, name in self.maps:
                    if when >= since and name == title:
                        return when
                left = deadline - time.monotonic()
                if left <= 0:
                    return None
                self.cond.wait(min(left, 0.1))


def rss_kb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def measure(command, env, watcher, title):
    start = time.monotonic()
    proc = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, start_new_session=True)
    shown = None
    rss = 0
    try:
        mapped = watcher.wait_for(title, start, 20)
        if mapped is not None:
            shown = (mapped - start) * 1000
        time.sleep(1.0)
        rss = rss_kb(proc.pid) if proc.poll() is None else 0
    finally:
        if proc.poll() is None:
            os.killpg(proc.pid, signal.SIGTERM)
            try:
                proc.wait(5)
            except subprocess.TimeoutExpired:
                os.killpg(proc.pid, signal.SIGKILL)
                proc.wait()
    return shown, rss


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    program = os.path.abspath(sys.argv[1])
    ensure_packages()
    display = ":73"
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    work = tempfile.mkdtemp(prefix="tc-startup-")
    watchers = []
    try:
        time.sleep(1.0)
        watcher = MapWatcher(display)
        watchers.append(watcher)
        tc_dir = os.path.join(work, "talvex")
        os.makedirs(tc_dir)
        rss_headless.write_database(os.path.join(tc_dir, "DataBase.dat"), "talvexbot")
        hc_dir = os.path.join(work, "hexchat")
        os.makedirs(hc_dir)
        with open(os.path.join(hc_dir, "hexchat.conf"), "w") as f:
            f.write("gui_slist_skip = 1\n")
        base = {k: v for k, v in os.environ.items() if k not in ("WAYLAND_DISPLAY",)}
        # No session bus: nothing waits for one, and nothing is reachable through one.
        base.update(DISPLAY=display, XDG_RUNTIME_DIR=work, HOME=work, NO_AT_BRIDGE="1",
                    DBUS_SESSION_BUS_ADDRESS="disabled:")
        base.pop("QT_QPA_PLATFORM", None)
        # HexChat run by root never maps its main window, so as root both programs run as nobody.
        drop = []
        if os.geteuid() == 0:
            drop = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"]
            for root, dirs, files in os.walk(work):
                for name in dirs + files + [""]:
                    os.chown(os.path.join(root, name), 65534, 65534)
        tc_cmd = drop + [program, "--dir", tc_dir, "--server", "127.0.0.1:9"]
        hc_cmd = drop + ["hexchat", "--no-auto", "--no-plugins", "-d", hc_dir]
        tc_times, hc_times, tc_rss, hc_rss = [], [], [], []
        for _ in range(RUNS):  # interleaved, so both see the same machine
            t, r = measure(tc_cmd, base, watcher, "Talvex Chat 2000")
            tc_times.append(t)
            tc_rss.append(r)
            t, r = measure(hc_cmd, base, watcher, "HexChat")
            hc_times.append(t)
            hc_rss.append(r)
        shown = [t for t in tc_times if t is not None]
        if shown:
            print(f"talvexchat: window shown after {statistics.median(shown):.0f} ms "
                  f"(median of {len(shown)}), resident {max(tc_rss) / 1024:.1f} MB")
        if None in tc_times or None in hc_times:
            print("a window never appeared:", tc_times, hc_times)
            return 2
        tc_ms, hc_ms = statistics.median(tc_times), statistics.median(hc_times)
        tc_mb, hc_mb = max(tc_rss) / 1024, max(hc_rss) / 1024
        print(f"hexchat:    window shown after {hc_ms:.0f} ms (median of {RUNS}), "
              f"resident {hc_mb:.1f} MB")
        print("runs (ms): talvexchat " + " ".join(f"{t:.0f}" for t in tc_times) +
              "; hexchat " + " ".join(f"{t:.0f}" for t in hc_times))
        print(f"ratio: {tc_ms / hc_ms:.2f} (target <= 1.3), limit 400 ms, 120 MB")
        ok = tc_ms <= 1.3 * hc_ms and tc_ms <= 400 and tc_mb < 120
        return 0 if ok else 1
    finally:
        for w in watchers:
            w.stop()
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
