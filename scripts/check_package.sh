#!/usr/bin/env bash
# Checks a built Debian package of the simulator:
#   scripts/check_package.sh PACKAGE.deb [WORK_DIR]
# its file list against what it must carry (and nothing else), Depends from
# dpkg-shlibdeps, the version in the changelog, metainfo and manual pages,
# the font licence in the copyright file, the desktop entry, the AppStream
# metainfo, the manual pages (lint, and every option of the programs' --help
# and every scenario command in them), the ready scenarios run by the
# installed tool, the Python module imported by Debian's python3, and lintian
# with no errors (its other tags are listed).
# Exit status 1 on the first failure.
set -euo pipefail
deb=$(realpath "$1")
source_dir=$(realpath "$(dirname "$0")/..")
work=${2:-$(mktemp -d)}
rm -rf "$work"
mkdir -p "$work"
work=$(realpath "$work")
root=$work/root

fail() { echo "check_package: $*" >&2; exit 1; }
field() { dpkg-deb --field "$deb" "$1"; }

name=$(field Package)
version=$(field Version)
arch=$(field Architecture)
[ "$name" = ktr7-sim ] || fail "package name $name, not ktr7-sim"
[ "$(basename "$deb")" = "${name}_${version}_${arch}.deb" ] || fail "file name $(basename "$deb")"
echo "package: $(basename "$deb")"

# The description as written, no markup escapes in it.
if field Description | grep -qE '&[a-z]+;'; then
    fail "the description carries escaped characters: $(field Description | grep -oE '&[a-z]+;' | head -n 1)"
fi

# Depends: computed, so it names the shared libraries' packages.
depends=$(field Depends)
echo "Depends: $depends"
for library in libc6 libstdc++6 libqt6widgets6 libpng16-16 libjpeg62-turbo libgif7; do
    [[ $depends == *"$library"* ]] || fail "Depends lacks $library (was dpkg-shlibdeps run?)"
done

# The file list: exactly what the package must carry.
dpkg-deb -x "$deb" "$root"
expected=(
    usr/bin/ktr7-sim
    usr/bin/ktr7-replay
    usr/share/applications/ktr7-sim.desktop
    usr/share/metainfo/org.example.ktr7sim.metainfo.xml
    usr/share/man/man1/ktr7-sim.1.gz
    usr/share/man/man1/ktr7-replay.1.gz
    usr/share/doc/ktr7-sim/copyright
    usr/share/doc/ktr7-sim/changelog.gz
    usr/share/doc/ktr7-sim/scenarios.md.gz
    usr/share/doc/ktr7-sim/flights.md.gz
)
for size in 48 64 128 256; do
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/ktr7-sim.png")
done
# The flight simulator's protocol files for the link (link/): its lines out, the QNH back.
expected+=(usr/share/ktr7-sim/flightgear/ktr7-qnh.xml usr/share/ktr7-sim/flightgear/ktr7.xml)
# The Python module, for Debian's python3.
python_module=usr/lib/python3/dist-packages/ktr7$(/usr/bin/python3 -c 'import sysconfig; print(sysconfig.get_config_var("EXT_SUFFIX"))')
expected+=("$python_module")
# Every ready scenario with its pictures and flights, in their folders.
if [ -d "$source_dir/scenarios" ]; then
    while IFS= read -r file; do
        expected+=("usr/share/ktr7-sim/scenarios/$file")
    done < <(cd "$source_dir/scenarios" &&
        find . -type f \( -name '*.scn' -o -name '*.png' -o -name '*.igc' -o -name '*.gpx' \) \
            ! -name '*.actual.png' ! -name '*.diff.png' -printf '%P\n')
fi
(cd "$root" && find . -type f -printf '%P\n' | sort) > "$work/files.actual"
printf '%s\n' "${expected[@]}" | sort > "$work/files.expected"
if ! diff -u "$work/files.expected" "$work/files.actual"; then
    fail "the file list differs from the expected one (- missing, + unexpected)"
fi
echo "files: $(wc -l < "$work/files.actual"), as expected"
for size in 48 64 128 256; do
    file "$root/usr/share/icons/hicolor/${size}x${size}/apps/ktr7-sim.png" | grep -q "PNG image data, $size x $size" ||
        fail "the ${size}x${size} icon is not a $size x $size PNG"
done

# The module imports in Debian's python3 and says the package's version.
module_version=$(cd "$work" && PYTHONPATH="$root/usr/lib/python3/dist-packages" /usr/bin/python3 -c \
    'import ktr7; print(ktr7.__version__)') || fail "the Python module ktr7 does not import"
[ "$module_version" = "$version" ] || fail "ktr7.__version__ is $module_version, the package $version"
[[ $depends == *python3-numpy* ]] || fail "Depends lacks python3-numpy, which the module's lcd needs"
[[ $depends == *libjs-dygraphs* ]] || fail "Depends lacks libjs-dygraphs, which ktr7-replay --report reads"
echo "python: import ktr7 gives version $module_version"

# The changelog's latest entry is this version; the copyright file carries
# the licence of the font the bitmap fonts were made from.
changelog_version=$(zcat "$root/usr/share/doc/ktr7-sim/changelog.gz" | head -n 1 | sed -n 's/^[^ ]* (\([^)]*\)).*/\1/p')
[ "$changelog_version" = "$version" ] || fail "changelog.gz names version $changelog_version, the package $version"
copyright=$root/usr/share/doc/ktr7-sim/copyright
grep -q 'SIL OPEN FONT LICENSE Version 1.1' "$copyright" || fail "copyright lacks the SIL Open Font License"
grep -q 'Reserved Font Name Liberation' "$copyright" || fail "copyright lacks the font's copyright notice"

# Hints too: each one names something a menu would show wrongly.
validation=$(desktop-file-validate "$root/usr/share/applications/ktr7-sim.desktop" 2>&1) || true
[ -z "$validation" ] || fail "desktop-file-validate: $validation"
echo "desktop-file-validate: passed"
appstreamcli validate --no-net --strict "$root/usr/share/metainfo/org.example.ktr7sim.metainfo.xml"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/org.example.ktr7sim.metainfo.xml" ||
    fail "the metainfo's releases do not name version $version"
# The installed tree as a software centre sees it: metainfo, desktop entry
# and icons together.
appstreamcli validate-tree --no-net --strict "$root"
for page in ktr7-sim ktr7-replay; do
    mandoc -T lint -W warning "$root/usr/share/man/man1/$page.1.gz" || fail "mandoc -T lint: $page(1)"
    zcat "$root/usr/share/man/man1/$page.1.gz" | grep -q "^\.TH .* \"ktr7-sim $version\"" ||
        fail "$page(1) is not headed with this version, ktr7-sim $version"
done
echo "mandoc -T lint: passed"

# The ready scenarios hold with the installed tool and the installed
# pictures, run from elsewhere (they find their pictures beside them).
installed=$root/usr/share/ktr7-sim/scenarios
for scenario in "$installed"/*.scn; do
    [ -e "$scenario" ] || continue
    summary=$(cd "$work" && "$root/usr/bin/ktr7-replay" "$scenario" | tail -n 1) ||
        fail "$(basename "$scenario") failed with the installed ktr7-replay: $summary"
    echo "$(basename "$scenario"): $summary"
done

# Every option the programs' help shows is in its manual page.
check_options() {
    local program=$1 page=$2 option
    local help
    help=$("$root/usr/bin/$program" --help) || fail "$program --help failed"
    for option in $(grep -oE '(^|[ ,])--[a-z][a-z-]*' <<<"$help" | tr -d ' ,' | sort -u); do
        zcat "$root/usr/share/man/man1/$page.1.gz" | grep -qF -- "$(sed 's/-/\\-/g' <<<"$option")" ||
            fail "$page(1) does not mention $option, which $program --help shows"
    done
}
check_options ktr7-replay ktr7-replay
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} check_options ktr7-sim ktr7-sim
# And every scenario command the replay tool's help lists has its entry in
# ktr7-replay(1), which documents the whole language.
commands=$("$root/usr/bin/ktr7-replay" --help | sed -n '/^One command per line/,/^$/p' |
    sed -n 's/^  \([a-z][a-z]*\).*/\1/p' | sort -u)
[ -n "$commands" ] || fail "ktr7-replay --help lists no commands"
for command in $commands; do
    zcat "$root/usr/share/man/man1/ktr7-replay.1.gz" | grep -qE "^\.(B|BI|BR) \"?$command[ \"]|^\.B $command\$" ||
        fail "ktr7-replay(1) has no entry for the command $command, which ktr7-replay --help lists"
done
echo "manual pages: every option of --help and every scenario command documented"

# Lintian: errors fail the check, the rest are listed.
lintian --fail-on error --display-info --tag-display-limit 0 "$deb" | tee "$work/lintian.txt" ||
    fail "lintian reported errors"
echo "lintian: no errors ($(grep -c '^W:' "$work/lintian.txt" || true) warnings)"
echo "check_package: passed"
