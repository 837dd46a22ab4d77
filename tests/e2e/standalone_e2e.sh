#!/usr/bin/env bash
# Runs the real standalone editor in a virtual X display the way a new user would: it starts with no
# settings, the port setup panel opened with the "MIDI" button connects it to the built-in Mopho x4
# simulator (both ports chosen with the mouse), it goes on-line, a click on a program in the bank
# view switches the simulator to it, and a turn of the filter cutoff knob with the mouse wheel
# reaches the simulator's edit buffer. The app bar's menu button then opens the library window in
# front of the editor; its "LIBRARY" button switches the page and its close control hides it. Then
# the project comes back: with the simulator's memory cleared, the editor started again brings the
# simulator the sound it was closed with. Writes a screenshot, and one of the library window beside
# it (<screenshot>-library.png).
#
#   standalone_e2e.sh <standalone executable> <screenshot.png>
set -euo pipefail

APP="$1"
SHOT="$2"
WORK="$(mktemp -d)"
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config"
SETTINGS="$HOME/.config/MarvexSettings"   # where JUCE puts the user application data folder
mkdir -p "$SETTINGS" "$HOME"

pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    rm -rf "$WORK"
}
trap cleanup EXIT

source "$(dirname "$0")/../../scripts/virtual-display.sh"
start_virtual_display 90 120
sleep 0.5

source "$(dirname "$0")/editor_window.sh"

start_editor "$WORK/app.log"
xdotool windowactivate --sync "$WID" >/dev/null 2>&1 || true
sleep 1

wait_for_editor_top "$SHOT"

# The port setup panel: the "MIDI" button (76, 2 in the app bar), then each list box (design 60, 80
# and 60, 130, 290 x 24, below the 23-pixel app bar). A list pops up under its box: a 2-pixel border,
# then rows of 22 pixels, "NONE" first; on this machine the simulator is the only device, so it is
# the second row.
xdotool mousemove $((X + 76 + 20)) $((TOP + 10)) click 1
sleep 0.7
choose_simulator() {   # $1: the list box's design y
    local box_y=$((TOP + 23 + $1))
    xdotool mousemove $((X + 60 + 120)) $((box_y + 12)) click 1
    sleep 0.7
    xdotool mousemove $((X + 60 + 120)) $((box_y + 24 + 2 + 22 + 11)) click 1
    sleep 0.7
}
choose_simulator 80    # MIDI In Port
choose_simulator 130   # MIDI Out Port
"$IMPORT" -window root "$WORK/setup.png"
# "OK" (design 690, 240, 74 x 18) closes the panel.
xdotool mousemove $((X + 690 + 37)) $((TOP + 23 + 240 + 9)) click 1
sleep 0.5
[ "$(grep -a -o "Mopho x4 Simulator" "$SETTINGS/mhxplports.dat" | wc -l)" -eq 2 ] \
    || { echo "FAIL: the chosen ports were not saved"; cp "$WORK/setup.png" "$SHOT"; exit 1; }
echo "ports chosen in the setup panel"

# On-line: the status label shows "DSI:  MOPHO X4 ON-LINE" in grey (off-line is amber).
online=0
wait_for_status online 50 && online=1
[ "$online" -eq 1 ] || { echo "FAIL: the editor did not go on-line"; cp "$WORK/setup.png" "$SHOT"; exit 1; }
echo "on-line"

# "Recv": the synth's edit buffer comes over, and the panel shows the program the synth is playing.
xdotool mousemove $((X + 340 + 25)) $((TOP + 11)) click 1
sleep 1

# "BANK": the bank view lists U1 from its top; a click on its fourth row (U1:004) makes the synth
# play that program. Grid at design (e, 205) in the view below the app bar, e = (1191 - 550) / 2,
# rows 26 high. "BANK" again closes the view.
xdotool mousemove $((X + 130 + 25)) $((TOP + 11)) click 1
sleep 0.7
xdotool mousemove $((X + 320 + 100)) $((TOP + 23 + 205 + 3 * 26 + 13)) click 1
sleep 0.7
xdotool mousemove $((X + 130 + 25)) $((TOP + 11)) click 1
sleep 0.5

# The cutoff knob: design (42, 205 - 16) with a 65 x 64 frame, below the 23-pixel app bar.
KNOB_X=$((X + 42 + 32))
KNOB_Y=$((TOP + 23 + 189 + 32))
xdotool mousemove "$KNOB_X" "$KNOB_Y"
sleep 0.2
for _ in $(seq 1 12); do xdotool click 5; sleep 0.05; done
sleep 0.5
"$IMPORT" -window root "$SHOT"
echo "screenshot: $SHOT"

# The library window: the menu button at the app bar's left end opens it in front of the editor, on
# the preset bank page. Its content is 1000 x 620 behind a one-pixel border: the caption bar (dark,
# y 4..24), "LIBRARY" at (130, 22), the close control at (980, 6), and the library page from y = 50,
# whose category keys (light) start at (400, 140) on the page.
xdotool mousemove $((X + 14)) $((TOP + 10)) click 1
LIB=""
for _ in $(seq 1 50); do
    LIB="$(xdotool search --onlyvisible --name '^Kelvo Library$' 2>/dev/null | head -n 1 || true)"
    [ -n "$LIB" ] && break
    sleep 0.1
done
[ -n "$LIB" ] || { echo "FAIL: the menu button opened no library window"; "$IMPORT" -window root "$SHOT"; exit 1; }
sleep 0.7
eval "$(xdotool getwindowgeometry --shell "$LIB" | sed 's/^/LIB_/')"   # LIB_X, LIB_Y, ...
pixel() { "$IMPORT" -window root "$WORK/lib.png"; "$CONVERT" "$WORK/lib.png" -format "%[hex:u.p{$1,$2}]" info:; }
brightness() { "$IMPORT" -window root "$WORK/lib.png"; "$CONVERT" "$WORK/lib.png" -crop "60x10+$1+$2" +repage \
    -colorspace Gray -format "%[fx:round(100*mean)]" info:; }
CAPTION="$(pixel $((LIB_X + 1 + 700)) $((LIB_Y + 1 + 14)))"
[ "${CAPTION:0:6}" = "0A0A0A" ] || { echo "FAIL: the library window is not in front ($CAPTION)"; cp "$WORK/lib.png" "$SHOT"; exit 1; }
KEYS_BEFORE="$(brightness $((LIB_X + 1 + 420)) $((LIB_Y + 1 + 50 + 144)))"
xdotool mousemove $((LIB_X + 1 + 180)) $((LIB_Y + 1 + 39)) click 1
sleep 0.7
KEYS_AFTER="$(brightness $((LIB_X + 1 + 420)) $((LIB_Y + 1 + 50 + 144)))"
echo "library window in front; category keys' brightness $KEYS_BEFORE -> $KEYS_AFTER"
cp "$WORK/lib.png" "${SHOT%.png}-library.png"
[ "$KEYS_BEFORE" -lt 40 ] && [ "$KEYS_AFTER" -gt 60 ] \
    || { echo "FAIL: LIBRARY did not show the library page"; cp "$WORK/lib.png" "$SHOT"; exit 1; }
xdotool mousemove $((LIB_X + 1 + 989)) $((LIB_Y + 1 + 14)) click 1
sleep 0.7
if xdotool search --onlyvisible --name '^Kelvo Library$' >/dev/null 2>&1; then
    echo "FAIL: the close control did not hide the library window"; "$IMPORT" -window root "$SHOT"; exit 1
fi
echo "library window opened, switched to LIBRARY, closed"

quit_editor

MEMORY="$SETTINGS/MophoX4Simulator.dat"
[ -f "$MEMORY" ] || { echo "FAIL: the simulator kept no memory"; cat "$WORK/app.log"; exit 1; }
# Memory: 14-byte header, 4 banks of 32768 bytes, then the edit buffer; cutoff is its byte 20 and
# the name its bytes 184-199.
EDIT=$((14 + 4 * 32768))
CLICKED=$((14 + 3 * 256))   # U1:004
name_at() { od -An -c -j $(($1 + 184)) -N16 "$MEMORY" | tr -s ' '; }
echo "synth plays: $(name_at $EDIT)"
[ "$(name_at $EDIT)" = "$(name_at $CLICKED)" ] && [ "$(name_at $CLICKED)" != "$(name_at 14)" ] \
    || { echo "FAIL: the synth did not switch to the program clicked in the bank view"; exit 1; }
CUTOFF="$(od -An -tu1 -j $((EDIT + 20)) -N1 "$MEMORY" | tr -d ' ')"
FIRST="$(od -An -tu1 -j $((CLICKED + 20)) -N1 "$MEMORY" | tr -d ' ')"   # U1:004's cutoff, where it started
echo "cutoff in the synth's edit buffer: $FIRST -> $CUTOFF"
[ "$CUTOFF" -ne "$FIRST" ] && [ "$CUTOFF" -lt 164 ] || { echo "FAIL: the knob did not reach the synth"; exit 1; }
echo "knob turned and the editor closed"

# Reopening: the standalone restores the state it saved when it closed, and the sound of that state
# goes to the synth once the link is on-line. The simulator forgets everything it had first.
rm -f "$MEMORY"
start_editor "$WORK/app2.log"
sleep 3
quit_editor
[ -f "$MEMORY" ] || { echo "FAIL: the simulator kept no memory the second time"; cat "$WORK/app2.log"; exit 1; }
RECALLED="$(od -An -tu1 -j $((EDIT + 20)) -N1 "$MEMORY" | tr -d ' ')"
echo "after reopening, the synth plays: $(name_at $EDIT) with cutoff $RECALLED"
[ "$RECALLED" -eq "$CUTOFF" ] && [ "$(name_at $EDIT)" = "$(name_at $CLICKED)" ] \
    || { echo "FAIL: the reopened project's sound did not reach the synth"; exit 1; }
echo "1 passed, 0 failed"
