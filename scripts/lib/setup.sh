# Sourced by the scripts: installs the Debian packages the build needs when any is
# missing, then offers kx_build DIR [cmake options...] to configure and build.

KX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
KX_PACKAGES=(cmake g++ make pkgconf libudev-dev libgtest-dev libgmock-dev qt6-base-dev qt6-translations-l10n fonts-dejavu-core xvfb xauth)

kx_install_missing() {
    local missing=()
    for p in "${KX_PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

kx_build() {
    local dir=$1; shift
    cmake -S "$KX_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=${KX_BUILD_TYPE:-Debug} "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
}
