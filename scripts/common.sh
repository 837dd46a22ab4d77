# Shared by ./run and ./test: install what is missing, configure and build.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="${KELVO_JOBS:-$(nproc)}"
# Lets ccache share results between checkouts under the same parent folder.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$ROOT")}"

# Installs the Debian packages given that are not installed yet (non-interactive, only when needed).
ensure_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ "${#missing[@]}" -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo="sudo"
        $sudo apt-get -o DPkg::Lock::Timeout=300 update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=300 install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    fi
}

BUILD_PACKAGES=(cmake ninja-build g++ pkg-config juce-modules-source juce-tools libgtest-dev libbenchmark-dev liblilv-dev
                ccache fonts-liberation libasound2-dev libfreetype-dev libx11-dev libxrandr-dev libxinerama-dev
                libxcursor-dev libxcomposite-dev libgl-dev)

# configure_and_build BUILD_DIR [cmake args...] -- [targets...]
configure_and_build() {
    local dir="$1"; shift
    local cmake_args=() targets=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do cmake_args+=("$1"); shift; done
    [ $# -gt 0 ] && shift
    targets=("$@")
    cmake -S "$ROOT" -B "$dir" -G Ninja "${cmake_args[@]}" >/dev/null
    cmake --build "$dir" -j "$JOBS" ${targets[@]+--target "${targets[@]}"}
}

# What scripts/windows.sh needs to cross-build for 64-bit Windows and run the result under Wine.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64 dpkg-dev
                  xvfb openbox x11-utils wmctrl)

# The real hosts that the tests labelled hosts run the plug-in in.
HOST_PACKAGES=(ardour jalv jackd2 xvfb openbox x11-utils)
