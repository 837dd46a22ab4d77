#!/usr/bin/env bash
# pluginval at strictness 10 on the VST3 in a virtual display: once in its own order (with
# Steinberg's validator), then in random orders from fixed seeds, each order twice. The validators
# are not Debian packages: they are taken from KELVO_VALIDATORS, else from shared/validators beside
# the checkout; without them the check is skipped.
#
#   tests/hosts/pluginval.sh VST3_BUNDLE
VALIDATORS="${KELVO_VALIDATORS:-$(cd "$(dirname "$0")/../../.." && pwd)/shared/validators}"
[ -x "$VALIDATORS/pluginval" ] || { echo "pluginval is not in $VALIDATORS: skipped"; exit 77; }
REQUIRED=(Xvfb openbox xdpyinfo)
source "$(dirname "$0")/host-env.sh"
VST3="$(realpath "$1")"
source "$(dirname "$0")/../../scripts/virtual-display.sh"
start_virtual_display 210 240

failed=0
validate() {
    local name="$1"; shift
    if "$VALIDATORS/pluginval" --validate-in-process --strictness-level 10 "$@" --validate "$VST3" > "$WORK/$name.log" 2>&1 \
        && grep -q "^SUCCESS" "$WORK/$name.log"; then
        echo "$name: ok"
    else
        echo "$name: FAILED"; grep -i "fail\|error" "$WORK/$name.log" | grep -v "ALSA lib" | head -20; failed=1
    fi
}
validate "default order" --vst3validator "$VALIDATORS/vst3-validator"
for seed in 0x2a 0x6b1d; do
    validate "random order, seed $seed" --randomise --random-seed "$seed" --repeat 2
done
exit $failed
