# Shared by the end-to-end scripts: a private X display, a private settings folder, a system
# without serial ports of its own, and the program started on them. Sourced, not run.
set -euo pipefail

e2e_dir=$(mktemp -d)
export XDG_CONFIG_HOME="$e2e_dir/config"
mkdir -p "$XDG_CONFIG_HOME"
# The program lists the ttys of $ZQ8_SYSTEM_ROOT/sys/class/tty instead of this machine's, whose
# ports would shift the rows of the port dialog.
export ZQ8_SYSTEM_ROOT="$e2e_dir/system"
mkdir -p "$ZQ8_SYSTEM_ROOT/sys/class/tty" "$ZQ8_SYSTEM_ROOT/dev"
unset QT_QPA_PLATFORM
e2e_pids=()

e2e_cleanup() {
    for pid in "${e2e_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$e2e_dir"
}
trap e2e_cleanup EXIT

# Starts Xvfb on a display number it picks itself, free at that moment even with other runs
# starting beside this one, and exports DISPLAY.
e2e_start_display() {
    local fifo="$e2e_dir/displayfd" n=""
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >"$e2e_dir/xvfb.log" 2>&1 &
    e2e_pids+=($!)
    read -r -t 10 n <"$fifo" || true
    if [ -z "$n" ]; then
        echo "no X display could be started" >&2
        cat "$e2e_dir/xvfb.log" >&2
        return 1
    fi
    export DISPLAY=":$n"
    local answered=0
    for _ in $(seq 100); do
        xdpyinfo >/dev/null 2>&1 && { answered=1; break; }
        sleep 0.05
    done
    if [ "$answered" != 1 ]; then
        echo "the X display :$n does not answer" >&2
        return 1
    fi
    e2e_start_window_manager
}

# Starts openbox on $DISPLAY and waits until it manages the screen, so that windows get frames,
# focus and stacking as on a desktop.
e2e_start_window_manager() {
    openbox --sm-disable >"$e2e_dir/openbox.log" 2>&1 &
    e2e_pids+=($!)
    for _ in $(seq 200); do
        if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
            return 0
        fi
        sleep 0.05
    done
    echo "openbox did not start on $DISPLAY" >&2
    cat "$e2e_dir/openbox.log" >&2
    return 1
}

# Waits until a window of that exact title is mapped and prints its id.
e2e_wait_window() {
    local title=$1 id
    for _ in $(seq 200); do
        id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1 || true)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.05
    done
    echo "no window titled '$title'" >&2
    return 1
}

# Waits, within a bound, for a child of this shell to end; sets e2e_status to its exit status.
e2e_wait_exit() {
    local pid=$1
    for _ in $(seq 200); do
        if ! kill -0 "$pid" 2>/dev/null; then
            e2e_status=0
            wait "$pid" || e2e_status=$?
            return 0
        fi
        sleep 0.05
    done
    echo "process $pid did not end" >&2
    return 1
}

# Prints the frame of a mapped window as "x y width height": where the window manager shows it,
# title bar and borders included.
e2e_frame() {
    local id=$1 extents=""
    for _ in $(seq 200); do
        extents=$(xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ,)
        [ -n "$extents" ] && break
        sleep 0.05
    done
    if [ -z "$extents" ]; then
        echo "window $id has no frame" >&2
        return 1
    fi
    xwininfo -id "$id" | awk -v extents="$extents" '
        BEGIN { split(extents, e, " ") }
        /Absolute upper-left X/ { x = $4 }
        /Absolute upper-left Y/ { y = $4 }
        /Width:/ { w = $2 }
        /Height:/ { h = $2 }
        END { print x - e[1], y - e[3], w + e[1] + e[2], h + e[3] + e[4] }'
}

# Waits until a window stands still (two looks in a row see the same frame) and prints its frame.
e2e_settled_frame() {
    local id=$1 before="" now
    for _ in $(seq 100); do
        now=$(e2e_frame "$id") || return 1
        if [ "$now" = "$before" ]; then
            echo "$now"
            return 0
        fi
        before=$now
        sleep 0.1
    done
    echo "window $id does not stand still" >&2
    return 1
}

# Waits until one of the program's popups (a menu, a popup's list) shows: a window of its own
# without a title.
e2e_wait_popup() {
    local id
    for _ in $(seq 200); do
        for id in $(xdotool search --all --onlyvisible --classname zq8 2>/dev/null); do
            if xprop -id "$id" WM_NAME 2>/dev/null | grep -qE '^WM_NAME\([A-Z_]+\) = ("")?$'; then
                return 0
            fi
        done
        sleep 0.05
    done
    echo "no popup opened" >&2
    return 1
}

# Chooses Options, Select Port in the main window with the mouse; prints the port dialog's id
# once it shows.
e2e_open_port_dialog() {
    local main=$1
    xdotool mousemove --window "$main" 106 8 click 1
    e2e_wait_popup || return 1
    xdotool mousemove --window "$main" 130 29 click 1
    e2e_wait_window "Select Port"
}

# Presses the port dialog's OK with the mouse and waits until the dialog is gone from the screen.
e2e_press_ok() {
    local dialog=$1
    xdotool mousemove --window "$dialog" 150 70 click 1
    for _ in $(seq 200); do
        xwininfo -id "$dialog" 2>/dev/null | grep -q IsViewable || return 0
        sleep 0.05
    done
    echo "the port dialog stays after OK" >&2
    return 1
}

# Quits through Ctrl+Q typed into the main window and waits for the program to end; sets
# e2e_status, and fail to 1 when it is not 0, saying so after the label given.
e2e_quit() {
    local main=$1 pid=$2 label=${3:-quit}
    xdotool windowactivate --sync "$main"
    xdotool key ctrl+q
    e2e_wait_exit "$pid"
    if [ "$e2e_status" != 0 ]; then
        echo "$label: exit status $e2e_status, expected 0" >&2
        fail=1
    fi
}

# The value stored under a key in the settings file, or nothing.
e2e_setting() {
    awk -v key="$1" 'NR % 2 == 1 && $0 == key { getline; print; exit }' \
        "$XDG_CONFIG_HOME/zq8/zq8.ini"
}

# The port dialog's stored position, "left top".
e2e_stored_position() {
    echo "$(e2e_setting "Select Port_left") $(e2e_setting "Select Port_top")"
}

# Starts a pseudo-terminal standing in for the controller box, recording what arrives in
# $e2e_dir/received for at most the seconds given; lists it as a port and sets box to its path.
e2e_start_recorder() {
    python3 "$(dirname "${BASH_SOURCE[0]}")/pty_recorder.py" "$e2e_dir/pty" "$e2e_dir/received" \
        "$1" &
    e2e_pids+=($!)
    for _ in $(seq 100); do
        [ -e "$e2e_dir/pty" ] && break
        sleep 0.05
    done
    box=$(cat "$e2e_dir/pty")
    export ZQ8_SERIAL_PORTS=$box
}

# Starts the program given, its stderr added to $e2e_dir/stderr, and waits for its main window
# (titled "Sony SIRC" unless another title is given); sets pid and main.
e2e_start_panel() {
    "$1" </dev/null 2>>"$e2e_dir/stderr" &
    pid=$!
    e2e_pids+=($pid)
    main=$(e2e_wait_window "${2:-Sony SIRC}")
}

# Ends a script: with its stderr and status 1 when a check set fail to 1, else with the line given.
e2e_finish() {
    if [ "${fail:-0}" != 0 ]; then
        cat "$e2e_dir/stderr" >&2
        exit 1
    fi
    echo "ok: $1"
}
