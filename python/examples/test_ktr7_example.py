"""An example pytest suite for the KTR-7 instrument, to copy and adapt.

Run it with   python3 -m pytest test_ktr7_example.py
(after installing the ktr7-sim package, or with PYTHONPATH set to the build
folder's python/ directory). It reads the airspeed at worked readings in
each unit, walks the main menu, and compares the LCD with a reference
picture from the ready scenarios.
"""
import os
from pathlib import Path

import pytest

import ktr7

# The ready scenarios' pictures: beside this file in the source tree, or where
# the package installs them. KTR7_PICTURES names another folder.
PICTURES = [Path(os.environ.get("KTR7_PICTURES", Path(__file__).resolve().parents[2] / "scenarios" / "pictures")),
            Path("/usr/share/ktr7-sim/scenarios/pictures")]


@pytest.fixture
def inst():
    """A fresh instrument of its own, switched on, closed after the test."""
    with ktr7.Instrument() as instrument:
        instrument.on()
        instrument.pass_()
        yield instrument


def press(inst, *keys):
    """A key is handled by the next pass and drawn by the one after it."""
    for key in keys:
        inst.key(key)
        inst.pass_(2)


def set_asi_unit_and_no_filter(inst, unit):
    """MAIN MENU > ASI SETUP: ASI UNIT (0 mph, 1 km/h, 2 kts), ASI FILTER NONE."""
    press(inst, "push", "cw", "cw", "push")
    press(inst, "cw", "push", *["cw"] * unit, "push")
    press(inst, "cw", "push", "ccw", "push")


# Airspeed is the square root of 21 x the reading in mph, nothing under 16,
# at most 250; km/h and knots are converted from the whole mph.
@pytest.mark.parametrize("reading, mph, kmh, kts", [
    (12, 0, 0, 0),
    (13, 16, 25, 13),
    (1000, 144, 231, 125),
    (2977, 250, 402, 217),
])
@pytest.mark.parametrize("unit", [0, 1, 2])
def test_airspeed(inst, unit, reading, mph, kmh, kts):
    set_asi_unit_and_no_filter(inst, unit)
    inst.asi_adc = reading
    inst.pass_()
    assert inst.state["airspeed"] == [mph, kmh, kts][unit]


def test_main_menu_entries(inst):
    press(inst, "push")
    assert inst.current_screen == "screen_main_menu"
    for entry in ["screen_alt_setup", "screen_vsi_setup", "screen_asi_setup", "screen_timers_setup"]:
        press(inst, "push")
        assert inst.current_screen == entry
        press(inst, "left", "cw")  # back to MAIN MENU, next entry
    press(inst, "left")
    assert inst.current_screen == "screen_main"


def test_main_menu_picture(inst):
    folder = next((p for p in PICTURES if (p / "setup_main_menu.png").exists()), None)
    if folder is None:
        pytest.skip("no reference pictures found")
    inst.altitude = 3250
    inst.asi_adc = 1000
    inst.wait(20)
    press(inst, "push")
    inst.expect_png(folder / "setup_main_menu.png")
