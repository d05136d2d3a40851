"""Shared by the web page's tests and figures: a local server for the built
site, headless Chromium through Selenium, the replay tool's reference
pictures, and the canvas read back as palette indices."""

import functools
import http.server
import os
import re
import shutil
import struct
import subprocess
import tempfile
import threading
import zlib

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

LCD_WIDTH = 160
LCD_HEIGHT = 128
LCD_BYTES = LCD_WIDTH * LCD_HEIGHT

CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, format, *args):
        pass


class SiteServer:
    """The built site on 127.0.0.1 at a free port, served from a thread."""

    def __init__(self, site):
        handler = functools.partial(QuietHandler, directory=site)
        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.url = "http://127.0.0.1:%d/" % self.httpd.server_address[1]
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


def start_chromium(width=1280, height=900, mobile=False):
    """Headless Chromium with a fresh profile and nothing that reaches out to
    the network. Returns the driver and the profile folder to remove."""
    profile = tempfile.mkdtemp(prefix="ktr7-chromium-")
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
                "--disable-component-update", "--disable-sync", "--no-first-run",
                "--disable-dev-shm-usage", "--hide-scrollbars", "--force-device-scale-factor=1",
                "--user-data-dir=" + profile, "--window-size=%d,%d" % (width, height)):
        options.add_argument(arg)
    if mobile:
        options.add_experimental_option("mobileEmulation", {
            "deviceMetrics": {"width": width, "height": height, "pixelRatio": 1, "touch": True},
            "userAgent": "Mozilla/5.0 (Linux; Android 13) Mobile"})
    driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
    driver.set_script_timeout(60)
    return driver, profile


def emulate_screen(driver, width, height, ratio=1, touch=False):
    """The viewport, pixel ratio and touch screen of a device, through the
    DevTools protocol (before the page is loaded)."""
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": width, "height": height, "deviceScaleFactor": ratio, "mobile": touch})
    driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": touch, "maxTouchPoints": 5})


# Switched on in flight (3500 ft, 600 ft/min climb, an airspeed over the
# alarm's), serial output on, and a full Communications box.
IN_FLIGHT_WITH_SERIAL = """
window.ktr7.inFlight(3500, 600, 2600);
window.ktr7.wait(10020);
"""


def stop_chromium(driver, profile):
    try:
        driver.quit()
    finally:
        shutil.rmtree(profile, ignore_errors=True)


def open_page(driver, url):
    """Loads the page and waits until the instrument module is running."""
    driver.get(url)
    driver.execute_async_script(
        "const done = arguments[arguments.length - 1];"
        "window.ktr7.ready.then(() => done(true), (e) => done(String(e)));")


# Presses "Play scenario" and steps the manual clock until the run has ended
# (or twenty seconds have passed): the result line, and the report's lines
# with whether each is a failure.
PLAY_TO_THE_END = """
const done = arguments[arguments.length - 1];
const box = window.ktr7Scenarios;
const runs = box.runsFinished();
document.getElementById("PlayScenario").click();
const started = performance.now();
(function step() {
    if (box.runsFinished() > runs || performance.now() - started > 20000)
        return done([document.getElementById("ScenarioResult").textContent,
                     Array.from(document.getElementById("ScenarioLog").children,
                                (e) => [e.textContent, e.className === "failed"])]);
    if (box.playing())
        window.ktr7.wait(1);
    setTimeout(step, 0);
})();
"""


def play_scenario(driver):
    """Plays the scenario chosen in the page's box to its end: the result
    line and the report lines, each with whether it is a failure."""
    result, log = driver.execute_async_script(PLAY_TO_THE_END)
    return result, [(line, failed) for line, failed in log]


def replay(tool, script, workdir):
    """Runs the replay tool over script; returns its standard output."""
    result = subprocess.run([tool], input=script, capture_output=True, text=True, cwd=workdir,
                            timeout=120)
    if result.returncode != 0:
        raise AssertionError("ktr7-replay failed (%d): %s" % (result.returncode, result.stderr))
    return result.stdout


def printed_words(lines):
    """What the replay tool's print text lines among lines show: the strings
    without the blanks around them, joined with one blank, as expect text
    reads them."""
    strings = [re.match(r'^"(.*)" at \d+ \d+ size \d+ ', line).group(1) for line in lines
               if line.startswith('"')]
    return " ".join(s.strip(" ") for s in strings if s.strip(" "))


def read_indexed_png(path):
    """The palette and the pixel indices of an 8-bit indexed PNG (what the
    replay tool's png command writes), undoing the row filters."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG: " + path)
    pos = 8
    width = height = None
    palette = []
    idat = b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            width, height, depth, colour_type = struct.unpack(">IIBB", body[:10])
            if depth != 8 or colour_type != 3:
                raise ValueError("not an 8-bit indexed PNG: " + path)
        elif kind == b"PLTE":
            palette = [tuple(body[i:i + 3]) for i in range(0, len(body), 3)]
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
    raw = zlib.decompress(idat)
    pixels = bytearray()
    previous = bytearray(width)
    stride = width + 1
    for y in range(height):
        kind = raw[y * stride]
        row = bytearray(raw[y * stride + 1:(y + 1) * stride])
        for x in range(width):
            left = row[x - 1] if x > 0 else 0
            up = previous[x]
            corner = previous[x - 1] if x > 0 else 0
            if kind == 1:
                row[x] = (row[x] + left) & 0xFF
            elif kind == 2:
                row[x] = (row[x] + up) & 0xFF
            elif kind == 3:
                row[x] = (row[x] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                predictor = left if pa <= pb and pa <= pc else (up if pb <= pc else corner)
                row[x] = (row[x] + predictor) & 0xFF
            elif kind != 0:
                raise ValueError("unknown PNG filter %d" % kind)
        pixels += row
        previous = row
    return palette, width, height, bytes(pixels)


# Reads the canvas back, checks that every LCD pixel is a square of one
# colour, and returns the colours (r, g, b) row by row, or a description of
# the first square that is not uniform.
READ_CANVAS = """
const canvas = document.getElementById("LcdCanvas");
const s = canvas.width / 160;
if (canvas.height !== 128 * s || s !== Math.floor(s))
    return {error: "canvas " + canvas.width + " x " + canvas.height};
const data = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
const colours = [];
for (let y = 0; y < 128; y++)
    for (let x = 0; x < 160; x++) {
        const first = ((y * s) * canvas.width + x * s) * 4;
        for (let dy = 0; dy < s; dy++)
            for (let dx = 0; dx < s; dx++) {
                const at = ((y * s + dy) * canvas.width + x * s + dx) * 4;
                for (let c = 0; c < 4; c++)
                    if (data[at + c] !== data[first + c])
                        return {error: "LCD pixel " + x + "," + y + " is not one colour"};
            }
        if (data[first + 3] !== 255)
            return {error: "LCD pixel " + x + "," + y + " is not opaque"};
        colours.push((data[first] << 16) | (data[first + 1] << 8) | data[first + 2]);
    }
return {scale: s, colours: colours};
"""


def canvas_colours(driver):
    """The canvas as 20480 colours 0xRRGGBB, one per LCD pixel."""
    result = driver.execute_script(READ_CANVAS)
    if "error" in result:
        raise AssertionError("canvas: " + result["error"])
    return result["scale"], result["colours"]


def first_difference(expected, actual):
    for i, (e, a) in enumerate(zip(expected, actual)):
        if e != a:
            return "pixel %d,%d: expected %s, page has %s" % (i % LCD_WIDTH, i // LCD_WIDTH, e, a)
    return None


def find_replay_tool():
    """The replay tool the test command built, or the one named in KTR7_REPLAY."""
    named = os.environ.get("KTR7_REPLAY")
    if named:
        return os.path.abspath(named)
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    for folder in ("test", "run"):
        path = os.path.join(root, "build", folder, "replay", "ktr7-replay")
        if os.access(path, os.X_OK):
            return path
    raise RuntimeError("no ktr7-replay built; set KTR7_REPLAY")
