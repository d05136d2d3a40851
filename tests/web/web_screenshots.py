"""Screenshots of the web page at the sizes its users meet it, for a person to
look at: 1920 x 1080, 1280 x 800, 1280 x 577 (a 1280 x 720 laptop at 150 %),
768 x 1024, and a 390 x 844 phone (pixel ratio 3, touch). The instrument is
switched on, in the airspeed alarm, with serial output on and a full
Communications box, four minutes into the example flight. Also prints what
each layout chose.

    scripts/web.sh && /usr/bin/python3 tests/web/web_screenshots.py [FOLDER]"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import web_support as ws  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SITE = os.environ.get("KTR7_WEB_SITE", os.path.join(ROOT, "build", "web", "site"))

SIZES = [("1920x1080", 1920, 1080, 1, False), ("1280x800", 1280, 800, 1, False),
         ("1280x577", 1280, 577, 1.5, False), ("768x1024", 768, 1024, 1, False),
         ("phone_390x844", 390, 844, 3, True)]

# The example flight opened in the flight bar (which plays it) and played
# for four minutes at 60x.
OPEN_EXAMPLE_FLIGHT = """
const done = arguments[arguments.length - 1];
fetch("scenarios/flights/example.igc").then((r) => r.text()).then((text) => {
    window.ktr7Flights.load("example.igc", text);
    const speed = document.getElementById("FlightSpeed");
    speed.value = "60";
    speed.dispatchEvent(new Event("change"));
    window.ktr7.wait(40);
    done(true);
});
"""

LAYOUT = """
const box = (id) => document.getElementById(id).getBoundingClientRect();
const bottom = Math.max(...Array.from(document.querySelectorAll("button, select, input"),
                                      (e) => e.getBoundingClientRect().bottom));
return {scale: window.ktr7.scale(), stacked: document.body.classList.contains("stacked"),
        fits: document.body.classList.contains("fits"), lowestControl: Math.round(bottom),
        viewport: [document.documentElement.clientWidth, window.innerHeight], dpr: window.devicePixelRatio};
"""


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "web-shots")
    os.makedirs(folder, exist_ok=True)
    server = ws.SiteServer(SITE)
    try:
        for name, width, height, ratio, touch in SIZES:
            driver, profile = ws.start_chromium(width, height)
            try:
                ws.emulate_screen(driver, width, height, ratio, touch)
                ws.open_page(driver, server.url + "?clock=manual")
                driver.execute_script(ws.IN_FLIGHT_WITH_SERIAL)
                driver.execute_async_script(OPEN_EXAMPLE_FLIGHT)
                print(name, driver.execute_script(LAYOUT))
                driver.save_screenshot(os.path.join(folder, "page_%s.png" % name))
            finally:
                ws.stop_chromium(driver, profile)
    finally:
        server.close()


if __name__ == "__main__":
    main()
