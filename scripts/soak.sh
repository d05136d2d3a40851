#!/usr/bin/env bash
# Soak of the real window under Xvfb with serial output on: resident memory,
# pass rate and CPU use (% of one core) sampled every SAMPLE seconds.
#   scripts/soak.sh [SECONDS] [SAMPLE] [minimised] [quiet]   (default 600 and 30)
# "quiet" leaves serial output off (the main display alone).
# "minimised" runs a small window manager (twm) on the virtual display so the
# window can really be minimised.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh

ktr7_ensure_packages twm
cmake -S . -B build/soak -DCMAKE_BUILD_TYPE=Release -DKTR7_TESTS=OFF -DKTR7_BENCH=ON
cmake --build build/soak -j"$(nproc)" --target ktr7_soak
export QT_QPA_PLATFORM=xcb
seconds=${1:-600}
sample=${2:-30}
shift $(($# < 2 ? $# : 2))
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
    bash -c 'twm >/dev/null 2>&1 & sleep 1; exec "$@"' soak build/soak/bench/ktr7_soak "$seconds" "$sample" "$@"
