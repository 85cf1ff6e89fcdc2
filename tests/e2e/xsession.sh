# Sourced by the end-to-end tests: a private X display with a window manager
# and a tray host, torn down when the test's shell exits.
#   xsession_start        sets DISPLAY; starts Xvfb, openbox and trayer
#   xsession_window NAME  waits for a visible window whose title is NAME, prints its id

xsession_pids=()

xsession_stop() {
    local pid
    for pid in "${xsession_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${xsession_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    xsession_pids=()
}

xsession_start() {
    local n
    for n in $(seq 91 140); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
    done
    export DISPLAY=":$n"
    # Qt would use the D-Bus tray protocol when a session bus exists; trayer speaks XEmbed.
    unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY
    export QT_QPA_PLATFORM=xcb
    Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    xsession_pids+=($!)
    trap xsession_stop EXIT
    for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    xdpyinfo >/dev/null 2>&1 || { echo "Xvfb did not start on $DISPLAY" >&2; return 1; }
    openbox --sm-disable >/dev/null 2>&1 &
    xsession_pids+=($!)
    trayer --edge bottom --align right --widthtype request --heighttype pixel --height 32 \
        --SetDockType true --transparent false --tint 0xdddddd >/dev/null 2>&1 &
    xsession_pids+=($!)
    for _ in $(seq 1 50); do xdotool search --class trayer >/dev/null 2>&1 && break; sleep 0.1; done
    sleep 0.5
}

xsession_window() {
    local id
    for _ in $(seq 1 150); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}
