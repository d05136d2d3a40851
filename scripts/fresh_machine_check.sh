#!/usr/bin/env bash
# Builds a clean Debian 12 root with debootstrap, copies this checkout in, and
# runs the README's two set-up commands there: ./test.sh, then ./run.sh under
# xvfb-run for a few seconds. A missing install step shows as a failure.
# Needs root. Not part of CI (it takes a while).
#   scripts/fresh_machine_check.sh [ROOT_DIR]     (default /var/tmp/ktr7-fresh)
set -euo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] || { echo "run as root" >&2; exit 1; }
root=${1:-/var/tmp/ktr7-fresh}
mirror=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n 1)
mirror=${mirror:-http://deb.debian.org/debian}

command -v debootstrap >/dev/null || { apt-get update -qq && apt-get install -y -qq debootstrap; }
if [ ! -x "$root/usr/bin/apt-get" ]; then
    rm -rf "$root"
    debootstrap --variant=minbase bookworm "$root" "$mirror"
fi

rm -rf "$root/work/ktr7"
mkdir -p "$root/work/ktr7"
git ls-files -z | xargs -0 cp --parents -t "$root/work/ktr7"

mounts=(proc sys dev dev/pts)
cleanup() { for m in $(printf '%s\n' "${mounts[@]}" | tac); do umount -l "$root/$m" 2>/dev/null || true; done; }
trap cleanup EXIT
mount -t proc proc "$root/proc"
mount -t sysfs sys "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
cp /etc/resolv.conf "$root/etc/resolv.conf"

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
    echo "fresh machine check: passed"
'
