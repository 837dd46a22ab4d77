#!/usr/bin/env bash
# Loads the VST3 in Ardour's headless Lua session host (ardour7-lua, dummy backend), puts one of its
# automation lanes into Write mode and changes programs from the host, rolling and stopped, then
# saves and closes the session. A plug-in that tells the host values from a thread of its own makes
# Ardour crash here.
#
#   tests/hosts/ardour-program-change.sh "build/Kelvo_artefacts/Release/VST3/Kelvo VST.vst3" [runs]
#
# Runs in a home folder of its own. Exits with 77 when Ardour is not installed.
set -euo pipefail
BUNDLE="$(realpath "$1")"
RUNS="${2:-7}"
HERE="$(cd "$(dirname "$0")" && pwd)"
command -v ardour7-lua > /dev/null || { echo "ardour7-lua is not installed"; exit 77; }

H="$(mktemp -d)"
trap 'rm -rf "$H"' EXIT
mkdir -p "$H/.vst3" "$H/.config/ardour7"
cp -r "$BUNDLE" "$H/.vst3/"
# Ardour takes a cache written in the same second as the module for outdated, and lists a newly
# scanned plug-in only when new plug-ins are active.
find "$H/.vst3" -exec touch -d "10 minutes ago" {} +
cat > "$H/.config/ardour7/config" << XML
<?xml version="1.0" encoding="UTF-8"?>
<Ardour><Config>
  <Option name="hide-dummy-backend" value="0"/>
  <Option name="new-plugins-active" value="1"/>
</Config></Ardour>
XML
HOME="$H" LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst3-scanner "$H/.vst3/$(basename "$BUNDLE")" > /dev/null 2>&1

failed=0
for run in $(seq "$RUNS"); do
    rm -rf "$H/session"
    if HOME="$H" SESSION_DIR="$H/session" timeout 180 ardour7-lua "$HERE/ardour-program-change.lua" > "$H/run.log" 2>&1 \
        && grep -q "^closed" "$H/run.log"; then
        echo "run $run: ok"
    else
        echo "run $run: FAILED"; grep -v "ALSA lib" "$H/run.log" | tail -20; failed=1
    fi
done
exit $failed
