#!/usr/bin/env bash
# Builds a clean Debian 12 root with debootstrap, copies this checkout in, and
# runs the README's two set-up commands there: ./test.sh, then ./run.sh under
# xvfb-run for a few seconds. A missing install step shows as a failure.
# Then it builds the Debian package there (scripts/package.sh) and installs it
# with apt-get into a second clean root that has nothing of the build, so a
# Depends line that lacks something shows too; there it runs ktr7-replay
# --version, a ready scenario with its expectations, and the window playing
# that scenario under xvfb-run until it ends.
# Needs root. Not part of CI (it takes a while).
#   scripts/fresh_machine_check.sh [ROOT_DIR]     (default /var/tmp/ktr7-fresh;
#                                                  the second root is ROOT_DIR-user)
set -euo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] || { echo "run as root" >&2; exit 1; }
root=${1:-/var/tmp/ktr7-fresh}
mirror=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n 1)
mirror=${mirror:-http://deb.debian.org/debian}

user_root=$root-user

command -v debootstrap >/dev/null || { apt-get update -qq && apt-get install -y -qq debootstrap; }
for dir in "$root" "$user_root"; do
    if [ ! -x "$dir/usr/bin/apt-get" ]; then
        rm -rf "$dir"
        debootstrap --variant=minbase bookworm "$dir" "$mirror"
    fi
done

rm -rf "$root/work/ktr7"
mkdir -p "$root/work/ktr7"
git ls-files -z | xargs -0 cp --parents -t "$root/work/ktr7"

mounts=(proc sys dev dev/pts)
cleanup() {
    for dir in "$root" "$user_root"; do
        for m in $(printf '%s\n' "${mounts[@]}" | tac); do umount -l "$dir/$m" 2>/dev/null || true; done
    done
}
trap cleanup EXIT
for dir in "$root" "$user_root"; do
    mount -t proc proc "$dir/proc"
    mount -t sysfs sys "$dir/sys"
    mount --bind /dev "$dir/dev"
    mount --bind /dev/pts "$dir/dev/pts"
    cp /etc/resolv.conf "$dir/etc/resolv.conf"
done

chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root bash -c '
    set -e
    cd /work/ktr7
    echo "== ./test.sh"
    ./test.sh
    echo "== ./run.sh without a display (must explain itself)"
    if ./run.sh; then echo "run.sh without a display should fail"; exit 1; fi
    echo "== xvfb-run ./run.sh for 10 s"
    set +e
    timeout 10 xvfb-run -a ./run.sh
    rc=$?
    set -e
    [ $rc -eq 124 ] || { echo "the simulator ended early with status $rc"; exit 1; }
    echo "== scripts/package.sh"
    scripts/package.sh
'

# The package on a machine that never built anything: apt-get fetches what
# its Depends name, and nothing else is there.
debs=("$root"/work/ktr7/build/package/ktr7-sim_*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "expected one package in build/package, found ${#debs[@]}"; exit 1; }
cp "${debs[0]}" "$user_root/tmp/"
chroot "$user_root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
    DEB="/tmp/$(basename "${debs[0]}")" bash -c '
    set -eo pipefail
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    # Start from no package at all, so a re-run resolves the Depends again.
    apt-get purge -y -qq ktr7-sim >/dev/null 2>&1 || true
    apt-get autoremove --purge -y -qq >/dev/null
    echo "== apt-get install $DEB"
    apt-get install -y -qq "$DEB"
    echo "== ktr7-replay --version"
    ktr7-replay --version
    scenarios=/usr/share/ktr7-sim/scenarios
    scenario=$(ls "$scenarios"/*flight*.scn 2>/dev/null | head -n 1)
    [ -n "$scenario" ] || scenario=$(ls "$scenarios"/*.scn | head -n 1)
    # The scenario runs where its pictures may be written; its reference
    # pictures stay in the installed folder.
    work=$(mktemp -d)
    cd "$work"
    echo "== ktr7-replay $scenario"
    ktr7-replay "$scenario" | tail -n 3
    echo "== xvfb-run ktr7-sim --play $scenario --exit-when-done"
    apt-get install -y -qq --no-install-recommends xvfb xauth >/dev/null
    set +e
    QT_QPA_PLATFORM=xcb timeout 600 xvfb-run -a ktr7-sim --play "$scenario" --exit-when-done
    rc=$?
    set -e
    [ $rc -eq 0 ] || { echo "the window playing $scenario ended with status $rc"; exit 1; }
    echo "fresh machine check: passed"
'
