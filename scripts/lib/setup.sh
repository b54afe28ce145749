# Sourced by the scripts: installs the Debian packages the build needs when any is
# missing, then offers kx_build DIR [cmake options...] to configure and build, and
# kx_build_windows DIR [cmake options...] for the cross build.

KX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
KX_PACKAGES=(cmake g++ make pkgconf libudev-dev libgtest-dev libgmock-dev qt6-base-dev qt6-translations-l10n fonts-dejavu-core xvfb xauth)

# The Windows cross build and its tests: mingw-w64 with the POSIX thread model, Wine, and
# GoogleTest's sources to build with the cross compiler. Wine's recommends are not needed.
KX_WINDOWS_PACKAGES=(cmake make g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 wine fonts-wine googletest)

kx_install_missing() { kx_apt_missing -- "${KX_PACKAGES[@]}" "$@"; }
kx_install_windows_tools() { kx_apt_missing --no-install-recommends -- "${KX_WINDOWS_PACKAGES[@]}"; }

# kx_apt_missing [apt options] -- packages: installs those of the packages that are missing.
kx_apt_missing() {
    local options=() missing=()
    while [ "$1" != "--" ]; do options+=("$1"); shift; done
    shift
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${options[@]}" "${missing[@]}"
}

kx_build() {
    local dir=$1; shift
    cmake -S "$KX_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=${KX_BUILD_TYPE:-Debug} "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
}

kx_build_windows() {
    local dir=$1; shift
    KX_BUILD_TYPE=${KX_BUILD_TYPE:-Release} kx_build "$dir" -DCMAKE_TOOLCHAIN_FILE="$KX_ROOT/cmake/mingw-w64.cmake" "$@"
}
