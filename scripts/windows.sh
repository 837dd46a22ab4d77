#!/usr/bin/env bash
# Cross-builds Kelvo's 64-bit Windows VST3 and standalone application on this Debian machine and
# smoke-tests them under Wine.
#
#   scripts/windows.sh            install what is missing, build, smoke test
#   scripts/windows.sh --build    install what is missing and build only
#
# Exits with 77 (ctest's "skipped") when the packages or the library sources cannot be had here.
#
# The build goes into build-win/ (KELVO_WIN_BUILD_DIR overrides it). Debian leaves out JUCE's own
# copies of libpng and libjpeg, so they are cross-built from Debian's source packages once and kept
# in ~/.cache/kelvo-win (KELVO_WIN_CACHE), keyed by their versions and the compiler's.
source "$(dirname "$0")/common.sh"

MODE="${1:-all}"
TRIPLE=x86_64-w64-mingw32
BUILD="${KELVO_WIN_BUILD_DIR:-$ROOT/build-win}"
CACHE="${KELVO_WIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kelvo-win}"
WINE=/usr/lib/wine/wine64
SKIPPED=77

skip() {
    echo "Windows build skipped: $1"
    exit "$SKIPPED"
}

ensure_packages "${WINDOWS_PACKAGES[@]}" || skip "the mingw-w64 cross-compiler and Wine packages could not be installed"

# ---------------------------------------------------------------------------------------------
# Static libpng and libjpeg for Windows, from the sources of the versions Debian ships.

# Bumped whenever the recipe below changes what it installs.
RECIPE=2

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
    $sudo apt-get update -qq || true
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
    local key="r${RECIPE}_png-$1_jpeg-$2_gcc-$($TRIPLE-gcc-posix -dumpfullversion)"
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
    [ -n "$(source_versions libpng1.6)" ] || skip "Debian's source package lists are not available"
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
        png="$(fetch_source libpng1.6)" || exit "$SKIPPED"
        jpeg="$(fetch_source libjpeg-turbo)" || exit "$SKIPPED"
        DEPS="$(deps_folder "$png" "$jpeg")"
        echo "== Cross-building libpng $png and libjpeg-turbo $jpeg for Windows (kept in $DEPS)"
        rm -rf "$DEPS"
        cross_cmake "$(ls -d libpng1.6-*/ | head -n 1)" png-build "$DEPS" \
            -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DSKIP_INSTALL_PROGRAMS=ON
        cross_cmake "$(ls -d libjpeg-turbo-*/ | head -n 1)" jpeg-build "$DEPS" \
            -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF -DWITH_JPEG8=OFF
        # JUCE reads libjpeg's internal declarations too, as Debian's libjpeg62-turbo-dev installs them.
        cp "$(ls -d libjpeg-turbo-*/ | head -n 1)/jpegint.h" "$DEPS/include/"
        # JUCE includes jpeglib.h inside a namespace of its own after <windows.h>, whose boolean
        # (unsigned char, as here) would otherwise keep libjpeg's out of that namespace.
        sed -i '/^#ifndef __RPCNDR_H__/{N;N;s/^[^\n]*\n\(typedef unsigned char boolean;\)\n#endif/\1/}' \
            "$DEPS/include/jconfig.h"
        grep -q '^typedef unsigned char boolean;' "$DEPS/include/jconfig.h"
        touch "$DEPS/.complete"
        echo "$DEPS" >"$work/deps"
    ) || {
        local code=$?
        rm -rf "$work"
        [ "$code" -eq "$SKIPPED" ] && skip "the sources of libpng and libjpeg-turbo could not be fetched"
        exit "$code"
    }
    DEPS="$(cat "$work/deps")"
    rm -rf "$work"
}

build_image_libraries

# ---------------------------------------------------------------------------------------------
# The plug-in, the smoke host and the engine tests, cross-built in Release with the image libraries
# above.

echo "== Cross-building the Windows VST3 and standalone application in $BUILD"
cmake -S "$ROOT" -B "$BUILD" -G Ninja --toolchain "$ROOT/cmake/MinGW64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DKELVO_WIN_DEPS="$DEPS" -DKELVO_BUILD_TESTS=ON >/dev/null
cmake --build "$BUILD" -j "$JOBS" --target Kelvo_VST3 Kelvo_Standalone
echo "== Cross-building the smoke host and the engine tests"
cmake --build "$BUILD" -j "$JOBS" --target kelvo_windows_smoke kelvo_engine_tests
[ "$MODE" = "--build" ] && exit 0

# ---------------------------------------------------------------------------------------------
# The smoke test under Wine, in a home, a Wine prefix and a display of its own.

ARTEFACTS="$BUILD/Kelvo_artefacts/Release"
VST3="$ARTEFACTS/VST3/Kelvo VST.vst3"
APP="$ARTEFACTS/Standalone/Kelvo VST.exe"
SMOKE="$BUILD/tests/windows/kelvo_windows_smoke.exe"

WORK="$(mktemp -d)"
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" WINEPREFIX="$WORK/wine" WINEARCH=win64
# No Mono or Gecko installer dialogs; Wine's own messages only when something is wrong.
export WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG="-all,err+all"
mkdir -p "$HOME"

pids=()
cleanup() {
    "$(dirname "$WINE")/wineserver" -k >/dev/null 2>&1 || true
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    rm -rf "$WORK"
}
trap cleanup EXIT

windows_path() { echo "Z:${1//\//\\}"; }

source "$ROOT/scripts/virtual-display.sh"
start_virtual_display 130 170

echo "== Smoke test under $("$WINE" --version)"
"$WINE" wineboot --init >"$WORK/wineboot.log" 2>&1 || { cat "$WORK/wineboot.log"; exit 1; }
"$(dirname "$WINE")/wineserver" -w

status=0

# The engine's tests of its files, cross-built: the platform layer's Win32 side and everything above
# it (safe writes and reads, the folder lock, damaged files set aside, two engines sharing a folder).
# The link's timing tests stay on Linux: Wine's timing is not a Windows machine's.
FILE_TESTS="NativeFile.*:SafeFileWrite.*:FileMan.*:SettingsFile.*:PortsFile.*:BankDataFile.*:SettingsAndPorts.*"
FILE_TESTS+=":TwoEngines.*:DamagedFiles.*:TemporaryFiles.*:FullDisk.*:SimulatorMemory.*"
"$WINE" "$BUILD/tests/kelvo_engine_tests.exe" --gtest_brief=1 --gtest_filter="$FILE_TESTS" 2>"$WORK/engine.err" \
    | tr -d '\r' | tee "$WORK/engine.log" || status=1
grep -q '^\[  PASSED  \]' "$WORK/engine.log" && ! grep -q '^\[  FAILED  \]' "$WORK/engine.log" \
    || { status=1; echo "FAIL the engine's file tests (above)"; }

"$WINE" "$SMOKE" "$(windows_path "$VST3")" 2>"$WORK/smoke.err" | tr -d '\r' | tee "$WORK/smoke.log" || status=1
grep -q '^[0-9]* passed, 0 failed$' "$WORK/smoke.log" || { status=1; cat "$WORK/smoke.err"; }

# The plug-in's files went into the user's AppData\Roaming of the Wine prefix.
SETTINGS="$(find "$WINEPREFIX/drive_c/users" -maxdepth 4 -type d -path '*/AppData/Roaming/MarvexSettings' | head -n 1)"
if [ -n "$SETTINGS" ] && [ -f "$SETTINGS/mphedstx.dat" ]; then
    echo "ok   the settings folder is ${SETTINGS#"$WINEPREFIX/"}: $(ls -A "$SETTINGS" | tr '\n' ' ')"
else
    echo "FAIL no MarvexSettings folder with the settings file under AppData/Roaming"; status=1
fi

# The standalone application opens its window and quits when it is closed, as a user does it.
"$WINE" "$APP" >"$WORK/app.log" 2>&1 &
APP_PID=$!
pids+=($APP_PID)
# Wine may replace a window while the application starts: the one the window manager holds once
# the list has settled is the one to close.
main_window() { wmctrl -l | awk '/ Kelvo VST$/ {id = $1} END {print id}'; }
WID=""
for _ in $(seq 1 300); do
    WID="$(main_window)"
    [ -n "$WID" ] && break
    kill -0 "$APP_PID" 2>/dev/null || break
    sleep 0.2
done
[ -n "$WID" ] && sleep 3 && WID="$(main_window)"   # the editor's first paint and the about panel
if [ -n "$WID" ]; then
    echo "ok   the standalone application opens its window"
    if [ -x /usr/bin/import ]; then
        /usr/bin/import -window root "$BUILD/windows-standalone.png" && echo "     screenshot: $BUILD/windows-standalone.png"
    fi
    wmctrl -i -c "$WID"
    for _ in $(seq 1 150); do kill -0 "$APP_PID" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$APP_PID" 2>/dev/null; then
        echo "FAIL the standalone application did not quit when its window was closed"; status=1
    elif wait "$APP_PID"; then
        echo "ok   it quits when its window is closed"
    else
        echo "FAIL the standalone application exited with an error"; status=1
    fi
else
    echo "FAIL the standalone application opened no window"; status=1
fi
tr -d '\r' <"$WORK/app.log" >"$WORK/app.txt"
if grep -E "X Error|BadAtom|BadWindow|BadMatch|err:x11drv" "$WORK/app.txt"; then
    echo "FAIL the standalone application met window-system errors (above)"; status=1
else
    echo "ok   no window-system error"
fi

[ "$status" -eq 0 ] && echo "Windows smoke test passed." || echo "Windows smoke test FAILED."
exit "$status"
