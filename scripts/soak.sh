#!/usr/bin/env bash
# Soak of the real window under Xvfb with serial output on: resident memory
# and pass rate sampled every 30 s.   scripts/soak.sh [SECONDS]  (default 600)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh

ktr7_ensure_packages
cmake -S . -B build/soak -DCMAKE_BUILD_TYPE=Release -DKTR7_TESTS=ON
cmake --build build/soak -j"$(nproc)" --target ktr7_soak
export QT_QPA_PLATFORM=xcb
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" build/soak/tests/window/ktr7_soak "${1:-600}" 30
