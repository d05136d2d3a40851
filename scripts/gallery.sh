#!/usr/bin/env bash
# The screen gallery: builds ktr7-replay and plays every scenario in
# docs/screens/scenarios/ with docs/screens/ as the working directory, so the
# pictures they write land in docs/screens/. Pictures that no scenario writes
# any more are removed first; the run stops at the first scenario that fails,
# and fails too when docs/screens/README.md and the pictures disagree.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh

ktr7_ensure_packages
ktr7_build gallery -DCMAKE_BUILD_TYPE=Release -DKTR7_WINDOW=OFF -DKTR7_TESTS=OFF
replay=$PWD/build/gallery/replay/ktr7-replay

cd docs/screens
shopt -s nullglob
scenarios=(scenarios/*.scn)
if [ ${#scenarios[@]} -eq 0 ]; then
    echo "gallery: no scenarios in docs/screens/scenarios/" >&2
    exit 1
fi

rm -f ./*.png
log=$(mktemp)
trap 'rm -f "$log"' EXIT
for scn in "${scenarios[@]}"; do
    if ! "$replay" "$scn" >"$log" 2>&1; then
        echo "gallery: $scn failed:" >&2
        tail -n 20 "$log" >&2
        exit 1
    fi
    echo "gallery: $scn: $(grep -c '^png ' "$scn") pictures"
done

# Every picture in the table, every table entry a picture.
status=0
for png in ./*.png; do
    grep -q "(${png#./})" README.md || { echo "gallery: ${png#./} is not in README.md" >&2; status=1; }
done
for png in $(grep -o '([a-z0-9_]*\.png)' README.md | tr -d '()' | sort -u); do
    [ -f "$png" ] || { echo "gallery: README.md shows $png, which no scenario writes" >&2; status=1; }
done
[ $status -eq 0 ] || exit 1
echo "gallery: $(ls ./*.png | wc -l) pictures in docs/screens/"
