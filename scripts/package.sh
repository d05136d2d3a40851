#!/usr/bin/env bash
# Builds the release configuration with Debian's hardening flags, makes the
# Debian package build/package/ktr7-sim_VERSION_ARCH.deb and checks it
# (scripts/check_package.sh). Install it with
#   apt-get install ./build/package/ktr7-sim_VERSION_ARCH.deb
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh

ktr7_ensure_packages
build=build/package
# Every hardening option Debian has, immediate binding included.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DKTR7_TESTS=OFF -DKTR7_WINDOW=ON \
    -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    -DCMAKE_MODULE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/ktr7-sim_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/ktr7-sim_*.deb)
scripts/check_package.sh "$deb" "$build/check"
echo "Debian package: $deb"
