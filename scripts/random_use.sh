#!/usr/bin/env bash
# Random use of the instrument under AddressSanitizer and UBSan.
#   scripts/random_use.sh [EVENTS] [SEED]     (default: ten million events, a clock seed)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh

ktr7_ensure_packages
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKTR7_WINDOW=OFF -DKTR7_SANITIZE=ON
cmake --build build/asan -j"$(nproc)" --target test_random_use
export KTR7_RANDOM_EVENTS=${1:-10000000}
[ -n "${2:-}" ] && export KTR7_RANDOM_SEED=$2
exec build/asan/tests/test_random_use
