# Sourced by the scripts that run real windows without a desktop.
#
# start_virtual_display FIRST LAST: starts Xvfb on the first free display number from FIRST to
# LAST, waits for it, exports DISPLAY and starts openbox on it, so that windows get a window manager
# as on a user's desktop. Both processes are added to the caller's pids array, which the caller
# kills when it exits.
start_virtual_display() {
    local n display_number=""
    for n in $(seq "$1" "$2"); do
        if [ ! -e "/tmp/.X$n-lock" ]; then display_number=$n; break; fi
    done
    [ -n "$display_number" ] || { echo "no free display number from $1 to $2"; return 1; }
    Xvfb ":$display_number" -screen 0 1400x900x24 -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    export DISPLAY=":$display_number"
    for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    openbox >/dev/null 2>&1 &
    pids+=($!)
}
