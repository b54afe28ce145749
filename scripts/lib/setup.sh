# Sourced by the scripts: installs the Debian packages the build needs when any is
# missing, then offers kx_build DIR [cmake options...] to configure and build everything,
# kx_build_quietly DIR "TARGET..." [cmake options...] to build only some targets, and
# kx_build_windows DIR [cmake options...] for the cross build.

KX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
KX_PACKAGES=(cmake g++ make pkgconf libudev-dev libgtest-dev libgmock-dev qt6-base-dev qt6-translations-l10n fonts-dejavu-core xvfb xauth
             clang-tidy python3 clang libclang-rt-14-dev)

# The Windows cross build and its tests: mingw-w64 with the POSIX thread model, Wine, and
# GoogleTest's sources to build with the cross compiler, wixl and msitools for the installer, and the
# Russian locale that the console tests run Wine under. Wine's recommends are not needed.
KX_WINDOWS_PACKAGES=(cmake make g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 wine fonts-wine googletest wixl msitools
                     locales)

# The libFuzzer targets, one a line, as fuzz/CMakeLists.txt names them.
kx_fuzz_targets() { sed -n 's/^kx_add_fuzz(\([A-Za-z0-9]*\).*/\1/p' "$KX_ROOT/fuzz/CMakeLists.txt"; }

kx_install_missing() { kx_apt_missing -- "${KX_PACKAGES[@]}" "$@"; }
kx_install_windows_tools() {
    kx_apt_missing --no-install-recommends -- "${KX_WINDOWS_PACKAGES[@]}"
    kx_russian_locale
}

# Without ru_RU.UTF-8 among the system's locales, Wine under LANG=ru_RU.UTF-8 falls back
# to code page 1252 and cannot even name a file in Cyrillic.
kx_russian_locale() {
    locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$' && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Making the locale ru_RU.UTF-8"
    $sudo localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
}

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

# Configures DIR and builds only the named targets. The compiler's output goes to
# DIR/build.log and is shown only when the build fails.
kx_build_quietly() {
    local dir=$1 targets log="$1/build.log"
    read -ra targets <<<"$2"
    shift 2
    mkdir -p "$dir"
    echo "Building ${targets[*]} (log: ${log#"$KX_ROOT/"})"
    if ! { cmake -S "$KX_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE="${KX_BUILD_TYPE:-Debug}" "$@" &&
           cmake --build "$dir" -j "$(nproc)" --target "${targets[@]}"; } >"$log" 2>&1; then
        cat "$log" >&2
        echo "The build failed; its output is above and in $log." >&2
        return 1
    fi
}

kx_build_windows() {
    local dir=$1; shift
    KX_BUILD_TYPE=${KX_BUILD_TYPE:-Release} kx_build "$dir" -DCMAKE_TOOLCHAIN_FILE="$KX_ROOT/cmake/mingw-w64.cmake" "$@"
}
