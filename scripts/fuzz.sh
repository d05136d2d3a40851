#!/usr/bin/env bash
# Fuzzes the replay tool's scenario parser, the flight readers (IGC, GPX)
# and the flight simulator link's line reader with libFuzzer for a bounded
# time in all: two fifths of it for the scenarios, a fifth for each reader.
#   scripts/fuzz.sh [SECONDS]     (default 60)
# The committed scenarios and flights seed the corpora; new finds go to
# build/fuzz/corpus, corpus_igc, corpus_gpx and corpus_link.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh

ktr7_ensure_packages clang libfuzzer-14-dev libclang-rt-14-dev
CC=clang CXX=clang++ ktr7_build fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKTR7_WINDOW=OFF -DKTR7_TESTS=OFF \
    -DKTR7_FUZZ=ON
mkdir -p build/fuzz/corpus build/fuzz/corpus_igc build/fuzz/corpus_gpx build/fuzz/corpus_link
cd build/fuzz
total=${1:-60}
./tests/fuzz/fuzz_replay -max_total_time="$((total - 3 * (total / 5)))" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    corpus ../../tests/scenarios
./tests/fuzz/fuzz_igc -max_total_time="$((total / 5))" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    corpus_igc ../../tests/flights
./tests/fuzz/fuzz_gpx -max_total_time="$((total / 5))" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    corpus_gpx ../../tests/flights
./tests/fuzz/fuzz_link -max_total_time="$((total / 5))" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    corpus_link ../../tests/scenarios/cli
