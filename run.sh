#!/usr/bin/env bash
# Builds the simulator and starts its window.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh

ktr7_ensure_packages
ktr7_build run -DCMAKE_BUILD_TYPE=Release -DKTR7_TESTS=OFF

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    cat >&2 <<MSG
The simulator is built (build/run/window/ktr7-sim), but there is no display to
open its window on: neither DISPLAY nor WAYLAND_DISPLAY is set.
Run it from a desktop session, or under a virtual X server:
    xvfb-run -a ./run.sh
MSG
    exit 1
fi
exec build/run/window/ktr7-sim "$@"
