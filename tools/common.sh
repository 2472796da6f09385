# Shared by tools/run and tools/test: install what is missing, build what is out of date.
# Messages go to standard error, so tools/run's standard output holds only fmhost's answers.

korvane_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

korvane_packages=(
    cmake ninja-build g++ python3 googletest
    g++-mingw-w64-i686 wine wine32:i386 xvfb x11-utils xauth locales
)

korvane_log() { echo "[korvane] $*" >&2; }

korvane_missing_packages() {
    local package missing=()
    for package in "${korvane_packages[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    echo "${missing[@]}"
}

korvane_install() {
    local missing
    missing=$(korvane_missing_packages)
    [ -z "$missing" ] && return 0
    korvane_log "installing: $missing"
    local sudo=""
    [ "$(id -u)" = 0 ] || sudo=sudo
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
    fi
    $sudo apt-get update -q >&2
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing >&2
}

# korvane_build PRESET: configure once, then build what is out of date.
korvane_build() {
    local preset=$1
    if [ ! -f "$korvane_root/build/$preset/build.ninja" ]; then
        korvane_log "configuring $preset"
        (cd "$korvane_root" && cmake --preset "$preset" >&2)
    fi
    korvane_log "building $preset"
    (cd "$korvane_root" && cmake --build --preset "$preset" -j "$(nproc)" >&2)
}
