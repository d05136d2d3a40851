#!/usr/bin/env bash
# Line and branch coverage of the instrument code (gfx/, core/, screens/)
# from the unit and scenario tests. Report: build/coverage/coverage.html.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh

ktr7_ensure_packages gcovr
ktr7_build coverage -DCMAKE_BUILD_TYPE=Debug -DKTR7_WINDOW=OFF -DKTR7_COVERAGE=ON
find build/coverage -name '*.gcda' -delete
KTR7_RANDOM_EVENTS=${KTR7_RANDOM_EVENTS:-20000} ctest --test-dir build/coverage -j"$(nproc)" --output-on-failure
gcovr --root . --object-directory build/coverage \
    --filter 'gfx/' --filter 'core/' --filter 'screens/' \
    --exclude 'gfx/fonts/' --exclude 'gfx/icons/' \
    --txt --html-details build/coverage/coverage.html \
    --print-summary
