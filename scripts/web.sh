#!/usr/bin/env bash
# Builds the simulator's web page into build/web/site: the instrument and the
# run-loop pass compiled to WebAssembly with Emscripten, the page, its script
# and style, and the bezel picture. Any static web server can serve the folder.
#
#   scripts/web.sh                  build the page
#   scripts/web.sh --serve [PORT]   build it, then serve it on 127.0.0.1 (default port 8000)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh

serve=0
port=8000
while [ $# -gt 0 ]; do
    case $1 in
    --serve)
        serve=1
        if [ $# -gt 1 ] && [[ $2 =~ ^[0-9]+$ ]]; then
            port=$2
            shift
        fi
        ;;
    -h | --help)
        sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//'
        exit 0
        ;;
    *)
        echo "web.sh: unknown argument \"$1\" (see scripts/web.sh --help)" >&2
        exit 2
        ;;
    esac
    shift
done

ktr7_ensure_packages
emcmake cmake -S . -B build/web -DKTR7_WEB=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/web -j"$(nproc)"
site=build/web/site
echo "The web page is in $site ($(stat -c %s "$site/ktr7.wasm") bytes of WebAssembly)."

if [ "$serve" -eq 1 ]; then
    echo "Serving it at http://127.0.0.1:$port/ (Ctrl+C stops)"
    exec python3 -m http.server --bind 127.0.0.1 --directory "$site" "$port"
fi
