"""The web page as its users meet it, in headless Chromium: a full
Communications box, a hidden tab, who has the keys, the wheel, a scenario
file edited between runs, the layout at common screen sizes and pixel
ratios, the LCD saved as a picture, and what the page says about itself.

Environment as test_web_page.py (KTR7_WEB_SITE, KTR7_REPLAY)."""

import os
import sys
import tempfile
import time
import unittest
import urllib.request

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.wheel_input import ScrollOrigin
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.select import Select

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import web_support as ws  # noqa: E402
from test_web_page import KNOB, ROOT, SITE, Session  # noqa: E402

FRAMES = """
const done = arguments[arguments.length - 1];
let n = arguments[0];
const next = () => (--n > 0 ? requestAnimationFrame(next) : done(true));
requestAnimationFrame(next);
"""


class WebUseTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not os.path.exists(os.path.join(SITE, "ktr7.wasm")):
            raise RuntimeError("cannot start: the web page is not built (scripts/web.sh)")
        cls.tool = ws.find_replay_tool()
        cls.server = ws.SiteServer(SITE)

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

    def page(self, query="?clock=manual", width=1280, height=900, ratio=1, touch=False):
        driver, profile = ws.start_chromium(width, height)
        self.drivers.append((driver, profile))
        ws.emulate_screen(driver, width, height, ratio, touch)
        ws.open_page(driver, self.server.url + query)
        return driver

    def replay_lcd(self, script):
        ws.replay(self.tool, script + "dump lcd.bin\n", self.workdir.name)
        with open(os.path.join(self.workdir.name, "lcd.bin"), "rb") as f:
            return f.read()

    def test_full_communications_box_draws_only_the_rows_in_view(self):
        driver = self.page()
        driver.execute_script(ws.IN_FLIGHT_WITH_SERIAL)
        box = driver.execute_script(
            "const c = window.ktr7Communications; return [c.count(), c.rowsDrawn(), c.lines()[0], c.lines()[9999]]")
        self.assertEqual(box[0], 10000)
        self.assertLess(box[1], 60, "rows in the page")
        rows = "return Array.from(document.querySelectorAll('#Memo1 .memo-rows > div'), (e) => e.textContent)"
        self.assertEqual(driver.execute_script(rows)[-1], box[3])
        # Scrolled to the top, the oldest line shows, and the box stays there
        # while lines come.
        driver.execute_script("document.getElementById('Memo1').scrollTop = 0")
        driver.execute_async_script(FRAMES, 2)
        driver.execute_script("window.ktr7.wait(5)")
        self.assertEqual(driver.execute_script(rows)[0],
                         driver.execute_script("return window.ktr7Communications.lines()[0]"))
        # Copy puts every line on the clipboard; Clear empties the box.
        driver.execute_cdp_cmd("Browser.grantPermissions", {
            "origin": self.server.url.rstrip("/"), "permissions": ["clipboardReadWrite", "clipboardSanitizedWrite"]})
        driver.find_element(By.ID, "MemoCopy").click()
        copied = driver.execute_async_script(
            "const done = arguments[0];"
            "setTimeout(() => navigator.clipboard.readText().then(done, (e) => done(String(e))), 200)")
        self.assertEqual(copied, "\n".join(driver.execute_script("return window.ktr7.communications()")) + "\n")
        self.assertIn("Copied 10,000 lines.", driver.find_element(By.ID, "Announcer").get_attribute("textContent"))
        driver.find_element(By.ID, "MemoClear").click()
        self.assertEqual(driver.execute_script("return [window.ktr7Communications.count(), "
                                               "window.ktr7Communications.rowsDrawn()]"), [0, 0])

    def test_hidden_tab_keeps_every_tick(self):
        """A frozen page (as a hidden tab is) runs on its return every tick
        that fell due, each with its pass, before it draws again."""
        driver = self.page(query="")
        driver.find_element(By.ID, "Button1").click()
        driver.execute_async_script(FRAMES, 5)
        before = driver.execute_script("return [performance.now(), window.ktr7.ticks(), window.ktr7.passes()]")
        driver.execute_cdp_cmd("Page.setWebLifecycleState", {"state": "frozen"})
        time.sleep(4)
        driver.execute_cdp_cmd("Page.setWebLifecycleState", {"state": "active"})
        driver.execute_cdp_cmd("Emulation.setFocusEmulationEnabled", {"enabled": True})
        driver.execute_async_script(FRAMES, 2)
        after = driver.execute_script("return [performance.now(), window.ktr7.ticks(), window.ktr7.passes()]")
        due = int(after[0] // 100) - int(before[0] // 100)
        self.assertGreater(due, 39)
        self.assertLessEqual(abs(after[1] - before[1] - due), 1, "ticks kept")
        self.assertGreaterEqual(after[2] - before[2], after[1] - before[1], "a pass for every tick")

    def test_keys_go_to_the_control_that_has_the_focus(self):
        driver = self.page()
        focus = "document.getElementById(arguments[0]).focus()"
        owner = lambda: driver.find_element(By.ID, "KeysOwner").text  # noqa: E731
        # Return on the focused On button presses it; Space on Off too; no
        # key reaches the instrument.
        driver.execute_script(focus, "Button1")
        ActionChains(driver).send_keys(Keys.ENTER).perform()
        self.assertTrue(driver.execute_script("return window.ktr7.running()"))
        self.assertFalse(driver.execute_script("return window.ktr7.keyPending()"))
        self.assertEqual(owner(), "Keys: On (Esc gives them to the instrument)")
        driver.execute_script(focus, "Button2")
        ActionChains(driver).send_keys(" ").perform()
        self.assertFalse(driver.execute_script("return window.ktr7.running()"))
        driver.execute_script(focus, "Button1")
        ActionChains(driver).send_keys(Keys.ENTER).perform()
        driver.execute_script(focus, "ScenarioList")
        ActionChains(driver).send_keys(Keys.ENTER).send_keys(Keys.ESCAPE).perform()
        self.assertFalse(driver.execute_script("return window.ktr7.keyPending()"))

        # A dragged slider has the keys until Escape, or a click on the LCD;
        # then Return acknowledges the alarm.
        asi = driver.find_element(By.ID, "ScrollBar1")
        for give_back in ("escape", "click"):
            with self.subTest(give_back):
                ActionChains(driver).click_and_hold(asi).move_by_offset(asi.size["width"] // 2, 0).release().perform()
                driver.execute_script("window.ktr7.wait(25)")
                self.assertTrue(driver.execute_script("return window.ktr7.lampRed()"))
                self.assertEqual(owner(), "Keys: ASI slider (Esc gives them to the instrument)")
                ActionChains(driver).send_keys(Keys.ENTER).perform()
                self.assertFalse(driver.execute_script("return window.ktr7.keyPending()"))
                if give_back == "escape":
                    ActionChains(driver).send_keys(Keys.ESCAPE).perform()
                else:
                    ActionChains(driver).click(driver.find_element(By.ID, "LcdCanvas")).perform()
                self.assertEqual(owner(), "Keys: instrument")
                ActionChains(driver).send_keys(Keys.ENTER).perform()
                driver.execute_script("window.ktr7.wait(2)")
                self.assertFalse(driver.execute_script("return window.ktr7.lampRed()"))
                driver.execute_script("document.getElementById('Button1').click(); window.ktr7.wait(3)")

    def test_wheel_counts_notches(self):
        """Each whole notch turns the knob a step (100 pixels of delta each),
        however the notches come; a fine wheel's parts add up."""
        cases = [("one event of five notches up", [-500], 5, "cw"),
                 ("five events of one notch down", [100] * 5, 5, "ccw"),
                 ("five fifths of a notch up", [-20] * 5, 1, "cw"),
                 ("three quarters of a notch", [-75], 0, "cw")]
        driver = self.page()
        knob = driver.find_element(By.ID, "Image8")
        for name, deltas, steps, key in cases:
            with self.subTest(name):
                driver.find_element(By.ID, "Button1").click()
                driver.execute_script("window.ktr7.wait(3)")
                for delta in deltas:
                    ActionChains(driver).scroll_from_origin(ScrollOrigin.from_element(knob), 0, delta).perform()
                driver.execute_script("window.ktr7.wait(10)")
                want = self.replay_lcd("on\nwait 3\n" + ("key %s\nwait 1\n" % key) * steps + "wait %d\n" % (10 - steps))
                self.assertEqual(bytes(driver.execute_script("return window.ktr7.lcd()")), want)

    def test_play_reads_the_chosen_file_again(self):
        driver = self.page()
        holds = "on\nwait 3\nexpect current_screen screen_main\n"
        fails = "on\nwait 3\nexpect current_screen screen_main_menu\n"
        # Files handed over by the browser's file picker (here from the
        # page's own storage) are read afresh at every Play.
        choose = """
        const done = arguments[arguments.length - 1];
        (async () => {
            const folder = await navigator.storage.getDirectory();
            const file = await folder.getFileHandle("edited.scn", {create: true});
            const writer = await file.createWritable();
            await writer.write(arguments[0]);
            await writer.close();
            if (arguments[1])
                window.ktr7Scenarios.choose([file]);
            done(true);
        })();"""
        driver.execute_async_script(choose, holds, True)
        self.assertEqual(ws.play_scenario(driver)[0], "Passed (1 passed, 0 failed)")
        driver.execute_async_script(choose, fails, False)
        self.assertEqual(ws.play_scenario(driver)[0],
                         "Failed: an expectation did not hold (0 passed, 1 failed)")
        # A file from the plain chooser that changed since: Chromium will not
        # read it again, and the page says to choose it again.
        path = os.path.join(self.workdir.name, "edited.scn")
        with open(path, "w") as f:
            f.write(holds)
        driver.find_element(By.ID, "ScenarioFile").send_keys(path)
        self.assertEqual(ws.play_scenario(driver)[0], "Passed (1 passed, 0 failed)")
        time.sleep(1.1)
        with open(path, "w") as f:
            f.write(fails + "# edited\n")
        driver.find_element(By.ID, "PlayScenario").click()
        time.sleep(0.5)
        self.assertEqual(driver.find_element(By.ID, "ScenarioResult").text,
                         "Cannot read the scenario: edited.scn changed since it was chosen; choose it again")

    def test_layout_keeps_every_control_in_view(self):
        """Side by side where there is room, stacked otherwise; every control
        and the whole LCD within the window, nothing sideways."""
        sizes = [(1920, 1080, 1, True), (1280, 800, 1, True), (1280, 577, 1.5, True), (768, 1024, 1, False)]
        for width, height, ratio, side in sizes:
            with self.subTest("%dx%d" % (width, height)):
                driver = self.page(width=width, height=height, ratio=ratio)
                seen = driver.execute_script("""
                    const inside = (r) => r.top >= 0 && r.left >= 0 && r.bottom <= window.innerHeight + 0.5 &&
                                          r.right <= document.documentElement.clientWidth + 0.5;
                    const out = Array.from(document.querySelectorAll("button, select, input, #LcdCanvas, .bezel-key"))
                        .filter((e) => !inside(e.getBoundingClientRect())).map((e) => e.id);
                    return {out: out, side: !document.body.classList.contains("stacked"),
                            scroll: document.documentElement.scrollWidth - document.documentElement.clientWidth};""")
                self.assertEqual(seen["out"], [])
                self.assertEqual(seen["side"], side)
                self.assertEqual(seen["scroll"], 0)
                ws.stop_chromium(*self.drivers.pop())

    def test_lcd_pixels_are_whole_device_pixels(self):
        for width, height, ratio in [(1280, 800, 1.25), (412, 915, 2.625), (390, 844, 3)]:
            with self.subTest("%dx%d at %s" % (width, height, ratio)):
                driver = self.page(width=width, height=height, ratio=ratio, touch=ratio > 2)
                canvas = driver.execute_script("""
                    const c = document.getElementById("LcdCanvas"), r = c.getBoundingClientRect(), d = devicePixelRatio;
                    return [c.width, c.height, r.width * d, r.height * d, r.left * d, r.top * d,
                            window.ktr7.scale()];""")
                k = canvas[6]
                self.assertEqual(canvas[:2], [160 * k, 128 * k])
                self.assertAlmostEqual(canvas[2], 160 * k, delta=0.1)
                self.assertAlmostEqual(canvas[3], 128 * k, delta=0.1)
                self.assertAlmostEqual(canvas[4], round(canvas[4]), delta=0.1)
                self.assertAlmostEqual(canvas[5], round(canvas[5]), delta=0.1)
                if ratio > 2:
                    small = driver.execute_script("""
                        return Array.from(document.querySelectorAll("button, select, input, label, .bezel-key"))
                            .filter((e) => e.offsetParent && e.type !== "checkbox" &&
                                           e.getBoundingClientRect().height < 44)
                            .map((e) => e.id || e.textContent.trim());""")
                    self.assertEqual(small, [], "touch targets under 44 px")
                ws.stop_chromium(*self.drivers.pop())

    def test_save_lcd_picture_is_the_replay_tools_picture(self):
        downloads = os.path.join(self.workdir.name, "downloads")
        os.makedirs(downloads)
        driver = self.page()
        driver.execute_cdp_cmd("Browser.setDownloadBehavior", {"behavior": "allow", "downloadPath": downloads})
        driver.find_element(By.ID, "Button1").click()
        driver.execute_script("window.ktr7.wait(3)")
        Session(driver, self.workdir.name).click_bezel(KNOB)
        driver.execute_script("window.ktr7.wait(3)")
        driver.find_element(By.ID, "SaveLcd").click()
        deadline = time.time() + 10
        while time.time() < deadline and not [f for f in os.listdir(downloads) if f.endswith(".png")]:
            time.sleep(0.1)
        saved = [f for f in os.listdir(downloads) if f.endswith(".png")]
        self.assertEqual(len(saved), 1)
        self.assertRegex(saved[0], r"^ktr7-lcd-\d{6}\.png$")
        ws.replay(self.tool, "on\nwait 3\nkey push\nwait 3\npng menu.png 3\n", self.workdir.name)
        self.assertEqual(ws.read_indexed_png(os.path.join(downloads, saved[0])),
                         ws.read_indexed_png(os.path.join(self.workdir.name, "menu.png")))

    def test_page_tells_what_it_shows(self):
        """The canvas's label names the screen, the live region the lamp and
        a scenario's result; the bezel keys are Tab stops; the legend, the
        manual and the benchmark's way back are there."""
        driver = self.page()
        label = lambda: driver.find_element(By.ID, "LcdCanvas").get_attribute("aria-label")  # noqa: E731
        announced = lambda: driver.find_element(By.ID, "Announcer").get_attribute("textContent")  # noqa: E731
        self.assertEqual(label(), "LCD: switched off")
        driver.find_element(By.ID, "Button1").click()
        driver.execute_script("window.ktr7.wait(3)")
        self.assertEqual(label(), "LCD: main")
        driver.execute_script("window.ktr7.setSlider(2, 4000); window.ktr7.wait(25)")
        self.assertEqual(announced(), "Airspeed alarm: lamp red.")
        # Tab from the LCD reaches the left key, the right key and the knob.
        driver.execute_script("document.getElementById('LcdCanvas').focus()")
        reached = []
        for _ in range(3):
            ActionChains(driver).send_keys(Keys.TAB).perform()
            reached.append(driver.execute_script("return document.activeElement.id"))
        self.assertEqual(reached, ["Image2", "Image3", "Image8"])
        self.assertNotEqual(driver.execute_script("return getComputedStyle(document.activeElement).outlineStyle"),
                            "none")
        ActionChains(driver).send_keys(Keys.ENTER).perform()
        driver.execute_script("window.ktr7.wait(3)")
        ActionChains(driver).send_keys(Keys.ENTER).perform()
        driver.execute_script("window.ktr7.wait(3)")
        self.assertEqual(label(), "LCD: main menu")
        driver.execute_script("window.ktr7.setSlider(2, 0); "
                              "window.ktr7Scenarios.playText('t.scn', 'on\\nwait 1\\nexpect lamp maroon\\n')")
        driver.execute_script("window.ktr7.wait(3)")
        self.assertEqual(announced(), "Scenario Passed (1 passed, 0 failed)")
        self.assertIn("Esc", driver.find_element(By.ID, "Legend").text)
        with urllib.request.urlopen(self.server.url + "manual.html") as response:
            self.assertIn("expect", response.read().decode())
        driver.get(self.server.url + "bench.html")
        self.assertEqual(driver.find_element(By.LINK_TEXT, "The simulator").get_attribute("href"), self.server.url)
        self.assertEqual(driver.execute_script(
            "return document.querySelector('link[rel=icon]').getAttribute('href')"), "bezel.jpg")

    def replay_inputs(self, script):
        """The (altitude, vertical_speed, asi_adc) that each "print" of the
        inputs gives in the replay tool's run of script."""
        printed = ws.replay(self.tool, script, self.workdir.name).splitlines()
        values = [int(line.split("=")[1]) for line in printed
                  if line.split("=")[0] in ("altitude", "vertical_speed", "asi_adc")]
        return [tuple(values[i:i + 3]) for i in range(0, len(values), 3)]

    def choose_flight(self, driver, path):
        """Chooses a log in the flight bar and waits until the bar shows it."""
        driver.find_element(By.ID, "FlightFile").send_keys(path)
        about = driver.find_element(By.ID, "FlightAbout")
        deadline = time.time() + 10
        while not about.text.startswith(os.path.basename(path)) and time.time() < deadline:
            time.sleep(0.1)
        return about.text

    def test_flight_drives_the_sliders_as_in_the_replay_tool(self):
        """The example log, chosen, plays at once; at 60x, after each second
        of the page's clock the sliders show the inputs the replay tool's fly
        gives after the same flight time; a slider moved by hand pauses the
        flight."""
        log = os.path.join(ROOT, "scenarios", "flights", "example.igc")
        driver = self.page()
        driver.find_element(By.ID, "Button1").click()
        self.assertRegex(self.choose_flight(driver, log),
                         r"^example.igc: A. Example, 2026-05-01, 10:00:00 to \d\d:\d\d:\d\d UTC; airspeed from IAS$")
        self.assertEqual(driver.find_element(By.ID, "FlightPlay").text, "Pause")
        # The speeds are the instrument's (the manual clock has not ticked
        # since the flight was chosen).
        speed = Select(driver.find_element(By.ID, "FlightSpeed"))
        self.assertEqual([o.text for o in speed.options], ["1x", "2x", "5x", "10x", "30x", "60x"])
        speed.select_by_visible_text("60x")
        sliders = ("return ['ScrollBar29', 'ScrollBar2', 'ScrollBar1']"
                   ".map((id) => Number(document.getElementById(id).value))")
        seen = []
        for _ in range(4):
            driver.execute_script("window.ktr7.wait(10)")
            seen.append(tuple(driver.execute_script(sliders)))
        want = self.replay_inputs("on\nflight %s\n" % log + "fly 60\nprint altitude vertical_speed asi_adc\n" * 4)
        self.assertEqual(len(want), 4)
        self.assertEqual(seen, want)
        self.assertEqual(driver.find_element(By.ID, "FlightClock").text, "10:04:00")
        self.assertEqual(driver.find_element(By.ID, "Label57").text, str(want[3][0]))
        # The altitude slider moved by hand: the flight pauses there, and the
        # bar says why.
        altitude = driver.find_element(By.ID, "ScrollBar29")
        ActionChains(driver).click_and_hold(altitude).move_by_offset(-30, 0).release().perform()
        self.assertFalse(driver.execute_script("return window.ktr7Flights.playing()"))
        held = int(altitude.get_attribute("value"))
        driver.execute_script("window.ktr7.wait(10)")
        self.assertEqual(int(altitude.get_attribute("value")), held)
        self.assertEqual(driver.find_element(By.ID, "FlightPlay").text, "Play")
        self.assertEqual(driver.find_element(By.ID, "FlightMessage").text,
                         "Flight paused: the Altitude slider was moved by hand")
        # Off pauses it too; Play switches the instrument on again.
        driver.find_element(By.ID, "FlightPlay").click()
        driver.find_element(By.ID, "Button2").click()
        self.assertEqual(driver.find_element(By.ID, "FlightPlay").text, "Play")
        self.assertEqual(driver.find_element(By.ID, "FlightMessage").text,
                         "Flight paused: the instrument was switched off")
        driver.find_element(By.ID, "FlightPlay").click()
        self.assertTrue(driver.execute_script("return window.ktr7.running()"))

        # Dropped on the page, the log opens as from the chooser.
        about = driver.find_element(By.ID, "FlightAbout")
        driver.find_element(By.ID, "FlightClose").click()
        self.assertEqual(about.text, "")
        driver.execute_async_script("""
            const done = arguments[arguments.length - 1];
            fetch("scenarios/flights/example.igc").then((r) => r.text()).then((text) => {
                const data = new DataTransfer();
                data.items.add(new File([text], "dropped.igc"));
                document.getElementById("LcdCanvas").dispatchEvent(
                    new DragEvent("drop", {dataTransfer: data, bubbles: true, cancelable: true}));
                setTimeout(done, 200);
            });""")
        self.assertTrue(about.text.startswith("dropped.igc: A. Example, 2026-05-01"), about.text)
        # Files that are no flight, known as the replay tool knows them: one
        # line naming the file; the flight that was open stays.
        bad = [("bad.igc", "garbage\x01 not a log\n", "bad.igc: it is not an IGC flight log"),
               ("notes.txt", "garbage\n", "notes.txt: it is not an IGC or GPX flight log"),
               ("empty.txt", "", "empty.txt: it is empty"),
               # A GPX file by its content, whatever its name.
               ("track.log", '<?xml version="1.0"?><gpx version="1.1"><trk></trk></gpx>\n',
                "track.log: its track has no point with a time"),
               ("broken.gpx", "<gpx><trk>", "broken.gpx: it is not a GPX file (its XML cannot be read)")]
        for name, text, said in bad:
            with self.subTest(name):
                driver.execute_script("window.ktr7Flights.load(arguments[0], arguments[1])", name, text)
                self.assertEqual(driver.find_element(By.ID, "FlightMessage").text, said)
                self.assertTrue(about.text.startswith("dropped.igc: "))

        # A GPX track (read by the page's XML parser), from its start: the
        # sliders after two seconds of it at 10x are the replay's.
        track = os.path.join(ROOT, "tests", "flights", "track11.gpx")
        driver.find_element(By.ID, "Button1").click()
        self.assertEqual(self.choose_flight(driver, track),
                         "track11.gpx: no pilot named, 2026-07-15, 12:00:00 to 12:00:03 UTC; airspeed from ground speed")
        Select(driver.find_element(By.ID, "FlightSpeed")).select_by_visible_text("10x")
        driver.execute_script("window.ktr7.wait(2)")
        self.assertEqual([tuple(driver.execute_script(sliders))],
                         self.replay_inputs("on\nflight %s\nfly 2\nprint altitude vertical_speed asi_adc\n" % track))

    def test_flight_chosen_while_off_switches_the_instrument_on(self):
        """A flight chosen with the instrument off switches it on from
        factory settings and plays: its values reach the inputs through
        those settings, as "on", "flight" and "fly" give them in the replay
        tool (not a dark LCD with the airspeed at its top and the altitude
        at 0)."""
        log = os.path.join(ROOT, "scenarios", "flights", "example.igc")
        driver = self.page()
        self.assertFalse(driver.execute_script("return window.ktr7.running()"))
        self.choose_flight(driver, log)
        self.assertEqual(driver.find_element(By.ID, "FlightMessage").text,
                         "Switched the instrument on to fly the flight")
        driver.execute_script("window.ktr7.wait(600)")
        self.assertTrue(driver.execute_script("return window.ktr7.running()"))
        self.assertEqual(driver.find_element(By.ID, "FlightClock").text, "10:01:00")
        sliders = driver.execute_script("return ['ScrollBar29', 'ScrollBar2', 'ScrollBar1']"
                                        ".map((id) => Number(document.getElementById(id).value))")
        self.assertEqual([tuple(sliders)],
                         self.replay_inputs("on\nflight %s\nfly 60\nprint altitude vertical_speed asi_adc\n" % log))
        self.assertEqual(bytes(driver.execute_script("return window.ktr7.lcd()")),
                         self.replay_lcd("on\nflight %s\nfly 60\n" % log))


if __name__ == "__main__":
    unittest.main(verbosity=2)
