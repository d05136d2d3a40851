"""The Python module ktr7 against the instrument: inputs and their refusals,
airspeed readings, a menu walk, pictures, the LCD view, two instruments at
once, sentences, the state record and scenarios run as ktr7-replay runs them;
the tests that apply to a live window also against ktr7-sim --control through
ktr7.connect, and the window's control socket fed junk."""
import collections.abc
import os
import re
import signal
import socket
import subprocess
import threading
import time
from pathlib import Path

import numpy as np
import pytest

import ktr7

SOURCE = Path(os.environ.get("KTR7_SOURCE_DIR", Path(__file__).resolve().parents[2]))
GALLERY = SOURCE / "docs" / "screens"
READY = SOURCE / "scenarios"
# Scenarios with ktr7-replay's output beside them: NAME.expected (standard
# output), NAME.stderr, NAME.status.
GOLDEN = SOURCE / "tests" / "scenarios"
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"
# The window program, where the build has one (CTest names it).
WINDOW = os.environ.get("KTR7_SIM")
# How long the window may take to start listening, and to answer a raw line.
WINDOW_START_S = 60
ANSWER_S = 10


@pytest.fixture
def inst():
    with ktr7.Instrument() as instrument:
        yield instrument


@pytest.fixture
def running(inst):
    inst.on()
    inst.pass_()
    return inst


@pytest.fixture(scope="module")
def window_socket(tmp_path_factory):
    """A live window, ktr7-sim --control SOCKET on the test's display, for this module's tests."""
    if not WINDOW:
        pytest.skip("no window built (KTR7_SIM is not set)")
    path = tmp_path_factory.mktemp("control") / "ktr7.sock"
    window = subprocess.Popen([WINDOW, "--control", str(path)], stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    stuck = threading.Timer(WINDOW_START_S, window.kill)
    stuck.start()
    said = []
    for line in window.stderr:
        said.append(line)
        if line.rstrip("\n") == f"ktr7-sim: control socket {path}":
            break
    stuck.cancel()
    if window.poll() is not None or not said or not said[-1].startswith("ktr7-sim: control socket"):
        window.kill()
        pytest.fail(f"ktr7-sim did not listen: {''.join(said)}")
    # What it says later must not fill the pipe and stop it.
    threading.Thread(target=lambda: [None for _ in window.stderr], daemon=True).start()
    yield path
    window.terminate()
    window.wait(ANSWER_S)


@pytest.fixture(params=["instrument", "window"])
def either(request):
    """An Instrument, or the live window through ktr7.connect: off, its inputs
    at zero and the sensor working, as at program start."""
    if request.param == "instrument":
        with ktr7.Instrument() as instrument:
            yield instrument
        return
    with ktr7.connect(request.getfixturevalue("window_socket")) as window:
        window.off()
        window.altitude = window.vertical_speed = window.asi_adc = 0
        window.sensor_ok = True
        yield window


@pytest.fixture
def either_running(either):
    either.on()
    either.pass_()
    return either


def press(inst, *keys):
    """Each key, then two passes: the first handles it, the second draws its effect."""
    for key in keys:
        inst.key(key)
        inst.pass_(2)


def test_version_is_the_projects():
    project = re.search(r"project\(\w+ VERSION ([\d.]+)", (SOURCE / "CMakeLists.txt").read_text()).group(1)
    assert ktr7.__version__ == project


@pytest.mark.parametrize("via", ["property", "state"])
@pytest.mark.parametrize("name, value, refusal", [
    ("altitude", 0, None),
    ("altitude", 65535, None),
    ("altitude", -1, "altitude: value -1 outside 0..65535"),
    ("altitude", 65536, "altitude: value 65536 outside 0..65535"),
    ("vertical_speed", -6000, None),
    ("vertical_speed", 6000, None),
    ("vertical_speed", -6001, "vsi: value -6001 outside -6000..6000"),
    ("vertical_speed", 6001, "vsi: value 6001 outside -6000..6000"),
    ("asi_adc", 0, None),
    ("asi_adc", 4096, None),
    ("asi_adc", -1, "asi: value -1 outside 0..4096"),
    ("asi_adc", 4097, "asi: value 4097 outside 0..4096"),
    ("asi_adc", 2**64, "asi: value 18446744073709551616 outside 0..4096"),
])
def test_inputs_take_the_languages_ranges(either, via, name, value, refusal):
    inst = either
    before = 123

    def write(v):
        if via == "property":
            setattr(inst, name, v)
        else:
            inst.state[name] = v

    write(before)
    if refusal is None:
        write(value)
        assert getattr(inst, name) == value == inst.state[name]
        assert ktr7.INPUT_RANGES[name][0] <= value <= ktr7.INPUT_RANGES[name][1]
    else:
        with pytest.raises(ValueError) as refused:
            write(value)
        assert str(refused.value) == refusal
        assert getattr(inst, name) == before


@pytest.mark.parametrize("call, error, message", [
    (lambda i: setattr(i, "altitude", 1.0), TypeError, "an int is needed, not float"),
    (lambda i: setattr(i, "asi_adc", True), TypeError, "an int is needed, not bool"),
    (lambda i: i.key("up"), ValueError, 'key: unknown key "up" (left, right, push, cw, ccw)'),
    (lambda i: i.key(""), ValueError, "key: missing key (left, right, push, cw, ccw)"),
    (lambda i: i.tick(-1), ValueError, "tick: count -1 outside 0..1000000000"),
    (lambda i: i.tick(1000000001), ValueError, "tick: count 1000000001 outside 0..1000000000"),
    (lambda i: i.wait(-1), ValueError, "wait: count -1 outside 0..1000000000"),
    (lambda i: i.pass_(), RuntimeError, 'pass: the instrument is off (switch it on with "on")'),
    (lambda i: i.wait(1), RuntimeError, 'wait: the instrument is off (switch it on with "on")'),
    (lambda i: i.png("x.png", 0), ValueError, "png: scale 0 outside 1..8"),
    (lambda i: i.png("x.png", 9), ValueError, "png: scale 9 outside 1..8"),
    (lambda i: i.state["nonsense"], KeyError, 'print: unknown name "nonsense"'),
    (lambda i: i.state.__setitem__("qnh", 1013000), TypeError, 'state["qnh"] is read-only'),
    (lambda i: i.expect_png("/nonexistent/x.png"), OSError, 'expect png: reference "/nonexistent/x.png"'),
    (lambda i: i.fly(-1), ValueError, "fly: seconds -1 outside 0..100000000"),
    (lambda i: i.fly(100000001), ValueError, "fly: seconds 100000001 outside 0..100000000"),
    (lambda i: i.fly("soon"), ValueError, 'fly: malformed number "soon"'),
    (lambda i: i.fly(1), RuntimeError, 'fly: the instrument is off (switch it on with "on")'),
    (lambda i: (i.on(), i.fly(1)), RuntimeError, "fly: no flight loaded"),
    (lambda i: i.load_flight("/nonexistent/x.igc"), FileNotFoundError, "[Errno 2] No such file or directory"),
    (lambda i: i.load_flight(SOURCE / "README.md"), ValueError, f"flight: {SOURCE / 'README.md'}: it is not a flight log"),
    (lambda i: i.load_flight(os.devnull), ValueError, f"flight: {os.devnull}: it is empty"),
    (lambda i: (i.close(), i.on()), RuntimeError, "this Instrument is closed"),
    (lambda i: (i.close(), i.state["qnh"]), RuntimeError, "this Instrument is closed"),
])
def test_refusals_are_exceptions_with_the_languages_messages(inst, call, error, message):
    with pytest.raises(error) as refused:
        call(inst)
    text = str(refused.value) if error is FileNotFoundError else refused.value.args[0]
    assert text.startswith(message)


@pytest.mark.parametrize("call", [lambda i: i.wait(10**9), lambda i: i.fly(10**8)], ids=["wait", "fly"])
def test_ctrl_c_interrupts_a_long_call_within_a_second(running, call):
    running.load_flight(SOURCE / "scenarios" / "flights" / "example.igc")
    # Ctrl+C from another process a fifth of a second in: the call holds
    # Python's lock, so no thread of this one could send it. Were it not
    # interrupted, the alarm's default action would end the run in 5 s.
    start = time.monotonic()
    ctrl_c = subprocess.Popen(["sh", "-c", f"sleep 0.2; kill -INT {os.getpid()}"])
    signal.alarm(5)
    try:
        with pytest.raises(KeyboardInterrupt):
            call(running)  # hours of ticks
    finally:
        signal.alarm(0)
        ctrl_c.wait()
    assert time.monotonic() - start < 0.2 + 1.0
    running.pass_()  # and the instrument goes on


def asi_setup(inst, unit):
    """MAIN MENU, ASI SETUP: the unit (0 mph, 1 km/h, 2 kts) and filter NONE."""
    press(inst, "push", "cw", "cw", "push")
    assert inst.current_screen == "screen_asi_setup"
    press(inst, "cw", "push", *["cw"] * unit, "push")
    press(inst, "cw", "push", "ccw", "push")
    assert (inst.state["asi_unit"], inst.state["asi_filter"]) == (unit, 0)


@pytest.mark.parametrize("reading, mph, kmh, kts", [
    (0, 0, 0, 0),
    (12, 0, 0, 0),
    (13, 16, 25, 13),
    (100, 45, 72, 39),
    (1000, 144, 231, 125),
    (2000, 204, 328, 177),
    (2976, 249, 400, 216),
    (2977, 250, 402, 217),
    (4096, 250, 402, 217),
])
def test_airspeed_worked_numbers(running, reading, mph, kmh, kts):
    for unit, expected in enumerate([mph, kmh, kts]):
        running.asi_adc = 0  # no overspeed alarm, whose first key only acknowledges it
        running.on()
        asi_setup(running, unit)
        running.asi_adc = reading
        running.pass_()
        assert (running.state["airspeed"], running.state["airspeed_mph"]) == (expected, mph)


def test_factory_filter_settles_on_the_reading(running):
    """FAST from an empty accumulator, reading 1000: 102, 125, 135, 140, 142, 143 mph, then 144."""
    running.asi_adc = 1000
    seen = []
    for _ in range(8):
        running.pass_()
        seen.append(running.state["airspeed"])
    assert seen[:6] == [102, 125, 135, 140, 142, 143] and seen[-1] == 144


# Each row's key goes on from where the row before left the instrument.
MENU_WALK = [
    ("push", "screen_main_menu", 0),
    ("cw", "screen_main_menu", 1),
    ("cw", "screen_main_menu", 2),
    ("push", "screen_asi_setup", 0),
    ("left", "screen_main_menu", 2),
    ("ccw", "screen_main_menu", 1),
    ("push", "screen_vsi_setup", 0),
    ("left", "screen_main_menu", 1),
    ("ccw", "screen_main_menu", 0),
    ("ccw", "screen_main_menu", 5),
    ("push", "screen_adc_values", 0),
]


def test_menu_walk(either_running):
    running = either_running
    for step, (key, screen, cursor) in enumerate(MENU_WALK):
        press(running, key)
        assert (running.current_screen, running.state["menu_cursor"]) == (screen, cursor), f"step {step}: {key}"


def test_second_key_before_a_pass_is_lost(running):
    running.key("push")
    running.key("right")
    assert running.state["pending_key"] == 3
    running.pass_(2)
    assert running.current_screen == "screen_main_menu"


@pytest.mark.parametrize("inputs, keys, picture", [
    ((3250, 0, 0), [], "main_level.png"),
    ((3250, -400, 0), [], "main_descend.png"),
    ((4500, 0, 1000), ["cw", "cw"], "main_qnh_1015.png"),
])
def test_lcd_equals_gallery_picture(either_running, tmp_path, inputs, keys, picture):
    running = either_running
    running.altitude, running.vertical_speed, running.asi_adc = inputs
    running.wait(20)
    press(running, *keys)
    # A copy, so that a mismatch leaves its pictures in the test's folder.
    reference = tmp_path / picture
    reference.write_bytes((GALLERY / picture).read_bytes())
    running.expect_png(reference)
    assert running.differing_pixels(reference) == 0


def test_a_differing_picture_fails_with_its_report(running, tmp_path):
    running.png(tmp_path / "before.png", 2)
    running.expect_png(tmp_path / "before.png")
    running.asi_adc = 1000
    running.pass_()
    changed = running.differing_pixels(tmp_path / "before.png")
    assert changed > 0
    with pytest.raises(AssertionError, match=f"{changed} pixels differ"):
        running.expect_png(tmp_path / "before.png")
    assert (tmp_path / "before.actual.png").exists() and (tmp_path / "before.diff.png").exists()
    assert running._repr_png_().startswith(PNG_SIGNATURE)


def test_lcd_is_a_view_of_the_instruments_frame(running):
    lcd = running.lcd
    assert lcd.shape == (ktr7.LCD_HEIGHT, ktr7.LCD_WIDTH) == (128, 160) and lcd.dtype == np.uint8
    assert lcd.base is running and not lcd.flags.writeable
    assert np.shares_memory(lcd, running.lcd)
    before = lcd.copy()
    running.asi_adc = 2000
    running.pass_()
    assert not np.array_equal(before, lcd)  # the same array shows the new pass
    with pytest.raises(ValueError):
        lcd[0, 0] = 1


def test_rgb_is_the_lcd_through_the_palette(running):
    rgb, lcd = running.rgb(), running.lcd
    assert rgb.shape == (128, 160, 3)
    for index, colour in [(0, (0, 0, 0)), (15, (255, 255, 255))]:
        assert (lcd == index).any()
        assert (rgb[lcd == index] == colour).all()


# Font 12's K is 15 wide, MAIN MENU in font 8 ends at 158 (right-aligned).
MAIN_MENU_TEXTS = [
    ktr7.Text("K", 0, 0, 0, 16, 12, "left", 9, "highlight"),
    ktr7.Text("ova", 15, 0, 15, 56, 12, "left", 15, "text"),
    ktr7.Text("MAIN MENU", 158, 0, 72, 158, 8, "right", 9, "highlight"),
]


def test_texts_are_the_strings_in_reading_order(either_running):
    inst = either_running
    press(inst, "push")
    # The live window's print text gives neither x, end_x nor align.
    live = isinstance(inst, ktr7.LiveWindow)
    assert inst.texts[:3] == [t._replace(x=None, end_x=None, align=None) if live else t for t in MAIN_MENU_TEXTS]
    assert [(t.text, t.start_x, t.y, t.role) for t in inst.texts[3:]] == [
        ("ALT", 88, 50, "text"), ("SETUP", 73, 68, "text"), ("EXIT", 9, 112, "text")]
    assert inst.text == "K ova MAIN MENU ALT SETUP EXIT" and "ALT SETUP" in inst.text


def test_texts_as_print_text_shows_them(inst):
    assert (inst.texts, inst.text) == ([], "")  # program start: nothing drawn
    result = inst.run_scenario("on\nwait 2\nkey push\npass 2\nexpect text ALT SETUP\nprint text\n")
    assert result.ok and [t.align for t in inst.texts[3:]] == ["centre"] * 3
    assert result.output[:-1] == [f'"{t.text}" at {t.start_x} {t.y} size {t.size} {t.role}' for t in inst.texts]


def gif_blocks(data):
    """A GIF's frames read by its block structure alone: (delay in hundredths, left, top, width, height)."""
    assert data[:6] == b"GIF89a"
    width, height, packed = int.from_bytes(data[6:8], "little"), int.from_bytes(data[8:10], "little"), data[10]
    at = 13 + (3 << ((packed & 7) + 1) if packed & 0x80 else 0)
    frames, delay = [], None

    def skip_sub_blocks(at):
        while data[at]:
            at += data[at] + 1
        return at + 1

    while data[at] != 0x3B:
        if data[at] == 0x21:
            if data[at + 1] == 0xF9:
                delay = int.from_bytes(data[at + 4:at + 6], "little")
            at = skip_sub_blocks(at + 2)
        else:
            assert data[at] == 0x2C
            frames.append((delay,) + tuple(int.from_bytes(data[at + i:at + i + 2], "little") for i in (1, 3, 5, 7)))
            at = skip_sub_blocks(at + 11)
    return (width, height), frames


def test_gif_records_a_frame_a_tick(running, tmp_path):
    with running.gif(tmp_path / "run.gif", scale=3) as recording:
        running.wait(3)  # the main display, the same each tick
        running.asi_adc = 1000
        running.wait(2)  # the airspeed rising (from the second tick on): only its digits change
        press(running, "push")  # passes without a tick: no frame
        running.wait(2)  # the menu
        assert not recording.closed
    assert recording.closed
    size, frames = gif_blocks((tmp_path / "run.gif").read_bytes())
    assert size == (3 * 160, 3 * 128) and len(frames) == recording.frames
    # Each tick finds the LCD as the pass before drew it: the main display
    # for four ticks. The first frame whole, later ones what changed.
    assert frames[0] == (40, 0, 0, 480, 384)
    assert 0 < frames[1][3] < 480 and 0 < frames[1][4] < 384
    assert frames[-1][0] == 20 and sum(f[0] for f in frames) == 70
    recording.close()  # once written, closing again does nothing


def test_gif_follows_its_own_instrument_and_refuses_as_the_language(running, tmp_path):
    other = ktr7.Instrument()
    other.on()
    with running.gif(str(tmp_path / "quiet.gif")) as recording:
        other.wait(30)  # the other's ticks are none of this one's
    assert recording.frames == 1
    assert gif_blocks((tmp_path / "quiet.gif").read_bytes())[1] == [(10, 0, 0, 160, 128)]
    for scale in (0, ktr7.GIF_SCALE_MAX + 1):
        with pytest.raises(ValueError, match=f"gif: scale {scale} outside 1..8"):
            running.gif(tmp_path / "x.gif", scale)
    with pytest.raises(OSError, match='gif: cannot write "/nonexistent/x.gif": No such file or directory'):
        running.gif("/nonexistent/x.gif")


MAIN_MENU_PICTURE = READY / "pictures" / "setup_main_menu.png"
QNH_1015_PICTURE = GALLERY / "main_qnh_1015.png"


def two_instruments():
    """Made and worked in turns: a at the main menu (altitude 3250), b on the
    main display with QNH turned up two steps to 1015 mB (altitude 4500)."""
    a, b = ktr7.Instrument(), ktr7.Instrument()
    for inst, altitude in [(a, 3250), (b, 4500)]:
        inst.on()
        inst.altitude = altitude
        inst.asi_adc = 1000
    a.wait(20)
    b.wait(20)
    press(a, "push")
    press(b, "cw", "cw")
    return a, b


@pytest.mark.parametrize("read, of_a, of_b", [
    (lambda i: i.current_screen, "screen_main_menu", "screen_main"),
    (lambda i: i.state["qnh"], 1013250, 1015250),
    (lambda i: i.altitude, 3250, 4500),
    (lambda i: i.state["airspeed"], 144, 144),
    (lambda i: (i.differing_pixels(MAIN_MENU_PICTURE) == 0, i.differing_pixels(QNH_1015_PICTURE) == 0),
     (True, False), (False, True)),
])
def test_two_instruments_at_once_each_its_own(read, of_a, of_b):
    a, b = two_instruments()
    assert (read(a), read(b)) == (of_a, of_b)


# What is done to b (held in a list, so that a row can let it go) leaves a
# as it was, its LCD view included.
@pytest.mark.parametrize("then", [
    lambda bs: bs[0].wait(50),
    lambda bs: bs[0].key("left"),
    lambda bs: bs[0].run_scenario("on\nkey push\npass 2\nexpect current_screen screen_main_menu\n"),
    lambda bs: bs[0].off(),
    lambda bs: bs[0].close(),
    lambda bs: (bs[0].pass_(), bs.clear()),  # the instrument that ran last goes away
    lambda bs: bs.append(ktr7.Instrument()),
])
def test_one_instrument_leaves_the_other_as_it_was(then):
    a, b = two_instruments()
    view = a.lcd
    before = view.copy()
    others = [b]
    del b
    then(others)
    assert np.array_equal(view, before)  # read before a is called again
    assert (a.current_screen, a.state["menu_cursor"], a.is_on) == ("screen_main_menu", 0, True)
    assert a.differing_pixels(MAIN_MENU_PICTURE) == 0
    press(a, "cw")
    assert a.state["menu_cursor"] == 1 and not np.array_equal(view, before)


def test_serial_holds_the_sentences_since_on(running):
    press(running, "push", "push", *["cw"] * 5, "push", "cw", "push")
    assert running.state["serial_out"] == 1
    sent = running.serial_count
    running.altitude = 2500
    running.pass_(3)
    assert running.serial_count == sent + 3
    body = "#AL +02500T+25"  # GARMIN AT, then the byte sum's low eight bits in hex
    assert running.serial[-1] == running.state["serial_line"] == f"{body}{sum(body.encode()) % 256:02X}\r"
    # Only the newest SERIAL_KEPT are kept, oldest first.
    running.pass_(ktr7.SERIAL_KEPT)
    running.altitude = 2600
    running.pass_()
    assert len(running.serial) == ktr7.SERIAL_KEPT and running.serial_count == sent + 4 + ktr7.SERIAL_KEPT
    assert running.serial[-2].startswith("#AL +02500") and running.serial[-1].startswith("#AL +02600")
    running.on()
    assert running.serial == [] and running.serial_count == 0


def test_state_has_every_field_by_name(running):
    names = list(running.state)
    assert len(names) == len(running.state) and names[0] == "backlight_level" and names[-1] == "lamp"
    assert {"qnh", "speed_limits", "current_screen", "serial_line"} <= set(running.state.keys())
    assert running.state["speed_limits"] == (220, 180, 50, 30, 20)
    assert running.state.printed("speed_limits") == "220,180,50,30,20"
    assert running.state["current_screen"] == "screen_main" and running.state["lamp"] == "maroon"
    assert ktr7.State.writable == ("altitude", "vertical_speed", "asi_adc")
    assert "nonsense" not in running.state and running.state.get("nonsense", 7) == 7
    assert isinstance(running.state, collections.abc.Mapping)
    assert dict(running.state) == running.state.to_dict()  # through keys() and []


def test_state_knows_its_names(either):
    assert "qnh" in either.state and "lamp" in either.state
    assert "nonsense" not in either.state and 7 not in either.state


def test_sensor_check_box_reaches_the_state_on_the_next_pass(running):
    running.sensor_ok = False
    assert running.state["alt_sensor_ok"] == 1
    running.pass_()
    assert running.state["alt_sensor_ok"] == 0


# The tallies ktr7-replay prints for the ready scenarios, run from another
# folder: their pictures and flights are found beside them.
@pytest.mark.parametrize("scenario, passed, left_on", [
    ("setup_tour.scn", 72, False),  # the tour ends with off
    ("demo_recorded_flight.scn", 30, True),
])
def test_run_scenario_gives_the_tools_tally(inst, tmp_path, monkeypatch, scenario, passed, left_on):
    monkeypatch.chdir(tmp_path)
    result = inst.run_scenario(READY / scenario)
    assert result.ok and result.messages == [] and result.stopped_at == 0
    assert result.tally == (passed, 0) and result.output[-1] == f"{passed} passed, 0 failed"
    assert inst.is_on == left_on


@pytest.mark.parametrize("name", sorted(p.stem for p in GOLDEN.glob("*.scn") if p.with_suffix(".expected").exists()))
def test_run_scenario_writes_what_the_tool_writes(inst, tmp_path, monkeypatch, name):
    monkeypatch.chdir(tmp_path)  # where the scenarios' png and dump land
    base = GOLDEN / name
    status = int(base.with_suffix(".status").read_text()) if base.with_suffix(".status").exists() else 0
    stderr = base.with_suffix(".stderr").read_text().splitlines() if base.with_suffix(".stderr").exists() else []
    result = inst.run_scenario(base.with_suffix(".scn"))
    assert result.output == base.with_suffix(".expected").read_text().splitlines()
    assert (result.status, result.messages) == (status, stderr)


@pytest.mark.parametrize("script, status, tally, stopped_at, message, left_on", [
    ("on\nasi 1000\nwait 20\nexpect airspeed 144\n", 0, (1, 0), 0, None, True),
    ("on\nexpect qnh 1\noff\n", 1, (0, 1), 0, "ktr7-replay: line 2: expected qnh=1, got 1013250", False),
    ("on\nasi 5000\noff\n", 2, (0, 0), 2, "ktr7-replay: line 2: asi: value 5000 outside 0..4096", True),
    ("pass\n", 2, (0, 0), 1, 'ktr7-replay: line 1: pass: the instrument is off (switch it on with "on")', False),
    ("on\nexpect qnh 1013250\noff\nwait 1\n", 2, (1, 0), 4,
     'ktr7-replay: line 4: wait: the instrument is off (switch it on with "on")', False),
    ("", 0, (0, 0), 0, None, False),
])
def test_run_scenario_text(inst, script, status, tally, stopped_at, message, left_on):
    inst.on()
    inst.key("push")  # a run starts from program start: neither on nor a key pending
    result = inst.run_scenario(script)
    assert (result.status, result.tally, result.stopped_at) == (status, tally, stopped_at)
    assert result.messages == ([message] if message else [])
    assert result.output[-1:] == ([f"{tally[0]} passed, {tally[1]} failed"] if status < 2 and any(tally) else [])
    assert inst.is_on == left_on
    if left_on:
        inst.pass_()  # Python goes on from where the scenario left the instrument


def test_flight_played_from_python_as_a_scenario_plays_it(inst):
    igc = SOURCE / "scenarios" / "flights" / "example.igc"
    names = ["max_airspeed", "flight_active", "flight_minutes", "flight_seconds", "altitude", "asi_adc", "airspeed"]
    inst.on()
    about = inst.load_flight(igc)
    assert about["fixes"] > 0 and about["duration_s"] > 600
    start = inst.flight_time
    inst.fly(600)
    assert inst.flight_time == pytest.approx(start + 600) and not inst.flight_at_end
    seen = [inst.state.printed(name) for name in names]
    assert inst.state["max_airspeed"] > 0 and inst.state["altitude"] > 0
    result = inst.run_scenario(f"on\nflight {igc}\nfly 600\nprint {' '.join(names)}\n")
    assert result.ok and result.output == [f"{n}={v}" for n, v in zip(names, seen)]


def test_window_answers_junk_with_errors_and_goes_on(window_socket):
    with socket.socket(socket.AF_UNIX) as raw:
        raw.settimeout(ANSWER_S)
        raw.connect(str(window_socket))
        answers = raw.makefile("rb")
        for sent, answer in [
            (b"\x00\xff\xfejunk\x01\n", b'error 1: unknown command "\\x00\\xFF\\xFEjunk\\x01"\n'),
            (b"frobnicate 3\r\n", b'error 2: unknown command "frobnicate"\n'),
            (b"print current_screen\n", None),
        ]:
            raw.sendall(sent)
            assert answers.readline() == answer if answer else answers.readline().startswith(b"current_screen=")
        assert answers.readline() == b"ok\n"
        raw.sendall(b"x" * 16385 + b"\n")
        assert answers.readline() == b"error 4: line longer than 16384 bytes\n" and answers.readline() == b""
    with ktr7.connect(window_socket) as window:  # the window takes the next client
        assert window.current_screen in ktr7.SCREENS
