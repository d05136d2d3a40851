"""The web page in headless Chromium: driven through its controls as a person
would (clicks on the bezel, the buttons, the keyboard, a slider dragged with
the mouse, taps on a phone), its LCD read back from the canvas must be the
replay tool's picture of the same steps, palette index for palette index.

Environment: KTR7_WEB_SITE (default build/web/site), KTR7_REPLAY (default
the test build's ktr7-replay), KTR7_WEB_SHOTS (a folder for screenshots)."""

import os
import re
import subprocess
import sys
import tempfile
import time
import unittest

from selenium.webdriver.common.actions import interaction
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.actions.pointer_input import PointerInput
from selenium.webdriver.common.actions.wheel_input import ScrollOrigin
from selenium.webdriver.common.by import By
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.select import Select

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import web_support as ws  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SITE = os.environ.get("KTR7_WEB_SITE", os.path.join(ROOT, "build", "web", "site"))
SHOTS = os.environ.get("KTR7_WEB_SHOTS")

# Centres of the bezel's keys and knob in window pixels (the click areas of
# the window).
LEFT_KEY = (52 + 16.5, 192 + 16.5)
RIGHT_KEY = (154 + 16.5, 192 + 16.5)
KNOB = (100 + 20.5, 196 + 20.5)

# The longest a ready scenario may take to play in the page.
SCENARIO_SECONDS_MAX = 300

# Steps the manual clock as the replay tool steps its instrument, until the
# run has finished: while the player waits on a "pass" line, passes alone;
# on a "tick" line, ticks alone; on "wait", a tick and a pass. The run
# starts once its pictures have loaded; nothing is stepped before.
STEP_LIKE_THE_REPLAY = """
const runs = arguments[0];
const lines = arguments[1].split("\\n");
const done = arguments[arguments.length - 1];
const box = window.ktr7Scenarios;
function step() {
    if (box.runsFinished() > runs)
        return done(true);
    for (let i = 0; i < 2000 && box.playing(); i++) {
        const command = (lines[box.line() - 1] || "").trim().split(/\\s+/)[0];
        if (command === "pass")
            window.ktr7.pass(1);
        else if (command === "tick")
            window.ktr7.tick(1);
        else
            window.ktr7.wait(1);
    }
    setTimeout(step, 0);
}
step();
"""


class Session:
    """A page driven step by step, with the same steps written down as a
    replay scenario; checkpoints name the pictures to compare."""

    def __init__(self, driver, workdir):
        self.driver = driver
        self.workdir = workdir
        self.script = []
        self.checkpoints = []

    def replay(self, *lines):
        self.script.extend(lines)

    def wait(self, count):
        self.driver.execute_script("window.ktr7.wait(arguments[0])", count)
        self.replay("wait %d" % count)

    def checkpoint(self, name):
        """The page's LCD buffer, canvas, lamp and the LCD's words for screen
        readers now; the replay's later."""
        lcd = bytes(self.driver.execute_script("return window.ktr7.lcd()"))
        scale, colours = ws.canvas_colours(self.driver)
        lamp = self.driver.execute_script("return window.ktr7.lampRed()")
        words = self.driver.execute_script("return document.getElementById('LcdWords').textContent")
        self.replay("dump %s.bin" % name, "png %s.png" % name, "print lamp current_screen", "print text")
        self.checkpoints.append((name, lcd, colours, lamp, words))
        if SHOTS:
            self.driver.save_screenshot(os.path.join(SHOTS, "page_%s.png" % name))
        return scale

    def bezel_point(self, point):
        """Where a point of the window's bezel is in the page's viewport."""
        return self.driver.execute_script(
            "const r = document.getElementById('Image1').getBoundingClientRect();"
            "return [r.left + arguments[0] * r.width / 241, r.top + arguments[1] * r.height / 249];",
            point[0], point[1])

    def click_bezel(self, point, touch=False):
        x, y = self.bezel_point(point)
        if touch:
            actions = ActionBuilder(self.driver, mouse=PointerInput(interaction.POINTER_TOUCH, "finger"))
        else:
            actions = ActionBuilder(self.driver)
        actions.pointer_action.move_to_location(int(round(x)), int(round(y)))
        actions.pointer_action.click()
        actions.perform()

    def press(self, key):
        ActionChains(self.driver).send_keys(key).perform()

    def run_replay(self, tool):
        return ws.replay(tool, "\n".join(self.script) + "\n", self.workdir)


class WebPageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not os.path.exists(os.path.join(SITE, "ktr7.wasm")):
            raise RuntimeError("cannot start: the web page is not built (scripts/web.sh)")
        cls.tool = ws.find_replay_tool()
        cls.server = ws.SiteServer(SITE)
        if SHOTS:
            os.makedirs(SHOTS, exist_ok=True)

    @classmethod
    def tearDownClass(cls):
        cls.server.close()

    def setUp(self):
        self.workdir = tempfile.TemporaryDirectory(prefix="ktr7-web-")
        self.drivers = []

    def tearDown(self):
        for driver, profile in self.drivers:
            ws.stop_chromium(driver, profile)
        self.workdir.cleanup()

    def chromium(self, width=1280, height=900, mobile=False):
        driver, profile = ws.start_chromium(width, height, mobile)
        self.drivers.append((driver, profile))
        return driver

    def compare(self, session, replay_output):
        """Every checkpoint: the wasm LCD buffer equals the replay's dump byte
        for byte, the canvas shows the replay PNG's palette colour of the
        same index at every pixel, the lamp agrees, and the canvas's
        description says the words of the replay's print text."""
        lines = replay_output.splitlines()
        lamps = [line.split("=", 1)[1] == "red" for line in lines if line.startswith("lamp=")]
        screens = [line.split("=", 1)[1] for line in lines if line.startswith("current_screen=")]
        # Each checkpoint's print text follows its current_screen line.
        starts = [i for i, line in enumerate(lines) if line.startswith("current_screen=")] + [len(lines)]
        words = [ws.printed_words(lines[a:b]) for a, b in zip(starts, starts[1:])]
        self.assertEqual(len(lamps), len(session.checkpoints))
        for (name, lcd, colours, lamp, shown_words), want_lamp, want_words in zip(session.checkpoints, lamps, words):
            self.assertEqual(shown_words, want_words, "the LCD's words at " + name)
            with open(os.path.join(self.workdir.name, name + ".bin"), "rb") as f:
                dump = f.read()
            self.assertEqual(len(dump), ws.LCD_BYTES)
            self.assertIsNone(ws.first_difference(dump, lcd), "LCD buffer at " + name)
            palette, width, height, indices = ws.read_indexed_png(
                os.path.join(self.workdir.name, name + ".png"))
            self.assertEqual((width, height), (ws.LCD_WIDTH, ws.LCD_HEIGHT))
            self.assertEqual(indices, dump, "the replay's PNG and dump of " + name)
            expected = [(r << 16) | (g << 8) | b for r, g, b in (palette[i] for i in indices)]
            self.assertIsNone(ws.first_difference(expected, colours), "canvas at " + name)
            self.assertEqual(lamp, want_lamp, "lamp at " + name)
        return screens

    def test_controls_draw_the_replay_pictures(self):
        """Desktop: On, sliders, the bezel keys and knob, "+" and "-", the
        keyboard; main display, main menu, altitude setup, serial output."""
        driver = self.chromium()
        ws.open_page(driver, self.server.url + "?clock=manual")
        s = Session(driver, self.workdir.name)
        self.assertEqual(driver.execute_script("return window.ktr7.scale()"), 2)

        driver.find_element(By.ID, "Button1").click()
        s.replay("on")
        # The airspeed slider dragged with the mouse; the replay gets the
        # position it ended at, and the label shows it.
        asi = driver.find_element(By.ID, "ScrollBar1")
        ActionChains(driver).click_and_hold(asi).move_by_offset(60, 0).release().perform()
        position = int(asi.get_attribute("value"))
        self.assertGreater(position, 2048)
        self.assertEqual(driver.find_element(By.ID, "Label2").text, str(position))
        s.replay("asi %d" % position)
        # Arrow keys in a slider move the slider, and post no key.
        vsi = driver.find_element(By.ID, "ScrollBar2")
        vsi.click()
        start = int(vsi.get_attribute("value"))
        vsi.send_keys(Keys.ARROW_RIGHT * 7)
        self.assertEqual(int(vsi.get_attribute("value")), start + 7)
        self.assertEqual(driver.find_element(By.ID, "Label3").text, str(start + 7))
        s.replay("vsi %d" % (start + 7))
        s.wait(25)
        s.checkpoint("main")

        # The knob acknowledges the alarm; Return (with the focus back on the
        # page) opens the main menu.
        s.click_bezel(KNOB)
        s.replay("key push")
        s.wait(2)
        s.checkpoint("main_acknowledged")
        driver.find_element(By.TAG_NAME, "h1").click()
        s.press(Keys.ENTER)
        s.replay("key push")
        s.wait(2)
        s.checkpoint("menu")
        # The wheel over the knob: a notch down turns it anticlockwise, a
        # notch up clockwise.
        knob = driver.find_element(By.ID, "Image8")
        ActionChains(driver).scroll_from_origin(ScrollOrigin.from_element(knob), 0, 100).perform()
        s.replay("key ccw")
        s.wait(2)
        s.checkpoint("menu_wheel")
        ActionChains(driver).scroll_from_origin(ScrollOrigin.from_element(knob), 0, -100).perform()
        s.replay("key cw")
        s.wait(2)

        # ALT SETUP, then SERIAL OUT (reached backwards with "-") switched
        # on with the knob and "+".
        s.click_bezel(KNOB)
        s.replay("key push")
        s.wait(2)
        s.checkpoint("alt_setup")
        driver.find_element(By.ID, "Button4").click()
        s.replay("key ccw")
        s.wait(2)
        s.click_bezel(KNOB)
        s.replay("key push")
        s.wait(1)
        driver.find_element(By.ID, "Button3").click()
        s.replay("key cw")
        s.wait(1)
        s.press(Keys.ENTER)
        s.replay("key push")
        s.wait(6)
        s.checkpoint("serial_on")
        # Over ten thousand sentences: the box keeps the newest 10,000.
        s.wait(10050)

        # The left key leaves for the menu; the right key is ignored there.
        s.click_bezel(LEFT_KEY)
        s.replay("key left")
        s.wait(2)
        s.click_bezel(RIGHT_KEY)
        s.replay("key right")
        s.wait(2)
        s.checkpoint("menu_again")

        output = s.run_replay(self.tool)
        screens = self.compare(s, output)
        self.assertEqual(screens, ["screen_main", "screen_main", "screen_main_menu", "screen_main_menu",
                                   "screen_alt_setup",
                                   "screen_alt_setup", "screen_main_menu"])

        # The Communications box has the replay's newest 10,000 sentences, one a line,
        # without their carriage returns (the replay escapes bytes as \xNN).
        sentences = [re.sub(r"\\x([0-9A-F]{2})", lambda m: chr(int(m.group(1), 16)), line[len("serial "):])
                     .replace("\r", "") for line in output.splitlines() if line.startswith("serial ")]
        memo = driver.execute_script("return window.ktr7.communications()")
        self.assertGreater(len(sentences), 10000)
        self.assertEqual(len(memo), 10000)
        self.assertIsNone(ws.first_difference(sentences[-10000:], memo), "Communications box")

    def test_phone_width_taps(self):
        """A phone: the LCD and the keys fit the width, the controls sit
        under the instrument, and taps on the bezel post keys."""
        driver = self.chromium(390, 844, mobile=True)
        ws.open_page(driver, self.server.url + "?clock=manual")
        layout = driver.execute_script("""
            const box = (id) => document.getElementById(id).getBoundingClientRect();
            return {width: document.documentElement.clientWidth, scrollWidth: document.documentElement.scrollWidth,
                    canvas: box('LcdCanvas'), left: box('Image2'), right: box('Image3'), knob: box('Image8'),
                    instrument: box('instrument'), sensors: box('sensors'), scale: window.ktr7.scale()};""")
        self.assertEqual(layout["scale"], 2)
        self.assertLessEqual(layout["scrollWidth"], layout["width"], "no sideways scrolling")
        for part in ("canvas", "left", "right", "knob"):
            self.assertGreaterEqual(layout[part]["left"], 0, part)
            self.assertLessEqual(layout[part]["right"], layout["width"], part)
        self.assertGreaterEqual(layout["sensors"]["top"], layout["instrument"]["bottom"])

        s = Session(driver, self.workdir.name)
        driver.find_element(By.ID, "Button1").click()
        s.replay("on")
        s.wait(3)
        s.click_bezel(RIGHT_KEY, touch=True)
        s.replay("key right")
        s.wait(2)
        s.checkpoint("phone_timers_page")
        s.click_bezel(KNOB, touch=True)
        s.replay("key push")
        s.wait(2)
        s.checkpoint("phone_menu")
        screens = self.compare(s, s.run_replay(self.tool))
        self.assertEqual(screens, ["screen_main", "screen_main_menu"])

    def choose_files(self, driver, paths):
        """Chooses files in the scenario box, as a fresh choice (the driver
        would add them to the earlier one)."""
        chooser = driver.find_element(By.ID, "ScenarioFile")
        driver.execute_script("arguments[0].value = ''", chooser)
        chooser.send_keys("\n".join(paths))

    def test_scenarios_report_their_expectations(self):
        """A scenario file chosen in the page plays through the page's
        controls; a held expectation passes, a broken one is reported as
        failed with its line, a bad line stops the run."""
        driver = self.chromium()
        ws.open_page(driver, self.server.url + "?clock=manual")
        cases = [
            ("holds.scn",
             "on\nasi 1500\nwait 5\nexpect current_screen screen_main\nkey push\nwait 3\n"
             "expect current_screen screen_main_menu\nexpect menu_cursor 0..0\n",
             "Passed (3 passed, 0 failed)", []),
            ("broken.scn",
             "on\nwait 5\nkey push\nwait 3\nexpect current_screen screen_alt_setup\nprint menu_cursor\n",
             "Failed: an expectation did not hold (0 passed, 1 failed)",
             ["line 5: expected current_screen=screen_alt_setup, got screen_main_menu"]),
            ("bad.scn", "on\nwait 2\nkey sideways\nwait 2\n",
             "Stopped at line 3: key: unknown key \"sideways\" (left, right, push, cw, ccw)",
             ["line 3: key: unknown key \"sideways\" (left, right, push, cw, ccw)"]),
            # An expectation that failed before the bad line stays in the result.
            ("failed_then_bad.scn", "on\nwait 2\nexpect current_screen screen_main_menu\nwait 1\nkey sideways\n",
             "Stopped at line 5: key: unknown key \"sideways\" (left, right, push, cw, ccw) "
             "(after 1 failed expectation)",
             ["line 3: expected current_screen=screen_main_menu, got screen_main",
              "line 5: key: unknown key \"sideways\" (left, right, push, cw, ccw)"]),
            # What the page does not lend: files written, files not chosen
            # with the scenario.
            ("png.scn", "on\nwait 1\npng lcd.png 2\n",
             "Stopped at line 3: png: cannot write \"lcd.png\": the page writes no files",
             ["line 3: png: cannot write \"lcd.png\": the page writes no files"]),
            ("gif.scn", "on\ngif run.gif\nwait 1\n",
             "Stopped at line 2: gif: cannot write \"run.gif\": the page writes no files",
             ["line 2: gif: cannot write \"run.gif\": the page writes no files"]),
            ("unchosen.scn", "on\nwait 1\nexpect png pictures/none.png\n",
             "Stopped at line 3: expect png: reference \"pictures/none.png\": not available in the page "
             "(choose it together with the scenario)",
             ["line 3: expect png: reference \"pictures/none.png\": not available in the page "
              "(choose it together with the scenario)"]),
            ("unflown.scn", "flight flights/none.igc\non\nfly 1\n",
             "Stopped at line 1: flight: flights/none.igc: not available in the page "
             "(choose it together with the scenario)",
             ["line 1: flight: flights/none.igc: not available in the page (choose it together with the scenario)"]),
        ]
        for name, text, want_result, want_failed in cases:
            with self.subTest(name):
                path = os.path.join(self.workdir.name, name)
                with open(path, "w") as f:
                    f.write(text)
                self.choose_files(driver, [path])
                self.assertEqual(driver.find_element(By.ID, "ScenarioList").get_attribute("value"), "file:")
                result, log = ws.play_scenario(driver)
                self.assertEqual(result, want_result)
                self.assertEqual([line for line, failed in log if failed and not line.startswith("--")],
                                 want_failed)
        # expect png: the pictures chosen with the scenario; the page and the
        # replay tool agree on which hold and on where the first differs.
        ws.replay(self.tool, "on\nwait 5\npng main.png 2\nkey push\nwait 3\npng menu.png 3\n", self.workdir.name)
        text = "on\nwait 5\nkey push\nwait 3\nexpect png menu.png\nexpect png main.png\n"
        path = os.path.join(self.workdir.name, "pictures.scn")
        with open(path, "w") as f:
            f.write(text)
        self.choose_files(driver, [path, os.path.join(self.workdir.name, "menu.png"),
                                   os.path.join(self.workdir.name, "main.png")])
        result, log = ws.play_scenario(driver)
        self.assertEqual(result, "Failed: an expectation did not hold (1 passed, 1 failed)")
        failed = [line for line, bad in log if bad and not line.startswith("--")]
        # Named from its own folder, so the tool names the picture as the page does.
        replayed = subprocess.run([self.tool, os.path.basename(path)], capture_output=True, text=True,
                                  cwd=self.workdir.name)
        self.assertEqual(replayed.returncode, 1)
        want = [line.replace("ktr7-replay: ", "", 1) for line in replayed.stderr.splitlines()
                if "pixels differ" in line]
        self.assertEqual(len(failed), 1)
        self.assertEqual(len(want), 1)
        self.assertEqual(failed[0].split(";")[0], want[0].split(";")[0])
        self.assertRegex(failed[0], r"^line 6: png main.png: \d+ pixels differ, first at \d+,\d+ expected \d+ got \d+;")

        # The first scenario moved the ASI slider on the page.
        self.assertEqual(driver.find_element(By.ID, "Label2").text, "1500")
        self.assertEqual(driver.find_element(By.ID, "ScrollBar1").get_attribute("value"), "1500")
        if SHOTS:
            driver.save_screenshot(os.path.join(SHOTS, "page_scenario_bad_line.png"))

    def play_like_the_replay(self, driver, name):
        """Plays the scenario chosen in the box, stepping the manual clock as
        the replay tool steps its instrument; the result line, and the
        failure lines as the replay tool words them on standard error."""
        runs = driver.execute_script("return window.ktr7Scenarios.runsFinished()")
        driver.find_element(By.ID, "PlayScenario").click()
        # The longest ready scenario takes most of a minute on a busy machine.
        driver.set_script_timeout(SCENARIO_SECONDS_MAX)
        with open(os.path.join(ROOT, "scenarios", name)) as f:
            driver.execute_async_script(STEP_LIKE_THE_REPLAY, runs, f.read())
        failed = driver.execute_script(
            "return Array.from(document.querySelectorAll('#ScenarioLog .failed'), (e) => e.textContent)")
        return (driver.find_element(By.ID, "ScenarioResult").text,
                ["ktr7-replay: " + line for line in failed if not line.startswith("--")])

    def test_ready_scenarios_play_as_in_the_replay_tool(self):
        """Every ready scenario, from the page's list, ends as the replay
        tool ends the same file: the same tally and the same failed lines
        (a differing picture's report up to what each host writes).
        demo_recorded_flight.scn also chosen from the computer together with
        the flight log and pictures it names, as a user would."""
        driver = self.chromium()
        listed = ("const done = arguments[arguments.length - 1];"
                  "window.ktr7Scenarios.listed.then(() => done(true));")
        ws.open_page(driver, self.server.url + "?clock=manual")
        driver.execute_async_script(listed)
        names = driver.execute_script(
            "return Array.from(document.getElementById('ScenarioList').options, (o) => o.value).filter((v) => v)")
        ready = sorted(f for f in os.listdir(os.path.join(ROOT, "scenarios")) if f.endswith(".scn"))
        self.assertEqual(sorted(names), ready)
        chosen = "demo_recorded_flight.scn"
        self.assertIn(chosen, names)
        for name, from_list in [(n, True) for n in names] + [(chosen, False)]:
            with self.subTest(name, listed=from_list):
                replayed = subprocess.run([self.tool, name], capture_output=True, text=True,
                                          cwd=os.path.join(ROOT, "scenarios"), timeout=300)
                tally = replayed.stdout.splitlines()[-1]
                self.assertRegex(tally, r"^\d+ passed, \d+ failed$")
                want = {0: "Passed (%s)", 1: "Failed: an expectation did not hold (%s)"}[replayed.returncode] % tally
                # A fresh page, so each scenario starts from program start
                # (the timer's blink phase too) as the replay tool does.
                ws.open_page(driver, self.server.url + "?clock=manual")
                driver.execute_async_script(listed)
                if from_list:
                    Select(driver.find_element(By.ID, "ScenarioList")).select_by_value(name)
                else:
                    folder = os.path.join(ROOT, "scenarios")
                    with open(os.path.join(folder, name)) as f:
                        named = [w[1] if w[0] == "flight" else w[2] for w in (line.split("#")[0].split() for line in f)
                                 if w[:1] == ["flight"] or w[:2] == ["expect", "png"]]
                    self.assertIn("flights/example.igc", named)
                    self.choose_files(driver, [os.path.join(folder, name)] + [os.path.join(folder, n) for n in named])
                result, failed = self.play_like_the_replay(driver, name)
                self.assertEqual(result, want)
                self.assertEqual([line.split(";")[0] for line in failed],
                                 [line.split(";")[0] for line in replayed.stderr.splitlines()])

    def test_short_ready_scenarios_hold_live(self):
        """The ready scenarios that take at most ten seconds play live, in the
        page's own time, to the replay tool's tally."""
        short = []
        for name in sorted(os.listdir(os.path.join(ROOT, "scenarios"))):
            if name.endswith(".scn"):
                with open(os.path.join(ROOT, "scenarios", name)) as f:
                    # fly takes ten ticks a second of flight ("fly end": the whole flight).
                    ticks = sum(int(w[1]) * (10 if w[0] == "fly" else 1) if w[1].isdigit() else 10 ** 9
                                for w in (line.split("#")[0].split() for line in f)
                                if len(w) == 2 and w[0] in ("wait", "tick", "fly"))
                if ticks <= 100:
                    short.append(name)
        if not short:
            self.skipTest("no ready scenario of ten seconds or less")
        driver = self.chromium()
        ws.open_page(driver, self.server.url)
        driver.execute_async_script(
            "const done = arguments[arguments.length - 1]; window.ktr7Scenarios.listed.then(() => done(true));")
        for name in short:
            with self.subTest(name):
                replayed = subprocess.run([self.tool, name], capture_output=True, text=True,
                                          cwd=os.path.join(ROOT, "scenarios"), timeout=300)
                tally = replayed.stdout.splitlines()[-1]
                Select(driver.find_element(By.ID, "ScenarioList")).select_by_value(name)
                runs = driver.execute_script("return window.ktr7Scenarios.runsFinished()")
                driver.find_element(By.ID, "PlayScenario").click()
                deadline = time.time() + 60
                while (driver.execute_script("return window.ktr7Scenarios.runsFinished()") == runs
                       and time.time() < deadline):
                    time.sleep(0.25)
                self.assertEqual(driver.find_element(By.ID, "ScenarioResult").text, "Passed (%s)" % tally)

    def test_live_clock_and_frames(self):
        """Without the manual clock: passes follow the animation frames and
        the timer the clock, and a click reaches the running instrument."""
        driver = self.chromium()
        ws.open_page(driver, self.server.url)
        self.assertFalse(driver.execute_script("return window.ktr7.running()"))
        self.assertEqual(driver.execute_script("return window.ktr7.passes()"), 0)
        driver.find_element(By.ID, "Button1").click()
        start = driver.execute_script("return [performance.now(), window.ktr7.ticks(), window.ktr7.passes()]")
        time.sleep(1.5)
        s = Session(driver, self.workdir.name)
        s.click_bezel(KNOB)
        time.sleep(0.5)
        end = driver.execute_script("return [performance.now(), window.ktr7.ticks(), window.ktr7.passes()]")
        elapsed_ticks = int(end[0] // 100) - int(start[0] // 100)
        self.assertLessEqual(abs((end[1] - start[1]) - elapsed_ticks), 2, "one tick per 100 ms")
        self.assertGreater(end[2] - start[2], 10, "passes ran")
        # The main menu does not change with time: it is the replay's.
        scale, colours = ws.canvas_colours(driver)
        ws.replay(self.tool, "on\nwait 3\nkey push\nwait 3\npng menu.png\n", self.workdir.name)
        palette, _, _, indices = ws.read_indexed_png(os.path.join(self.workdir.name, "menu.png"))
        expected = [(r << 16) | (g << 8) | b for r, g, b in (palette[i] for i in indices)]
        self.assertIsNone(ws.first_difference(expected, colours))
        # Off: no further passes; the last picture stays, shown dark.
        self.assertEqual(driver.execute_script("return getComputedStyle(document.getElementById('LcdCanvas')).filter"),
                         "none")
        driver.find_element(By.ID, "Button2").click()
        passes = driver.execute_script("return window.ktr7.passes()")
        time.sleep(0.3)
        self.assertEqual(driver.execute_script("return window.ktr7.passes()"), passes)
        self.assertEqual(ws.canvas_colours(driver)[1], colours)
        self.assertRegex(driver.execute_script(
            "return getComputedStyle(document.getElementById('LcdCanvas')).filter"), r"^brightness\(0\.\d+\)$")


if __name__ == "__main__":
    unittest.main(verbosity=2)
