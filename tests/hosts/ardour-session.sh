#!/usr/bin/env bash
# The plug-in in Ardour's headless Lua session host (ardour7-lua, dummy backend), as VST3 and as
# LV2: names and values at load, one automation lane written while the host changes programs,
# the session saved, reopened and compared, the plug-in removed (see ardour-session.lua). A plug-in
# that calls into the host from a thread of its own makes Ardour crash here. Both formats must show
# the same parameter names.
#
#   tests/hosts/ardour-session.sh VST3_BUNDLE LV2_BUNDLE [runs]
REQUIRED=(ardour7-lua)
source "$(dirname "$0")/host-env.sh"
VST3="$(realpath "$1")"
LV2="$(realpath "$2")"
RUNS="${3:-1}"
HERE="$(cd "$(dirname "$0")" && pwd)"

mkdir -p "$HOME/.vst3" "$HOME/.lv2" "$HOME/.config/ardour7"
cp -r "$VST3" "$HOME/.vst3/"
cp -r "$LV2" "$HOME/.lv2/"
export LV2_PATH="$HOME/.lv2"
# Ardour takes a cache written in the same second as the module for outdated, and lists a newly
# scanned plug-in only when new plug-ins are active.
find "$HOME/.vst3" -exec touch -d "10 minutes ago" {} +
cat > "$HOME/.config/ardour7/config" << XML
<?xml version="1.0" encoding="UTF-8"?>
<Ardour><Config>
  <Option name="hide-dummy-backend" value="0"/>
  <Option name="new-plugins-active" value="1"/>
</Config></Ardour>
XML
LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst3-scanner "$HOME/.vst3/$(basename "$VST3")" > /dev/null 2>&1

failed=0
for run in $(seq "$RUNS"); do
    for format in VST3 LV2; do
        rm -rf "$WORK/session"
        log="$WORK/$format.log"
        export KELVO_FORMAT=$format SESSION_DIR="$WORK/session" VALUES_FILE="$WORK/values.txt"
        if KELVO_STEP=create timeout 120 ardour7-lua "$HERE/ardour-session.lua" > "$log" 2>&1 \
            && grep -q "^closed" "$log" \
            && KELVO_STEP=reopen timeout 120 ardour7-lua "$HERE/ardour-session.lua" > "$log.2" 2>&1 \
            && grep -q "^closed" "$log.2"; then
            echo "$format run $run: ok ($(grep "^reopened" "$log.2" | cut -f2))"
            grep "^at load" "$log" | tr '\t' ' '
        else
            echo "$format run $run: FAILED"; cat "$log" "$log.2" 2> /dev/null | grep -v "ALSA lib\|^name" | tail -20; failed=1
        fi
    done
    if ! diff <(grep "^name" "$WORK/VST3.log") <(grep "^name" "$WORK/LV2.log") > "$WORK/names.diff"; then
        echo "The formats show different names:"; head -20 "$WORK/names.diff"; failed=1
    fi
done
exit $failed
