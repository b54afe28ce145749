# Sourced by the scripts: installs the Debian packages the build needs when any is
# missing, then offers kx_build DIR [cmake options...] to configure and build everything,
# and kx_build_quietly DIR "TARGET..." [cmake options...] to build only some targets.

KX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
KX_PACKAGES=(cmake g++ make libgtest-dev libgmock-dev qt6-base-dev qt6-translations-l10n fonts-dejavu-core xvfb xauth)

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
