#!/usr/bin/env bash
# Fuzzes the replay tool's scenario parser with libFuzzer for a bounded time.
#   scripts/fuzz.sh [SECONDS]     (default 60)
# The committed scenarios seed the corpus; new finds go to build/fuzz/corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh

ktr7_ensure_packages clang libfuzzer-14-dev libclang-rt-14-dev
CC=clang CXX=clang++ ktr7_build fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKTR7_WINDOW=OFF -DKTR7_TESTS=OFF \
    -DKTR7_FUZZ=ON
mkdir -p build/fuzz/corpus
cd build/fuzz
./tests/fuzz/fuzz_replay -max_total_time="${1:-60}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    corpus ../../tests/scenarios
