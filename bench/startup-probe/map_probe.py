#!/usr/bin/env python3
"""Times how long the program takes from launch until its main window is
mapped on the X server, and how much memory it holds once settled, against
a bare Qt Widgets window of the same shape measured alternately in the same
run on the same X server and session bus.

Runs against an X server (the bench/startup script starts one with Xvfb and
a session bus with dbus-run-session). The map is seen through X events, not
by polling: xev watches the root window's substructure and reports each
MapNotify as the server sends it; the moment its line arrives is the moment
the window became visible.

Three kinds of start of the program:
  ordinary     over a copy of a folder that the program's own exit command
               left behind (compacted, with the note that spares the next
               start the full check of the file): the start after a normal day
  first        over an empty folder: database and settings are created
  after kill   over the folder a first start left when it was killed
               (SIGTERM, which the program does not catch): stale lock, no
               note, so the file is checked page by page
"""

import argparse
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
PROGRAM_TITLE = "Chronodeck"
REFERENCE_TITLE = "Bare reference window"


def window_title(window_id):
    out = subprocess.run(["xprop", "-id", window_id, "_NET_WM_NAME", "WM_NAME"],
                         capture_output=True, text=True, check=False).stdout
    return re.findall(r'= "(.*)"', out)


def start_watcher():
    # Unbuffered: xev ends an event's last line only when the next event
    # starts, so a line-buffered stream would hold the MapNotify back.
    watcher = subprocess.Popen(["stdbuf", "-o0", "xev", "-root", "-event", "substructure",
                                "-event", "property"],
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    # xev prints nothing until an event arrives, and a map it has not yet
    # asked for is never reported: a property of the root window is changed
    # until xev reports it, so the watcher is known to listen.
    fd = watcher.stdout.fileno()
    seen = b""
    deadline = time.monotonic() + 10
    while b"PropertyNotify" not in seen:
        if watcher.poll() is not None or time.monotonic() > deadline:
            watcher.kill()
            _, err = watcher.communicate()
            raise RuntimeError("xev does not report events of the root window: "
                               + err.decode(errors="replace").strip())
        subprocess.run(["xprop", "-root", "-f", "CHRONODECK_PROBE", "8s", "-set",
                        "CHRONODECK_PROBE", "ready"], check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        ready, _, _ = select.select([fd], [], [], 0.05)
        if ready:
            seen += os.read(fd, 65536)
    return watcher


def memory_mb(pid):
    """Resident and proportional set size in MB."""
    rss = pss = None
    with open(f"/proc/{pid}/status", encoding="ascii") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                rss = int(line.split()[1]) / 1024.0
    try:
        with open(f"/proc/{pid}/smaps_rollup", encoding="ascii") as rollup:
            for line in rollup:
                if line.startswith("Pss:"):
                    pss = int(line.split()[1]) / 1024.0
    except OSError:
        pass
    return rss, pss


def one_run(command, title, settle_s, timeout_s=30):
    """Launches `command`, returns (ms to the mapped window, rss, pss); the
    memory only when settle_s is given."""
    watcher = start_watcher()
    env = dict(os.environ)
    env["QT_QPA_PLATFORM"] = "xcb"
    env.pop("CHRONODECK_DATA_DIR", None)
    env.pop("QT_LOGGING_RULES", None)
    # The program registers itself to start at logon; the entry goes into a
    # folder of the run's own, not the user's autostart folder.
    config_dir = tempfile.mkdtemp(prefix="chronodeck-config-")
    env["XDG_CONFIG_HOME"] = config_dir
    fd = watcher.stdout.fileno()
    buffer = b""
    searched = 0
    map_ms = None
    started = time.monotonic_ns()
    proc = subprocess.Popen(command, env=env,
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
                if any(title in t for t in window_title(match.group(1).decode())):
                    map_ms = (arrived - started) / 1e6
                    break
        rss = pss = None
        if map_ms is not None and settle_s:
            time.sleep(settle_s)
            rss, pss = memory_mb(proc.pid)
        return map_ms, rss, pss
    finally:
        for p in (proc, watcher):
            if p.poll() is None:
                p.send_signal(signal.SIGTERM)
                try:
                    p.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()
        shutil.rmtree(config_dir, ignore_errors=True)


def fresh_folder():
    return tempfile.mkdtemp(prefix="chronodeck-startup-")


def seeded_folder(seed_program):
    folder = fresh_folder()
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    subprocess.run([seed_program, folder], env=env, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    names = sorted(os.listdir(folder))
    if "CDKDatabase.cdkd" not in names or ".CDKDatabase.cdkd.verified" not in names:
        raise RuntimeError(f"the seeded folder holds {names}, not a cleanly closed database")
    # A user who syncs: the window starts its first sync after it is up,
    # against a server that is not there (nothing listens on port 9).
    with open(os.path.join(folder, "settings.ini"), "a", encoding="utf-8") as settings:
        settings.write("\n[Sync]\nServer=http://127.0.0.1:9/\nUser=me\n"
                       "Collection=http://127.0.0.1:9/me/tasks/\n")
    return folder


def ratio_line(what, program, reference, goal=None):
    ratio = program / reference
    line = (f"{what:<22} program {program:8.1f}   reference {reference:8.1f}   "
            f"ratio {ratio:5.2f}x")
    if goal is not None:
        line += f" (goal <= {goal:.2f}x: {'met' if ratio <= goal else 'MISSED'})"
    return line


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("reference")
    parser.add_argument("seed")
    parser.add_argument("runs", type=int, nargs="?", default=7)
    args = parser.parse_args()
    settle_s = float(os.environ.get("STARTUP_SETTLE_SECONDS", "5"))

    seed = seeded_folder(args.seed)
    folders = [seed]
    times = {"reference": [], "ordinary": [], "first": [], "after kill": []}
    rss = {"reference": [], "program": []}
    pss = {"reference": [], "program": []}

    def record(kind, result, memory_of=None):
        map_ms, r, p = result
        if map_ms is None:
            raise RuntimeError(f"{kind}: the window was never mapped")
        times[kind].append(map_ms)
        text = f"{kind:<11} {map_ms:7.1f} ms"
        if memory_of:
            rss[memory_of].append(r)
            pss[memory_of].append(p if p is not None else r)
            text += f", {r:6.1f} MB resident, {pss[memory_of][-1]:6.1f} MB proportional"
        return text

    try:
        for run in range(1, args.runs + 1):
            lines = []
            # The reference and the program take turns, so that a slower
            # moment of the machine weighs on both.
            lines.append(record("reference", one_run([args.reference], REFERENCE_TITLE, settle_s),
                                "reference"))
            ordinary = fresh_folder()
            folders.append(ordinary)
            shutil.copytree(seed, ordinary, dirs_exist_ok=True)  # keeps the times of the files
            lines.append(record("ordinary", one_run([args.program, "--data-dir", ordinary],
                                                    PROGRAM_TITLE, settle_s), "program"))
            lines.append(record("reference", one_run([args.reference], REFERENCE_TITLE, 0)))
            first = fresh_folder()
            folders.append(first)
            lines.append(record("first", one_run([args.program, "--data-dir", first],
                                                 PROGRAM_TITLE, 0)))
            lines.append(record("after kill", one_run([args.program, "--data-dir", first],
                                                      PROGRAM_TITLE, 0)))
            print(f"run {run}: " + "; ".join(lines), flush=True)
    finally:
        for folder in folders:
            shutil.rmtree(folder, ignore_errors=True)

    med = {kind: statistics.median(values) for kind, values in times.items()}
    print(f"medians over {args.runs} runs (times in ms to the mapped window, "
          f"memory in MB {settle_s:g} s after it):")
    print(ratio_line("ordinary start", med["ordinary"], med["reference"], 1.05))
    print(ratio_line("first start", med["first"], med["reference"], 1.25))
    print(ratio_line("start after a kill", med["after kill"], med["reference"]))
    print(ratio_line("resident memory (RSS)", statistics.median(rss["program"]),
                     statistics.median(rss["reference"]), 1.25))
    print(ratio_line("proportional (PSS)", statistics.median(pss["program"]),
                     statistics.median(pss["reference"])))
    return 0


if __name__ == "__main__":
    sys.exit(main())
