#!/usr/bin/env python3
"""Times how long the program takes from launch until its main window is
mapped on the X server, and how much resident memory it holds once settled.

Runs against an X server (the bench/startup script starts one with Xvfb).
The map is seen through X events, not by polling: xev watches the root
window's substructure and reports each MapNotify as the server sends it; the
moment its line arrives is the moment the window became visible.
"""

import os
import re
import select
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

MAP_RE = re.compile(rb"MapNotify event,[^\n]*\n\s*event 0x[0-9a-f]+, window (0x[0-9a-f]+),")
TITLE = "Chronodeck"


def window_title(window_id):
    out = subprocess.run(["xprop", "-id", window_id, "_NET_WM_NAME", "WM_NAME"],
                         capture_output=True, text=True, check=False).stdout
    return re.findall(r'= "(.*)"', out)


def start_watcher():
    # Unbuffered: xev ends an event's last line only when the next event
    # starts, so a line-buffered stream would hold the MapNotify back.
    watcher = subprocess.Popen(["stdbuf", "-o0", "xev", "-root", "-event", "substructure"],
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    # xev prints nothing until an event arrives; give it time to select input.
    time.sleep(0.3)
    return watcher


def one_run(program, settle_s, timeout_s):
    data_dir = tempfile.mkdtemp(prefix="chronodeck-startup-")
    # The program registers itself to start at logon; the entry goes into a
    # folder of the run's own, not the user's autostart folder.
    config_dir = tempfile.mkdtemp(prefix="chronodeck-config-")
    watcher = start_watcher()
    env = dict(os.environ)
    env["QT_QPA_PLATFORM"] = "xcb"
    env.pop("CHRONODECK_DATA_DIR", None)
    env.pop("QT_LOGGING_RULES", None)
    env["XDG_CONFIG_HOME"] = config_dir
    fd = watcher.stdout.fileno()
    buffer = b""
    searched = 0
    map_ms = None
    started = time.monotonic_ns()
    proc = subprocess.Popen([program, "--data-dir", data_dir], env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        deadline = time.monotonic() + timeout_s
        while map_ms is None:
            left = deadline - time.monotonic()
            if left <= 0 or proc.poll() is not None:
                break
            ready, _, _ = select.select([fd], [], [], left)
            if not ready:
                continue
            chunk = os.read(fd, 65536)
            arrived = time.monotonic_ns()
            if not chunk:
                break
            buffer += chunk
            for match in MAP_RE.finditer(buffer, searched):
                searched = match.end()
                if TITLE in window_title(match.group(1).decode()):
                    map_ms = (arrived - started) / 1e6
                    break
        rss_mb = None
        if map_ms is not None:
            time.sleep(settle_s)
            with open(f"/proc/{proc.pid}/status", encoding="ascii") as status:
                for line in status:
                    if line.startswith("VmRSS:"):
                        rss_mb = int(line.split()[1]) / 1024.0
        return map_ms, rss_mb
    finally:
        for p in (proc, watcher):
            if p.poll() is None:
                p.send_signal(signal.SIGTERM)
                try:
                    p.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()
        shutil.rmtree(data_dir, ignore_errors=True)
        shutil.rmtree(config_dir, ignore_errors=True)


def main():
    program = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    settle_s = float(os.environ.get("STARTUP_SETTLE_SECONDS", "5"))
    times, sizes = [], []
    for run in range(1, runs + 1):
        map_ms, rss_mb = one_run(program, settle_s, timeout_s=30)
        if map_ms is None or rss_mb is None:
            print(f"run {run}: the main window was never mapped", flush=True)
            return 1
        times.append(map_ms)
        sizes.append(rss_mb)
        print(f"run {run}: window mapped after {map_ms:7.1f} ms, "
              f"resident memory {rss_mb:6.1f} MB", flush=True)
    t, m = statistics.median(times), statistics.median(sizes)
    print(f"median over {runs} runs: {t:.1f} ms to the mapped window "
          f"(target < 100 ms: {'met' if t < 100 else 'missed'}), "
          f"{m:.1f} MB resident (target < 40 MB: {'met' if m < 40 else 'missed'})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
