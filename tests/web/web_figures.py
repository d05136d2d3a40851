"""Figures of the web page for the README: the size of the WebAssembly, the
page's load time in headless Chromium (fresh profile each time, served from
127.0.0.1), the time of one pass in the browser (bench.html), passes a
second with serial output on into an empty and a full Communications box,
and the ticks kept over a minute of a frozen (hidden) page.

    scripts/web.sh && /usr/bin/python3 tests/web/web_figures.py [LOADS]"""

import os
import statistics
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import web_support as ws  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SITE = os.environ.get("KTR7_WEB_SITE", os.path.join(ROOT, "build", "web", "site"))

# From the start of navigation: the page's own script ran, the module is
# compiled and instantiated, the first picture is drawn.
LOAD_TIMES = """
return window.ktr7.readyAt();
"""

# Passes and frames over some seconds of the live clock.
PASSES_PER_SECOND = """
const done = arguments[arguments.length - 1];
const seconds = arguments[0];
const start = [performance.now(), window.ktr7.passes()];
let frames = 0;
const count = () => { frames++; if (performance.now() - start[0] < seconds * 1000) requestAnimationFrame(count); else
    done([(window.ktr7.passes() - start[1]) * 1000 / (performance.now() - start[0]), frames / seconds,
          window.ktr7Communications.count()]); };
requestAnimationFrame(count);
"""

MEASURE_SECONDS = 5
HIDDEN_SECONDS = 60


def box_figures(server):
    """Passes a second with serial output on: an empty box (cleared just
    before), then a full one (10,000 lines)."""
    driver, profile = ws.start_chromium()
    try:
        ws.open_page(driver, server.url)
        driver.execute_script("window.ktr7.inFlight(3500, 600, 1400); window.ktr7Communications.clear()")
        empty = driver.execute_async_script(PASSES_PER_SECOND, MEASURE_SECONDS)
        driver.execute_script("window.ktr7.wait(10000)")
        full = driver.execute_async_script(PASSES_PER_SECOND, MEASURE_SECONDS)
        for name, (passes, frames, lines) in (("empty", empty), ("full", full)):
            print("serial output on, %s box (%d lines at the end): %.1f passes/s, %.1f frames/s"
                  % (name, lines, passes, frames))
    finally:
        ws.stop_chromium(driver, profile)


def hidden_minute(server):
    """The page frozen for a minute, as a hidden tab is, then shown again."""
    driver, profile = ws.start_chromium()
    try:
        ws.open_page(driver, server.url)
        driver.execute_script("document.getElementById('Button1').click()")
        time.sleep(1)
        state = "return [performance.now(), window.ktr7.ticks(), window.ktr7.passes()]"
        before = driver.execute_script(state)
        driver.execute_cdp_cmd("Page.setWebLifecycleState", {"state": "frozen"})
        time.sleep(HIDDEN_SECONDS)
        driver.execute_cdp_cmd("Page.setWebLifecycleState", {"state": "active"})
        driver.execute_cdp_cmd("Emulation.setFocusEmulationEnabled", {"enabled": True})
        time.sleep(0.5)
        after = driver.execute_script(state)
        due = int(after[0] // 100) - int(before[0] // 100)
        print("hidden for %d s: %d ticks fell due, %d ran, with %d passes"
              % (HIDDEN_SECONDS, due, after[1] - before[1], after[2] - before[2]))
    finally:
        ws.stop_chromium(driver, profile)


def main():
    loads = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    wasm = os.path.getsize(os.path.join(SITE, "ktr7.wasm"))
    script = os.path.getsize(os.path.join(SITE, "ktr7.js"))
    print("ktr7.wasm: %d bytes; ktr7.js: %d bytes" % (wasm, script))

    server = ws.SiteServer(SITE)
    try:
        ready = []
        for _ in range(loads):
            driver, profile = ws.start_chromium()
            try:
                ws.open_page(driver, server.url)
                ready.append(driver.execute_script(LOAD_TIMES))
            finally:
                ws.stop_chromium(driver, profile)
        print("load to first picture, %d fresh loads: median %.0f ms (%.0f..%.0f)"
              % (loads, statistics.median(ready), min(ready), max(ready)))

        driver, profile = ws.start_chromium()
        try:
            times = []
            for _ in range(3):
                driver.get(server.url + "bench.html")
                times.append(driver.execute_async_script(
                    "const done = arguments[arguments.length - 1];"
                    "window.ktr7Bench.then(done, (e) => done(-1));"))
            best = min(times)
            print("run_pass in Chromium, main display, serial output on: %.2f us" % best)
        finally:
            ws.stop_chromium(driver, profile)
        box_figures(server)
        hidden_minute(server)
    finally:
        server.close()


if __name__ == "__main__":
    main()
