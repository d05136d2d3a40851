"""A flight's review page (ktr7-replay --flight LOG --report PAGE) opened
from its file in headless Chromium, offline: the three plots drawn, with the
series in their colours and the ASI's bands behind the airspeed, the LCD
pictures decoded at their size with their times, and nothing loaded from
anywhere but the page itself. Then the web page's Report button after the
example flight played there: the page it downloads, made by the same code,
shows the same pictures as the replay tool's at the same moments.

Environment: KTR7_REPLAY (default the test build's ktr7-replay),
KTR7_WEB_SITE (default build/web/site)."""

import base64
import os
import subprocess
import sys
import tempfile
import time
import unittest

from selenium.webdriver.common.by import By

from selenium.webdriver.support.ui import WebDriverWait

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import web_support as ws  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
REPLAY = os.environ.get("KTR7_REPLAY", os.path.join(ROOT, "build", "test", "replay", "ktr7-replay"))
EXAMPLE = os.path.join(ROOT, "scenarios", "flights", "example.igc")
SITE = os.environ.get("KTR7_WEB_SITE", os.path.join(ROOT, "build", "web", "site"))
GOLDEN = os.path.join(ROOT, "tests", "flights", "review")

# The example flight's moments, in time order (the unit tests hold their
# pictures).
MOMENTS = [
    "10:01:07.7 take-off",
    "10:03:59.0 highest altitude 3074 ft",
    "10:06:17.4 overspeed alarm",
    "10:06:18.9 highest airspeed 229 mph",
    "10:10:02.3 stall alarm",
    "10:10:05.2 landing",
]

# How many pixels of each plot's canvases show a colour.
COUNT_COLOURS = """
const counts = {};
for (const [id, colours] of Object.entries(arguments[0])) {
    const canvases = document.querySelectorAll("#" + id + " canvas");
    counts[id] = colours.map(() => 0);
    for (const canvas of canvases) {
        if (canvas.width === 0 || canvas.height === 0)
            continue;
        const data = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
        for (let i = 0; i < data.length; i += 4)
            colours.forEach((c, k) => {
                if (Math.abs(data[i] - c[0]) <= c[3] && Math.abs(data[i + 1] - c[1]) <= c[3] &&
                    Math.abs(data[i + 2] - c[2]) <= c[3] && Math.abs(data[i + 3] - c[4]) <= c[5])
                    counts[id][k]++;
            });
    }
}
return counts;
"""

# (r, g, b, tolerance, alpha, tolerance) on the canvas, which is clear
# where nothing is drawn: the altitude shown, the vertical speed and the
# airspeed (opaque lines, smoothed at their edges), and the caution band
# (rgba(240, 190, 0, 0.25)).
COLOURS = {
    "altitude-plot": [(0xC0, 0x39, 0x2B, 40, 255, 40)],
    "vsi-plot": [(0x1B, 0x7F, 0x3B, 40, 255, 40)],
    "airspeed-plot": [(0x1F, 0x4F, 0x9A, 40, 255, 40), (240, 190, 0, 4, 64, 4)],
}


# The figures' pictures against reference pictures (data: URIs), colour for
# colour once both are drawn at the same size: how many pixels differ, or -1
# for a picture that did not load.
COMPARE_PICTURES = """
const done = arguments[arguments.length - 1];
const references = arguments[0];
const load = (source) => new Promise((resolve) => {
    const image = new Image();
    image.onload = () => resolve(image);
    image.onerror = () => resolve(null);
    image.src = source;
});
const pixels = (image) => {
    const canvas = document.createElement("canvas");
    canvas.width = 320;
    canvas.height = 256;
    const context = canvas.getContext("2d");
    context.imageSmoothingEnabled = false;
    context.drawImage(image, 0, 0, 320, 256);
    return context.getImageData(0, 0, 320, 256).data;
};
Promise.all(Array.from(document.querySelectorAll("figure img")).map(async (img, i) => {
    const reference = await load(references[i]);
    if (!img.complete || img.naturalWidth === 0 || !reference)
        return -1;
    const a = pixels(img), b = pixels(reference);
    let differing = 0;
    for (let p = 0; p < a.length; p += 4)
        if (a[p] !== b[p] || a[p + 1] !== b[p + 1] || a[p + 2] !== b[p + 2])
            differing++;
    return differing;
})).then(done);
"""


def reference_uri(name):
    with open(os.path.join(GOLDEN, name), "rb") as f:
        return "data:image/png;base64," + base64.b64encode(f.read()).decode()


class ReviewPage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.TemporaryDirectory(prefix="ktr7-review-")
        cls.page = os.path.join(cls.work.name, "review.html")
        result = subprocess.run([REPLAY, "--flight", EXAMPLE, "--report", cls.page], capture_output=True,
                                text=True, timeout=120)
        if result.returncode != 0:
            raise AssertionError("ktr7-replay --report failed (%d): %s" % (result.returncode, result.stderr))
        cls.driver, cls.profile = ws.start_chromium(1280, 900)
        cls.driver.get("file://" + cls.page)
        # The page's script marks each plot once dygraphs has drawn it.
        ws_wait_drawn(cls.driver)

    @classmethod
    def tearDownClass(cls):
        ws.stop_chromium(cls.driver, cls.profile)
        cls.work.cleanup()

    def test_the_plots_are_drawn(self):
        counts = self.driver.execute_script(COUNT_COLOURS, COLOURS)
        for plot, colours in COLOURS.items():
            for k, colour in enumerate(colours):
                # A line across a plot a thousand pixels wide, or a band.
                self.assertGreater(counts[plot][k], 500, "%s: colour %s drawn on %d pixels" %
                                   (plot, colour[:3], counts[plot][k]))
        # The time axis reads the time of day of the flight.
        labels = self.driver.execute_script(
            "return Array.from(document.querySelectorAll('#airspeed-plot .dygraph-axis-label-x'))"
            ".map(e => e.textContent);")
        self.assertIn("10:05", labels)
        # The legend of a plot names its series.
        legend = self.driver.find_element("id", "altitude-plot-legend").text
        self.assertIn("altitude shown", legend)
        self.assertIn("logged pressure altitude", legend)

    def test_the_pictures_are_loaded(self):
        figures = self.driver.execute_script(
            "return Array.from(document.querySelectorAll('figure')).map(f => {"
            " const img = f.querySelector('img');"
            " return [img.complete, img.naturalWidth, img.naturalHeight, img.src.slice(0, 22),"
            "         f.querySelector('figcaption').textContent]; });")
        self.assertEqual([f[4] for f in figures], MOMENTS)
        for complete, width, height, source, caption in figures:
            self.assertTrue(complete, caption)
            self.assertEqual((width, height), (320, 256), caption)
            self.assertEqual(source, "data:image/png;base64,", caption)

    def test_nothing_is_fetched(self):
        fetched = self.driver.execute_script(
            "return performance.getEntriesByType('resource').map(e => e.name)"
            ".filter(n => !n.startsWith('data:'));")
        self.assertEqual(fetched, [])


class ReportButton(unittest.TestCase):
    """The web page's Report button, after the example played there with
    the factory's MANUAL flight timer: no take-off or landing, so the
    moments are the highest altitude and airspeed and the overspeed alarm,
    whose pictures are the replay tool's at the same ticks."""

    def test_the_report_downloaded(self):
        if not os.path.isfile(os.path.join(SITE, "ktr7.js")):
            self.fail("no web page built at %s (scripts/web.sh builds it)" % SITE)
        server = ws.SiteServer(SITE)
        downloads = tempfile.TemporaryDirectory(prefix="ktr7-review-downloads-")
        driver, profile = ws.start_chromium(1280, 900)
        try:
            driver.execute_cdp_cmd("Page.setDownloadBehavior", {"behavior": "allow",
                                                                "downloadPath": downloads.name})
            ws.open_page(driver, server.url + "?clock=manual")
            report = driver.find_element(By.ID, "FlightReport")
            self.assertFalse(report.is_enabled(), "Report without a flight")
            driver.find_element(By.ID, "FlightFile").send_keys(EXAMPLE)
            deadline = time.time() + 10
            while not report.is_enabled() and time.time() < deadline:
                time.sleep(0.1)
            # Nothing played yet: no report, and the bar says so.
            report.click()
            time.sleep(0.5)
            self.assertEqual(driver.find_element(By.ID, "FlightMessage").text, "No report yet: play the flight first")
            self.assertEqual(os.listdir(downloads.name), [])
            # The whole flight at 1x on the page's clock, then the report.
            driver.execute_script("window.ktr7.wait(6600)")
            report.click()
            page = os.path.join(downloads.name, "example-review.html")
            deadline = time.time() + 30
            while not os.path.isfile(page) and time.time() < deadline:
                time.sleep(0.2)
            self.assertTrue(os.path.isfile(page), "nothing downloaded: %s" % os.listdir(downloads.name))
            time.sleep(0.5)
            driver.get("file://" + page)
            ws_wait_drawn(driver)
            captions = driver.execute_script(
                "return Array.from(document.querySelectorAll('figcaption')).map(f => f.textContent)")
            self.assertEqual(captions, [MOMENTS[1], MOMENTS[2], MOMENTS[3]])
            differing = driver.execute_async_script(COMPARE_PICTURES, [
                reference_uri(name) for name in ("highest_altitude.png", "overspeed_alarm.png",
                                                 "highest_airspeed.png")])
            self.assertEqual(differing, [0, 0, 0])
            summary = driver.find_element(By.TAG_NAME, "table").text
            self.assertIn("Flights detected 0", summary)
            self.assertIn("TIMERS FLIGHT MANUAL", driver.find_elements(By.TAG_NAME, "table")[1].text)
        finally:
            ws.stop_chromium(driver, profile)
            server.close()
            downloads.cleanup()


def ws_wait_drawn(driver):
    """Until the page's script has drawn its three plots."""
    WebDriverWait(driver, 30).until(lambda d: d.execute_script(
        "return document.querySelectorAll('.plot[data-drawn=yes]').length") == 3)


if __name__ == "__main__":
    unittest.main()
