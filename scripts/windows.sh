#!/usr/bin/env bash
# Cross-builds Kelvo's 64-bit Windows VST3 and standalone application on this Debian machine and
# smoke-tests them under Wine.
#
#   scripts/windows.sh            install what is missing, build, smoke test
#   scripts/windows.sh --build    install what is missing and build only
#
# The build goes into build-win/ (KELVO_WIN_BUILD_DIR overrides it). Debian leaves out JUCE's own
# copies of libpng and libjpeg, so they are cross-built from Debian's source packages once and kept
# in ~/.cache/kelvo-win (KELVO_WIN_CACHE), keyed by their versions and the compiler's.
source "$(dirname "$0")/common.sh"

MODE="${1:-all}"
TRIPLE=x86_64-w64-mingw32
BUILD="${KELVO_WIN_BUILD_DIR:-$ROOT/build-win}"
CACHE="${KELVO_WIN_CACHE:-$HOME/.cache/kelvo-win}"
WINE=/usr/lib/wine/wine64

ensure_packages "${WINDOWS_PACKAGES[@]}"

# ---------------------------------------------------------------------------------------------
# Static libpng and libjpeg for Windows, from the sources of the versions Debian ships.

# The versions of a Debian source package that the source lists know, newest first.
source_versions() {
    apt-cache showsrc --only-source "$1" 2>/dev/null | sed -n 's/^Version: //p' | sort -Vr | uniq
}

ensure_deb_src() {
    if [ -n "$(source_versions libpng1.6)" ]; then return; fi
    echo "Adding Debian's source package lists"
    local list=/etc/apt/sources.list.d/kelvo-deb-src.sources
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    {
        for f in /etc/apt/sources.list.d/*.sources; do
            [ -f "$f" ] && [ "$f" != "$list" ] && grep -q "debian.org" "$f" \
                && sed 's/^Types:.*$/Types: deb-src/' "$f" && echo
        done
    } | $sudo tee "$list" >/dev/null
    [ -s "$list" ] || $sudo rm -f "$list"
    if [ -f /etc/apt/sources.list ] && grep -q '^deb .*debian.org' /etc/apt/sources.list; then
        sed -n 's/^deb \(.*debian.org.*\)$/deb-src \1/p' /etc/apt/sources.list \
            | $sudo tee /etc/apt/sources.list.d/kelvo-deb-src.list >/dev/null
    fi
    $sudo apt-get update -qq
}

cross_cmake() {   # source folder, build folder, prefix, cmake args...
    local src="$1" bld="$2" prefix="$3"; shift 3
    cmake -S "$src" -B "$bld" -G Ninja --toolchain "$ROOT/cmake/MinGW64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" \
        -DCMAKE_C_COMPILER_LAUNCHER=ccache -DKELVO_WIN_DEPS="$prefix" -Wno-dev "$@" >/dev/null
    cmake --build "$bld" -j "$JOBS" >/dev/null
    cmake --install "$bld" >/dev/null
}

deps_folder() {   # libpng version, libjpeg-turbo version
    local key="png-$1_jpeg-$2_gcc-$($TRIPLE-gcc-posix -dumpfullversion)"
    echo "$CACHE/${key//[:~+]/_}"
}

fetch_source() {   # package -> extracts the newest version the archive still serves; prints it
    local v
    for v in $(source_versions "$1"); do
        if apt-get source -qq "$1=$v" >/dev/null 2>&1; then echo "$v"; return; fi
        rm -rf "$1"[-_]*
    done
    echo "No source of $1 could be fetched" >&2
    return 1
}

build_image_libraries() {
    ensure_deb_src
    # A build of any version the lists know is kept: security updates of the sources are taken
    # up once the archive serves them.
    local png jpeg
    for png in $(source_versions libpng1.6); do
        for jpeg in $(source_versions libjpeg-turbo); do
            DEPS="$(deps_folder "$png" "$jpeg")"
            [ -f "$DEPS/.complete" ] && return
        done
    done

    local work
    work="$(mktemp -d)"
    chmod 755 "$work"   # apt's download user writes there
    (
        cd "$work"
        png="$(fetch_source libpng1.6)"
        jpeg="$(fetch_source libjpeg-turbo)"
        DEPS="$(deps_folder "$png" "$jpeg")"
        echo "== Cross-building libpng $png and libjpeg-turbo $jpeg for Windows (kept in $DEPS)"
        rm -rf "$DEPS"
        cross_cmake "$(ls -d libpng1.6-*/ | head -n 1)" png-build "$DEPS" \
            -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DSKIP_INSTALL_PROGRAMS=ON
        cross_cmake "$(ls -d libjpeg-turbo-*/ | head -n 1)" jpeg-build "$DEPS" \
            -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF -DWITH_JPEG8=OFF
        touch "$DEPS/.complete"
        echo "$DEPS" >"$work/deps"
    )
    DEPS="$(cat "$work/deps")"
    rm -rf "$work"
}

build_image_libraries


# ---------------------------------------------------------------------------------------------
# The plug-in and the smoke host, cross-built in Release with the image libraries above.

echo "== Cross-building the Windows VST3 and standalone application in $BUILD"
cmake -S "$ROOT" -B "$BUILD" -G Ninja --toolchain "$ROOT/cmake/MinGW64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DKELVO_WIN_DEPS="$DEPS" -DKELVO_BUILD_TESTS=OFF >/dev/null
cmake --build "$BUILD" -j "$JOBS" --target Kelvo_VST3 Kelvo_Standalone
