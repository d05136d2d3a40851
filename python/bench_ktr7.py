#!/usr/bin/python3
"""Speed of the Python module: what the binding adds to a pass, and reading the LCD.

    PYTHONPATH=build/NAME/python /usr/bin/python3 python/bench_ktr7.py

A pass from Python (one pass_() call per pass) is set against the same passes
run by one call (pass_(N): the C++ loop over run_pass, no Python between
passes), on the main display with serial output on, as bench/bench_ktr7.cpp's
run_pass/main_serial_on. Reading lcd (a view, no copy) is set against copying
it and against rgb(). Each figure is the best of 7 runs in processor time (as
Google Benchmark's CPU column), so other work on the machine counts little.
"""
import time
import timeit

import numpy as np

import ktr7

RUNS = 7
CALLS = 20000


def best(statement, number, **names):
    runs = timeit.repeat(statement, number=number, repeat=RUNS, globals=names, timer=time.process_time)
    return min(runs) / number


def serial_on(inst):
    """ALTITUDE SETUP, SERIAL OUT ON, and back to the main display."""
    for key in ["push", "push"] + ["cw"] * 5 + ["push", "cw", "push", "left", "left"]:
        inst.key(key)
        inst.pass_(2)
    assert inst.state["serial_out"] == 1 and inst.current_screen == "screen_main"


def main():
    with ktr7.Instrument() as inst:
        inst.on()
        inst.wait(20)  # inputs at 0, as the native benchmark has them
        serial_on(inst)
        per_call = best("inst.pass_()", CALLS, inst=inst)
        looped = best(f"inst.pass_({CALLS})", 1, inst=inst) / CALLS
        lcd = best("inst.lcd", CALLS, inst=inst)
        lcd_copy = best("np.array(inst.lcd)", CALLS, inst=inst, np=np)
        rgb = best("inst.rgb()", CALLS // 10, inst=inst)
        field = best('inst.state["airspeed"]', CALLS, inst=inst)
    rows = [
        ("pass_(), one call per pass (main display, serial output on)", per_call),
        (f"pass_({CALLS}) / {CALLS}: the same passes in one call", looped),
        ("what a call adds to a pass", per_call - looped),
        ("inst.lcd (a view of the instrument's LCD)", lcd),
        ("np.array(inst.lcd) (a copy, for comparison)", lcd_copy),
        ("inst.rgb() (through the palette)", rgb),
        ('inst.state["airspeed"]', field),
    ]
    for name, seconds in rows:
        print(f"{name:62s} {seconds * 1e6:8.2f} us")


if __name__ == "__main__":
    main()
