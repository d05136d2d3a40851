"""The web page as its users meet it, in headless Chromium: a full
Communications box, a hidden tab, who has the keys, the wheel, a scenario
file edited between runs, the layout at common screen sizes and pixel
ratios, the LCD saved as a picture or recorded as a video, what the LCD says
to a screen reader, and what the page says about itself.

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

# Every change of the live region from now on, with its time.
WATCH_ANNOUNCER = """
const announcer = document.getElementById("Announcer");
window.announced = [];
new MutationObserver(() => window.announced.push([performance.now(), announcer.textContent]))
    .observe(announcer, {childList: true});
"""

# Waits up to five seconds for the live region to say arguments[0]; when it
# does, the time, else null.
AWAIT_ANNOUNCEMENT = """
const done = arguments[arguments.length - 1];
const want = arguments[0];
const started = performance.now();
(function look() {
    const found = window.announced.find(([, text]) => text === want);
    if (found || performance.now() - started > 5000)
        return done(found ? found[0] : null);
    setTimeout(look, 20);
})();
"""

# The page's download links clicked: each one's file name, and its file's
# type, size and first four bytes once read (the page keeps its address
# only for a while).
CATCH_DOWNLOADS = """
window.downloads = [];
HTMLAnchorElement.prototype.click = function () {
    const kept = {name: this.download};
    window.downloads.push(kept);
    fetch(this.href).then((r) => r.blob()).then(async (blob) => {
        kept.type = blob.type;
        kept.size = blob.size;
        kept.head = Array.from(new Uint8Array(await blob.slice(0, 4).arrayBuffer()));
        kept.url = URL.createObjectURL(blob);
    });
};
"""

# The brightest channel of a video's frame at its start and at its end, its
# size and its length: arguments[0] is the video's address.
VIDEO_FRAMES = """
const done = arguments[arguments.length - 1];
const video = document.createElement("video");
video.muted = true;
const brightest = () => {
    const c = document.createElement("canvas");
    c.width = video.videoWidth;
    c.height = video.videoHeight;
    const x = c.getContext("2d");
    x.drawImage(video, 0, 0);
    const data = x.getImageData(0, 0, c.width, c.height).data;
    let most = 0;
    for (let i = 0; i < data.length; i += 4)
        most = Math.max(most, data[i], data[i + 1], data[i + 2]);
    return most;
};
const seek = (t) => new Promise((resolve) => {
    video.addEventListener("seeked", resolve, {once: true});
    video.currentTime = t;
});
video.onerror = () => done("cannot play: " + video.error.message);
video.onloadedmetadata = async () => {
    // A recorded WebM tells its length only once played or sought to its end.
    await seek(1e6);
    const length = video.duration;
    await seek(0.1);
    const first = brightest();
    await seek(Math.max(0, length - 0.1));
    done({width: video.videoWidth, height: video.videoHeight, length: length, first: first, last: brightest()});
};
video.src = arguments[0];
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

    def replay_words(self, script):
        """What the replay tool's print text shows after script: its strings
        without the blanks around them, joined with one blank."""
        return ws.printed_words(ws.replay(self.tool, script + "print text\n", self.workdir.name).splitlines())

    @staticmethod
    def accessible(driver, selector):
        """An element's accessible name and description, as the browser
        hands them to a screen reader."""
        driver.execute_cdp_cmd("Accessibility.enable", {})
        root = driver.execute_cdp_cmd("DOM.getDocument", {})["root"]["nodeId"]
        node = driver.execute_cdp_cmd("DOM.querySelector", {"nodeId": root, "selector": selector})["nodeId"]
        tree = driver.execute_cdp_cmd("Accessibility.getPartialAXTree", {"nodeId": node, "fetchRelatives": False})
        found = tree["nodes"][0]
        return found["name"]["value"], found.get("description", {}).get("value", "")

    def test_screen_readers_hear_what_the_lcd_says(self):
        """The canvas's description is the LCD's words as expect text reads
        them (the replay tool's print text, joined); the live region says
        them when they change, no sooner than a second after the last
        announcement, and not while they stay the same."""
        driver = self.page()
        self.assertEqual(self.accessible(driver, "#LcdCanvas"), ("LCD: switched off", ""))
        main_words = self.replay_words("on\nwait 3\n")
        menu_words = self.replay_words("on\nwait 3\nkey push\nwait 3\n")
        self.assertEqual(menu_words, "K ova MAIN MENU ALT SETUP EXIT")
        self.assertEqual(main_words, "+1 +0 fpm 0 mph 0 ft 1013 mB -1")
        # On, then the knob pushed, in one go: the main display's words are
        # said at once (nothing was said before), the menu's wait.
        driver.execute_script(WATCH_ANNOUNCER)
        main, pushed_at, menu = driver.execute_script("""
            const said = () => [document.getElementById("LcdWords").textContent,
                                document.getElementById("Announcer").textContent];
            document.getElementById("Button1").click();
            window.ktr7.wait(3);
            const main = said();
            const at = performance.now();
            document.getElementById("Image8").click();
            window.ktr7.wait(3);
            return [main, at, said()];""")
        self.assertEqual(main, [main_words, main_words])
        self.assertEqual(menu, [menu_words, main_words])
        self.assertEqual(self.accessible(driver, "#LcdCanvas"), ("LCD: main menu", menu_words))
        said_at = driver.execute_async_script(AWAIT_ANNOUNCEMENT, menu_words)
        self.assertIsNotNone(said_at, "the menu's words announced")
        self.assertGreaterEqual(said_at - pushed_at, 1000)
        # Passes that draw the same words say nothing again.
        count = driver.execute_script("window.ktr7.wait(20); return window.announced.length")
        time.sleep(1.5)
        driver.execute_script("window.ktr7.wait(5)")
        self.assertEqual(driver.execute_script("return window.announced.length"), count)

        # The altitude changing at every tick for three seconds: the words
        # change thirty times, and are said at most once a second, the last
        # of them too.
        driver.execute_script("document.getElementById('Image8').click(); window.ktr7.wait(3)")
        driver.execute_async_script("""
            const done = arguments[arguments.length - 1];
            let step = 0;
            const climb = setInterval(() => {
                window.ktr7.setSlider(0, 100 + 10 * step);
                window.ktr7.wait(1);
                if (++step === 30) {
                    clearInterval(climb);
                    done(true);
                }
            }, 100);""")
        last = driver.execute_script("return document.getElementById('LcdWords').textContent")
        self.assertEqual(last, self.replay_words("on\nwait 3\nkey push\nwait 3\nkey push\nwait 3\n" +
                                                 "".join("altitude %d\nwait 1\n" % (100 + 10 * i)
                                                         for i in range(30))))
        self.assertIsNotNone(driver.execute_async_script(AWAIT_ANNOUNCEMENT, last), "the last words announced")
        times = [t for t, _ in driver.execute_script("return window.announced")[count:]]
        self.assertGreaterEqual(len(times), 2)
        self.assertLessEqual(len(times), 5)
        self.assertEqual([gap for gap in (b - a for a, b in zip(times, times[1:])) if gap < 1000], [])
        # Off: the canvas says so and describes nothing.
        driver.find_element(By.ID, "Button2").click()
        self.assertEqual(self.accessible(driver, "#LcdCanvas"), ("LCD: switched off", ""))

    def test_record_lcd_makes_a_webm_video(self):
        """Record LCD records the LCD as shown, on and then dark after Off,
        until Stop recording, and offers ktr7-lcd.webm; where the browser
        cannot record, the button is disabled and says why."""
        driver = self.page(query="")
        driver.execute_script(CATCH_DOWNLOADS)
        record = driver.find_element(By.ID, "RecordLcd")
        self.assertEqual(record.text, "Record LCD")
        driver.find_element(By.ID, "Button1").click()
        driver.execute_script("window.ktr7.setSlider(0, 3500)")
        record.click()
        self.assertEqual(record.text, "Stop recording")
        time.sleep(1)
        driver.find_element(By.ID, "Button2").click()
        time.sleep(0.6)
        self.assertEqual(record.text, "Stop recording", "Off does not stop the recording")
        record.click()
        self.assertEqual(record.text, "Record LCD")
        deadline = time.time() + 10
        while time.time() < deadline and "url" not in (driver.execute_script("return window.downloads") or [{}])[-1]:
            time.sleep(0.1)
        downloads = driver.execute_script("return window.downloads")
        self.assertEqual(len(downloads), 1)
        video = downloads[0]
        self.assertEqual((video["name"], video["type"]), ("ktr7-lcd.webm", "video/webm"))
        self.assertGreater(video["size"], 0)
        self.assertEqual(video["head"], [0x1A, 0x45, 0xDF, 0xA3], "a WebM (EBML) file")
        self.assertEqual(driver.find_element(By.ID, "Announcer").get_attribute("textContent"),
                         "LCD recording saved as ktr7-lcd.webm.")
        frames = driver.execute_async_script(VIDEO_FRAMES, video["url"])
        self.assertIsInstance(frames, dict, frames)
        canvas = driver.execute_script("const c = document.getElementById('LcdCanvas'); return [c.width, c.height]")
        self.assertEqual([frames["width"], frames["height"]], canvas)
        self.assertGreaterEqual(frames["length"], 1.0)
        # White text at first; at the end the page's dark LCD (a fifth of
        # the brightness), with the codec's error.
        self.assertGreater(frames["first"], 200)
        self.assertLess(frames["last"], 80)

        # The recorder's format: VP9, else VP8, else plain WebM; none, or no
        # recorder or canvas stream: disabled with the reason.
        rows = [("all formats", "", None, "video/webm;codecs=vp9"),
                ("no VP9", "const t = MediaRecorder.isTypeSupported; MediaRecorder.isTypeSupported ="
                           " (type) => !type.includes('vp9') && t.call(MediaRecorder, type);",
                 None, "video/webm;codecs=vp8"),
                ("plain WebM only", "MediaRecorder.isTypeSupported = (type) => type === 'video/webm';",
                 None, "video/webm"),
                ("no WebM", "MediaRecorder.isTypeSupported = () => false;",
                 "This browser cannot record WebM video", None),
                ("no MediaRecorder", "delete window.MediaRecorder;",
                 "This browser cannot record video (it has no MediaRecorder)", None),
                ("no captureStream", "delete HTMLCanvasElement.prototype.captureStream;",
                 "This browser cannot record a canvas (it has no captureStream)", None)]
        # Remembers the format each recorder is made with.
        remember = ("if (window.MediaRecorder) { const Made = MediaRecorder;"
                    "window.MediaRecorder = class extends Made {"
                    " constructor(stream, options) { super(stream, options); window.madeWith = options.mimeType; } };"
                    "window.MediaRecorder.isTypeSupported = (type) => Made.isTypeSupported(type); }")
        for name, change, why, made_with in rows:
            with self.subTest(name):
                added = driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument",
                                               {"source": remember + change + CATCH_DOWNLOADS})
                ws.open_page(driver, self.server.url + "?clock=manual")
                record = driver.find_element(By.ID, "RecordLcd")
                self.assertEqual((record.is_enabled(), record.get_attribute("title")),
                                 (why is None, why or "Record the LCD as shown, as a WebM video, until Stop recording"))
                if why is None:
                    record.click()
                    record.click()
                    self.assertEqual(driver.execute_script("return window.madeWith"), made_with)
                driver.execute_cdp_cmd("Page.removeScriptToEvaluateOnNewDocument", {"identifier": added["identifier"]})

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
