# Shared by run.sh and test.sh: make sure the Debian packages the build needs
# are installed, then configure and build into build/<name>.

KTR7_PACKAGES=(
    cmake g++ make pkg-config
    qt6-base-dev libqt6opengl6-dev qt6-qpa-plugins qt6-serialport-dev
    libgl-dev libglu1-mesa-dev libgl1-mesa-dri libglx-mesa0
    libjpeg-dev libpng-dev libgif-dev
    libgtest-dev libbenchmark-dev
    xvfb xauth fontconfig fonts-dejavu-core
    emscripten chromium chromium-driver python3-selenium
    libexpat1-dev gpsbabel libjs-dygraphs
    pybind11-dev python3-pybind11 python3-dev python3-numpy python3-pytest
    dpkg-dev file lintian desktop-file-utils appstream mandoc
)

# Emscripten's tools run on node and need Debian's JavaScript modules (acorn),
# which a node from elsewhere does not look for by itself.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

ktr7_missing_packages() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    echo "${missing[@]:-}"
}

# ktr7_ensure_packages [extra packages...]
ktr7_ensure_packages() {
    local missing
    missing=$(ktr7_missing_packages "${KTR7_PACKAGES[@]}" "$@")
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing Debian packages: $missing"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq
        # shellcheck disable=SC2086
        apt-get install -y -qq --no-install-recommends $missing
    elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
        echo "Installing Debian packages: $missing"
        sudo DEBIAN_FRONTEND=noninteractive apt-get update -qq
        # shellcheck disable=SC2086
        sudo DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
    else
        echo "These Debian packages are missing; install them as root, then run this again:" >&2
        echo "  apt-get install $missing" >&2
        exit 1
    fi
}

# ktr7_build NAME [cmake options...]: configure and build into build/NAME.
ktr7_build() {
    local name=$1
    shift
    cmake -S . -B "build/$name" "$@"
    cmake --build "build/$name" -j"$(nproc)"
}
