# Shared by tools/run and tools/test: install what is missing, build what is out of date.
# Messages go to standard error, so tools/run's standard output holds only fmhost's answers.

korvane_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

korvane_packages=(
    cmake ninja-build g++ python3 googletest libstb-dev imagemagick
    g++-mingw-w64-i686 wine wine32:i386 xvfb x11-utils xauth locales
    clang libclang-rt-14-dev libpixman-1-dev clang-format
)

korvane_log() { echo "[korvane] $*" >&2; }

korvane_missing_packages() {
    local package missing=()
    for package in "${korvane_packages[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    echo "${missing[@]}"
}

korvane_sudo=""
[ "$(id -u)" = 0 ] || korvane_sudo=sudo

korvane_install() {
    local missing
    missing=$(korvane_missing_packages)
    if [ -n "$missing" ]; then
        korvane_log "installing: $missing"
        if ! dpkg --print-foreign-architectures | grep -qx i386; then
            $korvane_sudo dpkg --add-architecture i386
        fi
        $korvane_sudo apt-get update -q >&2
        DEBIAN_FRONTEND=noninteractive $korvane_sudo apt-get install -y -q --no-install-recommends $missing >&2
    fi
    korvane_ensure_i386
}

source "$korvane_root/tools/i386-emulation.sh"

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
