#!/usr/bin/env bash
# Builds everything and runs every test: unit tests, replay scenarios, and the
# window tests on a virtual X server that this script starts itself.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh

ktr7_ensure_packages
# KTR7_PYTHON: the Python module, whose pytest suite (CTest's python.pytest)
# runs against it here and, with the sanitizers' runtime preloaded into
# Python, in the AddressSanitizer build below.
ktr7_build test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKTR7_TESTS=ON -DKTR7_PYTHON=ON
# The instrument and its unit tests once more under AddressSanitizer and
# UndefinedBehaviorSanitizer; the random-use test runs its events there.
ktr7_build asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKTR7_WINDOW=OFF -DKTR7_SANITIZE=ON -DKTR7_PYTHON=ON
# The scenario parser, the flight readers and the link's line reader under
# libFuzzer for a bounded time.
scripts/fuzz.sh 60

# The window tests need an X server; use a private one whatever DISPLAY says,
# so a desktop session is left alone and CI without a display works the same.
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
    ctest --test-dir build/test --output-on-failure -j"$(nproc)" --timeout 600 -E '^RandomUse'
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build/asan --output-on-failure -j"$(nproc)" --timeout 1200
# The web page built with Emscripten and driven in headless Chromium (installed
# above); a web test that cannot start fails.
tests/web/run.sh build/test/replay/ktr7-replay
