# Sourced by the end-to-end scripts that drive the standalone editor in a virtual display. Needs
# $WORK (a scratch folder), the pids array of the caller (killed on exit) and a running display.

CONVERT=/usr/bin/convert   # ImageMagick's, not a stand-in of the same name earlier on the PATH
IMPORT=/usr/bin/import

# start_editor LOG [ARGS...]: starts $APP with ARGS, logging to LOG, and waits for its window; sets
# APP_PID, WID and the window's geometry (X, Y, WIDTH, HEIGHT).
start_editor() {
    local log="$1"; shift
    "$APP" "$@" >"$log" 2>&1 &
    APP_PID=$!
    pids+=($APP_PID)
    WID=""
    for _ in $(seq 1 300); do
        WID="$(xdotool search --name '^Kelvo VST$' 2>/dev/null | head -n 1 || true)"
        [ -n "$WID" ] && break
        sleep 0.1
    done
    [ -n "$WID" ] || { echo "FAIL: the editor window did not open"; cat "$log"; exit 1; }
    eval "$(xdotool getwindowgeometry --shell "$WID")"
}

# Quits the way a user does (the window's close button).
quit_editor() {
    wmctrl -i -c "$WID"
    for _ in $(seq 1 100); do kill -0 "$APP_PID" 2>/dev/null || return 0; sleep 0.1; done
    echo "FAIL: the editor did not quit"; exit 1
}

# The editor's top edge on screen: the first row of the window whose pixel at x = 450 (inside the
# app bar, right of its buttons) has the app bar's colour; empty while the bar is not drawn.
find_editor_top() {
    "$IMPORT" -window root "$WORK/probe.png"
    local dy
    dy="$("$CONVERT" "$WORK/probe.png" -crop "1x161+$((X + 450))+$Y" +repage txt:- \
        | awk -F'[,:]' '/#404040/ { print $2; exit }')"
    [ -n "$dy" ] && echo $((Y + dy)) || echo ""
}

# Sets TOP, waiting for the app bar to be drawn. The window manager may have moved the window since
# it appeared: its place is read again first.
wait_for_editor_top() {
    TOP=""
    for _ in $(seq 1 40); do
        eval "$(xdotool getwindowgeometry --shell "$WID")"
        TOP="$(find_editor_top)"
        [ -n "$TOP" ] && return 0
        sleep 0.1
    done
    echo "FAIL: no app bar found in the window"; "$IMPORT" -window root "$1"; exit 1
}

# The link as the status line (582, 2, 300 x 15 in the app bar) shows it: "online" when its text
# is the on-line grey, "offline" when it is the off-line amber, "none" before any text is drawn.
status_state() {
    "$IMPORT" -window root "$WORK/status.png"
    "$CONVERT" "$WORK/status.png" -crop "300x15+$((X + 582))+$((TOP + 2))" +repage "$WORK/status-crop.png"
    local grey amber
    grey="$("$CONVERT" "$WORK/status-crop.png" -fx "(min(min(r,g),b) > 0.5 && max(max(r,g),b) - min(min(r,g),b) < 0.08) ? 1 : 0" \
        -format "%[fx:round(mean*w*h)]" info:)"
    amber="$("$CONVERT" "$WORK/status-crop.png" -fx "(r > 0.6 && r - b > 0.25) ? 1 : 0" -format "%[fx:round(mean*w*h)]" info:)"
    if [ "$amber" -gt 20 ]; then echo offline; elif [ "$grey" -gt 20 ]; then echo online; else echo none; fi
}

# Waits up to $2 tenths of a second for status_state to be $1.
wait_for_status() {
    for _ in $(seq 1 "$2"); do [ "$(status_state)" = "$1" ] && return 0; sleep 0.1; done
    return 1
}
