#!/usr/bin/env bash
# Ardour reads the program names file that "Export Program Names" writes: placed twice among the
# user's patch files, it is parsed without an error, and the second copy's device is reported as a
# duplicate of the first, which Ardour only says of a document it has read whole and registered
# under its model name.
#
#   tests/hosts/ardour-midnam.sh MIDNAM_EXPORT
REQUIRED=(ardour7-lua)
source "$(dirname "$0")/host-env.sh"
EXPORT="$(realpath "$1")"

patches="$HOME/.config/ardour7/patchfiles"
mkdir -p "$patches"
"$EXPORT" "$WORK/settings" "$patches/Mopho_x4_Kelvo.midnam"
grep -q "Name=\"U1:001 " "$patches/Mopho_x4_Kelvo.midnam" \
    || { echo "FAIL: the exported file lists no U1:001"; exit 1; }
cp "$patches/Mopho_x4_Kelvo.midnam" "$patches/Mopho_x4_Kelvo-copy.midnam"

cat > "$WORK/load.lua" << LUA
AudioEngine:set_backend ("None (Dummy)", "", "")
assert (create_session ("$WORK/session", "midnam", 48000), "no session")
-- The patch files are read by a thread of Ardour's own, started with the session.
ARDOUR.LuaAPI.usleep (3000000)
close_session ()
print ("closed")
LUA
timeout 120 ardour7-lua "$WORK/load.lua" > "$WORK/ardour.log" 2>&1 || true
grep -v "ALSA lib" "$WORK/ardour.log" | grep -i "midnam\|patch\|closed" || true

grep -q "^closed" "$WORK/ardour.log" || { echo "FAIL: the session did not run"; cat "$WORK/ardour.log"; exit 1; }
if grep -q "Error parsing MIDI patch file.*Mopho_x4_Kelvo" "$WORK/ardour.log"; then
    echo "FAIL: Ardour could not read the file"; exit 1
fi
grep -q "Duplicate MIDI device \`Mopho x4' in \`$patches/Mopho_x4_Kelvo" "$WORK/ardour.log" \
    || { echo "FAIL: Ardour did not register the file's device"; exit 1; }
echo "Ardour read the program names file and registered its device \"Mopho x4\""
