"""A flight's review page (ktr7-replay --flight LOG --report PAGE) opened
from its file in headless Chromium, offline: the three plots drawn, with the
series in their colours and the ASI's bands behind the airspeed, the LCD
pictures decoded at their size with their times, and nothing loaded from
anywhere but the page itself.

Environment: KTR7_REPLAY (default the test build's ktr7-replay)."""

import os
import subprocess
import sys
import tempfile
import unittest

from selenium.webdriver.support.ui import WebDriverWait

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import web_support as ws  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
REPLAY = os.environ.get("KTR7_REPLAY", os.path.join(ROOT, "build", "test", "replay", "ktr7-replay"))
EXAMPLE = os.path.join(ROOT, "scenarios", "flights", "example.igc")

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
        WebDriverWait(cls.driver, 30).until(lambda d: d.execute_script(
            "return document.querySelectorAll('.plot[data-drawn=yes]').length") == 3)

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


if __name__ == "__main__":
    unittest.main()
