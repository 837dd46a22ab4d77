#!/usr/bin/env bash
# The LV2 in jalv (its GTK window with the generic controls, in a virtual display) on a JACK server
# of its own with the dummy driver: the values the plug-in sends at start (patch:Set, printed by
# jalv's --dump) must be those of the initial program, which the plug-in's manifest gives as each
# parameter's lv2:default, and every parameter whose initial value is not 0 must be among them.
#
#   tests/hosts/jalv-values.sh LV2_BUNDLE
REQUIRED=(jalv.gtk3 jackd jack_wait Xvfb openbox xdpyinfo stdbuf)
source "$(dirname "$0")/host-env.sh"
LV2="$(realpath "$1")"
mkdir -p "$HOME/.lv2"
cp -r "$LV2" "$HOME/.lv2/"
export LV2_PATH="$HOME/.lv2"

source "$(dirname "$0")/../../scripts/virtual-display.sh"
start_virtual_display 170 200
start_jack

# jalv prints through stdio: into a file, fully buffered, and what is still in the buffer when it
# is stopped is lost (the last 4 KiB, some 24 values). Line buffering keeps every line.
stdbuf -oL jalv.gtk3 --generic-ui --dump urn:marvex:kelvo > "$WORK/jalv.log" 2>&1 &
pid=$!
pids+=($pid)
for _ in $(seq 1 100); do
    [ "$(grep -c "patch:Set" "$WORK/jalv.log")" -gt 0 ] && break
    sleep 0.1
done
sleep 2
kill "$pid" 2> /dev/null || true

# "p020 0.902439" for each value the plug-in sent, and for each default in the manifest.
awk '/patch:property <urn:marvex:kelvo:p[0-9]+>/ { match ($0, /p[0-9]+/); p = substr ($0, RSTART, RLENGTH) }
     /patch:value/ && p != "" { match ($0, /"[^"]*"/); print p, substr ($0, RSTART + 1, RLENGTH - 2); p = "" }' \
    "$WORK/jalv.log" | sort -u -k1,1 > "$WORK/sent.txt"
awk '/^plug:p[0-9]+$/ { p = substr ($0, 6) }
     /lv2:default/ && p != "" { print p, $2; p = "" }' "$HOME/.lv2/$(basename "$LV2")/dsp.ttl" | sort -k1,1 > "$WORK/defaults.txt"

failed=0
sent=$(wc -l < "$WORK/sent.txt")
[ "$sent" -gt 0 ] || { echo "jalv heard no values from the plug-in:"; grep -v "ALSA lib" "$WORK/jalv.log" | tail -20; exit 1; }
echo "jalv heard $sent values at start"
# The table's unused places, whose only value is 0, may go unsent; any other parameter may not.
missing=$(join -v1 <(awk '$2 + 0 != 0' "$WORK/defaults.txt") "$WORK/sent.txt" | cut -d' ' -f1 | tr '\n' ' ')
[ -z "$missing" ] || { echo "  not sent: $missing"; failed=1; }
join "$WORK/sent.txt" "$WORK/defaults.txt" | awk '{ d = $2 - $3; if (d < -1e-5 || d > 1e-5) { print "  " $1 ": sent " $2 ", initial program " $3; bad = 1 } }
    END { exit bad }' || failed=1
for p in p000 p020 p099 p101 p117; do
    echo "  $p: $(grep "^$p " "$WORK/sent.txt" | cut -d' ' -f2)"
done
exit $failed
