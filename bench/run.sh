#!/usr/bin/env bash
# Builds the benchmarks in release mode and runs them all.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh

ktr7_ensure_packages
ktr7_build bench -DCMAKE_BUILD_TYPE=Release -DKTR7_WINDOW=OFF -DKTR7_TESTS=OFF -DKTR7_BENCH=ON
exec build/bench/bench/ktr7_bench "$@"
