#!/usr/bin/env python3
"""The review page's figures: writes a made-up ten-hour glider flight as an
IGC log (one fix a second with the indicated airspeed: a tow, thermals and
glides, three dives past Vne, two moments under Vs1 in a turn, a landing), then
times ktr7-replay --flight on it with and without --report and prints the
sizes and the best of three runs of each, in time taken and processor time.

usage: review_figures.py [REPLAY_TOOL] [--keep FOLDER]
       (default tool: build/test's ktr7-replay; --keep leaves the log and the
       page in FOLDER)
"""
import os
import random
import resource
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
HOURS = 10
START = 8 * 3600
FIELD_M = 420.0
LATITUDE, LONGITUDE = 46.5, 7.5
RUNS = 3


def segments(rng):
    """(seconds, airspeed at the end in km/h, vertical speed m/s) for ten
    hours: each segment's airspeed ramps over its first 20 s (or the whole
    of a shorter one)."""
    out = []
    state = {"t": 0, "altitude": FIELD_M}

    def add(seconds, speed, climb):
        out.append((seconds, speed, climb))
        state["t"] += seconds
        state["altitude"] += climb * seconds

    landing = HOURS * 3600 - 900  # then a quarter of an hour on the ground
    dives = [int(h * 3600) for h in (2.5, 5.2, 7.9)]
    slow_turns = [int(h * 3600) for h in (3.7, 6.6)]
    add(300, 0, 0.0)     # on the ground
    add(40, 110, 0.0)    # the tow's roll
    add(600, 120, 2.5)   # the tow
    while state["t"] < landing - 2400:
        if dives and state["t"] >= dives[0]:
            dives.pop(0)
            add(30, 300, -6.0)   # a dive
            add(6, 370, -10.0)   # past Vne (354 km/h)
            add(30, 150, 2.0)    # pulled out
        climb = rng.uniform(0.8, 3.5)
        seconds = min(rng.randint(180, 480), max(60, int((FIELD_M + 2800 - state["altitude"]) / climb)))
        if slow_turns and state["t"] >= slow_turns[0]:
            # Too slow in a turn: two seconds under Vs1 (48 km/h), not the
            # three that would end the flight for the detection.
            slow_turns.pop(0)
            add(4, 42, climb)
            add(10, 90, climb)
        add(seconds, rng.randint(85, 95), climb)  # a thermal
        sink = rng.uniform(0.7, 1.8)
        seconds = min(rng.randint(300, 900), max(60, int((state["altitude"] - FIELD_M - 600) / sink)))
        add(seconds, rng.randint(110, 160), -sink)  # a glide
    glide = landing - state["t"] - 120
    add(glide, 110, -(state["altitude"] - FIELD_M - 60) / glide)  # the final glide
    add(90, 90, -60 / 90)  # the approach
    add(30, 0, 0.0)        # the roll
    add(HOURS * 3600 - state["t"], 0, 0.0)
    return out


def coordinate(value, width, positive, negative):
    thousandths = int(round(abs(value) * 60000))  # of a minute
    degrees, rest = divmod(thousandths, 60000)
    return f"{degrees:0{width}d}{rest:05d}{positive if value >= 0 else negative}"


def write_log(path):
    rng = random.Random(7)
    lines = ["AXXXKTR7LONGFLIGHT", "HFDTEDATE:150726,01", "HFPLTPILOTINCHARGE:A. Example",
             "HFGTYGLIDERTYPE:Demo 18", "HFGIDGLIDERID:D-KLNG", "HFDTM100GPSDATUM:WGS-1984", "I013638IAS"]
    altitude, longitude, speed_before, second = FIELD_M, LONGITUDE, 0.0, 0
    for seconds, speed_after, climb in segments(rng):
        for i in range(seconds):
            ias = speed_before + (speed_after - speed_before) * min(1.0, (i + 1) / min(seconds, 20))
            altitude = max(FIELD_M, altitude + climb + rng.uniform(-0.3, 0.3))
            longitude += ias / 3.6 / 76600.0
            t = START + second
            lines.append(f"B{t // 3600:02d}{t // 60 % 60:02d}{t % 60:02d}"
                         f"{coordinate(LATITUDE, 2, 'N', 'S')}{coordinate(longitude, 3, 'E', 'W')}A"
                         f"{int(round(altitude)):05d}{int(round(altitude)) + 48:05d}{int(round(ias)):03d}")
            second += 1
        speed_before = speed_after
    lines += ["LXXXMADE-UP TEN-HOUR FLIGHT FOR THE KTR-7 SIMULATOR", "GXXXNOSIGNATURE"]
    with open(path, "w", newline="") as out:
        out.write("\r\n".join(lines) + "\r\n")
    return second


def best_of(command):
    """The best of RUNS runs: the time taken and the processor time used
    (which a busy machine inflates less)."""
    best = None
    for _ in range(RUNS):
        used = resource.getrusage(resource.RUSAGE_CHILDREN)
        started = time.perf_counter()
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
        elapsed = time.perf_counter() - started
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        cpu = after.ru_utime + after.ru_stime - used.ru_utime - used.ru_stime
        best = (elapsed, cpu) if best is None else (min(best[0], elapsed), min(best[1], cpu))
    return best


def main():
    args = sys.argv[1:]
    keep = None
    if "--keep" in args:
        at = args.index("--keep")
        keep = args[at + 1]
        del args[at:at + 2]
    tool = args[0] if args else os.path.join(ROOT, "build", "test", "replay", "ktr7-replay")
    folder = keep or tempfile.mkdtemp(prefix="ktr7-review-figures-")
    os.makedirs(folder, exist_ok=True)
    log = os.path.join(folder, "ten_hours.igc")
    page = os.path.join(folder, "ten_hours.html")
    fixes = write_log(log)
    played = best_of([tool, "--flight", log])
    reported = best_of([tool, "--flight", log, "--report", page])
    print(f"log: {fixes} fixes, {os.path.getsize(log):,} bytes")
    print(f"--flight alone: {played[0]:.2f} s, {played[1]:.2f} s of processor (best of {RUNS})")
    print(f"--flight --report: {reported[0]:.2f} s, {reported[1]:.2f} s of processor (best of {RUNS}), "
          f"page {os.path.getsize(page):,} bytes")
    print(f"load average then: {os.getloadavg()[0]:.1f}")
    subprocess.run([tool, "--flight", log], check=True)
    if keep is None:
        for path in (log, page):
            os.remove(path)
        os.rmdir(folder)


if __name__ == "__main__":
    main()
