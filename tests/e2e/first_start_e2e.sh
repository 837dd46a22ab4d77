#!/usr/bin/env bash
# The first start of the standalone editor, with no settings at all, in a virtual X display:
#
#  1. a synth answers behind one port pair of two (the rig's "Rig MIDI 2", our simulator as if it
#     were hardware; the built-in simulator beside it is never taken for the synth): the editor
#     finds it and goes on-line without a click, and keeps those ports for the next start;
#  2. no synth anywhere: the status line says what is missing, and one click on it opens the port
#     setup panel.
#
# Prints the seconds from the start to on-line, and writes pictures of both first starts.
#
#   first_start_e2e.sh <kelvo_standalone_rig> <picture prefix>
set -euo pipefail

APP="$1"
OUT="$2"
WORK="$(mktemp -d)"
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    rm -rf "$WORK"
}
trap cleanup EXIT

source "$(dirname "$0")/../../scripts/virtual-display.sh"
source "$(dirname "$0")/editor_window.sh"
start_virtual_display 121 150
sleep 0.5

fresh_home() {
    export HOME="$WORK/$1" XDG_CONFIG_HOME="$WORK/$1/.config"
    SETTINGS="$HOME/.config/MarvexSettings"
    mkdir -p "$HOME"
}

# 1. A synth behind one pair of ports.
fresh_home home-synth
started=$(date +%s.%N)
start_editor "$WORK/synth.log" --synth
shown=$(date +%s.%N)
wait_for_editor_top "$OUT-synth.png"
drawn=$(date +%s.%N)
echo "window shown after $(echo "$shown - $started" | bc) s, the panel drawn $(echo "$drawn - $shown" | bc) s later"
wait_for_status online 100 || { echo "FAIL: the first start did not go on-line by itself"; "$IMPORT" -window root "$OUT-synth.png"; exit 1; }
online=$(date +%s.%N)
echo "on-line without a click, $(echo "$online - $started" | bc) s after the start"
sleep 2.5   # the about panel of the first opening goes by itself
"$IMPORT" -window root "$OUT-synth.png"
[ "$(grep -a -o "Rig MIDI 2" "$SETTINGS/mhxplports.dat" | wc -l)" -eq 2 ] \
    || { echo "FAIL: the ports found were not saved"; exit 1; }
quit_editor
echo "the synth's ports were found and saved"

# 2. No synth at all.
fresh_home home-none
start_editor "$WORK/none.log"
wait_for_editor_top "$OUT-none.png"
wait_for_status offline 50 || { echo "FAIL: the status line does not say off-line"; "$IMPORT" -window root "$OUT-none.png"; exit 1; }
sleep 2.5   # the about panel goes; the scan has found nothing by now
# The about panel dims the whole window and takes the first click: wait until the app bar shows its
# own colour again (a loaded machine may draw the panel's closing late).
about_gone() {
    "$IMPORT" -window root "$WORK/about.png"
    [ "$("$CONVERT" "$WORK/about.png" -format "%[hex:u.p{$((X + 450)),$TOP}]" info:)" = "404040" ]
}
for _ in $(seq 1 100); do about_gone && break; sleep 0.1; done
about_gone || { echo "FAIL: the about panel of the first start did not go"; cp "$WORK/about.png" "$OUT-none.png"; exit 1; }
"$IMPORT" -window root "$OUT-none.png"

# Inside the port setup panel's box (design 40, 20, 749 x 250 below the 23-pixel app bar), left of
# the scan panel and below the port lists: dark blue-grey only while the panel is shown.
setup_shown() {
    "$IMPORT" -window root "$WORK/setup.png"
    local px
    px="$("$CONVERT" "$WORK/setup.png" -format "%[hex:u.p{$((X + 100)),$((TOP + 23 + 250))}]" info:)"
    local r=$((16#${px:0:2})) g=$((16#${px:2:2})) b=$((16#${px:4:2}))
    [ "$b" -gt "$r" ] && [ "$r" -lt 64 ] && [ "$g" -lt 80 ]
}
! setup_shown || { echo "FAIL: the port setup panel shows before the click"; exit 1; }
xdotool windowactivate --sync "$WID" >/dev/null 2>&1 || true
xdotool mousemove $((X + 582 + 60)) $((TOP + 10))
sleep 0.3
xdotool click 1
for _ in $(seq 1 50); do setup_shown && break; sleep 0.1; done
setup_shown || { echo "FAIL: a click on the status line did not open the port setup panel"; cp "$WORK/setup.png" "$OUT-none-click.png"; exit 1; }
cp "$WORK/setup.png" "$OUT-none-click.png"
echo "one click on the status line opened the port setup panel"
quit_editor
echo "2 passed, 0 failed"
