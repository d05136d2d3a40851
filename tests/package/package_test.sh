#!/usr/bin/env bash
# package_test.sh CPACK CPACK_CONFIG WORK_DIR: makes the Debian package of a
# built tree into WORK_DIR and checks it.
set -euo pipefail
cpack=$1 config=$2 work=$3
rm -rf "$work"
mkdir -p "$work"
"$cpack" -G DEB --config "$config" -B "$work" > "$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
debs=("$work"/ktr7-sim_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "cpack made no single ktr7-sim package" >&2; exit 1; }
exec "$(dirname "$0")/../../scripts/check_package.sh" "${debs[0]}" "$work/check"
