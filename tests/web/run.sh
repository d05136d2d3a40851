#!/usr/bin/env bash
# The web page's tests: builds the page (scripts/web.sh) and drives it in
# headless Chromium, comparing its LCD with the replay tool's pictures; then
# a flight's review page that the replay tool writes. On a machine without
# Emscripten, Chromium, its driver or Debian's Selenium they cannot start:
# this says what is missing and fails (test.sh installs them).
#
#   tests/web/run.sh [REPLAY_TOOL]    (default: build/test's ktr7-replay)
set -euo pipefail
cd "$(dirname "$0")/../.."
. scripts/common.sh

replay=${1:-build/test/replay/ktr7-replay}
missing=()
command -v emcmake >/dev/null 2>&1 || missing+=("Emscripten (emcmake)")
[ -x /usr/bin/chromium ] || missing+=("Chromium (/usr/bin/chromium)")
[ -x /usr/bin/chromedriver ] || missing+=("its driver (/usr/bin/chromedriver)")
/usr/bin/python3 -c 'import selenium' >/dev/null 2>&1 || missing+=("Selenium for /usr/bin/python3")
if [ ${#missing[@]} -gt 0 ]; then
    echo "tests/web/run.sh: the web page's tests cannot start: missing $(IFS=,; echo "${missing[*]}" | sed 's/,/, /g')." >&2
    echo "Install emscripten chromium chromium-driver python3-selenium (test.sh does) to run them." >&2
    exit 1
fi
if [ ! -x "$replay" ]; then
    echo "tests/web/run.sh: no replay tool at $replay" >&2
    exit 1
fi

scripts/web.sh
KTR7_REPLAY=$replay KTR7_WEB_SITE=build/web/site /usr/bin/python3 tests/web/test_web_page.py
KTR7_REPLAY=$replay KTR7_WEB_SITE=build/web/site /usr/bin/python3 tests/web/test_web_use.py
# A flight's review page, opened from its file, and the page's Report button.
KTR7_REPLAY=$replay KTR7_WEB_SITE=build/web/site /usr/bin/python3 tests/web/test_review_page.py
