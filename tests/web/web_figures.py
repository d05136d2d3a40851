"""Figures of the web page for the README: the size of the WebAssembly, the
page's load time in headless Chromium (fresh profile each time, served from
127.0.0.1), and the time of one pass in the browser (bench.html).

    scripts/web.sh && /usr/bin/python3 tests/web/web_figures.py [LOADS]"""

import os
import statistics
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import web_support as ws  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SITE = os.environ.get("KTR7_WEB_SITE", os.path.join(ROOT, "build", "web", "site"))

# From the start of navigation: the page's own script ran, the module is
# compiled and instantiated, the first picture is drawn.
LOAD_TIMES = """
return window.ktr7.readyAt();
"""


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
    finally:
        server.close()


if __name__ == "__main__":
    main()
