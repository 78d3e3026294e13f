# Shared by the end-to-end scripts: a private X display, a private settings folder, a system
# without serial ports of its own, and the program started on them. Sourced, not run.
set -euo pipefail

e2e_dir=$(mktemp -d)
export XDG_CONFIG_HOME="$e2e_dir/config"
mkdir -p "$XDG_CONFIG_HOME"
# A runtime folder of its own: Qt warns on stderr without one, and it holds no Wayland socket.
export XDG_RUNTIME_DIR="$e2e_dir/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
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
# starting beside this one, and exports DISPLAY. Without -noreset the server resets when its last
# client leaves (the probe below, a panel that quits), and a client connecting meanwhile is refused.
e2e_start_display() {
    local fifo="$e2e_dir/displayfd" n=""
    mkfifo "$fifo"
    Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" \
        >"$e2e_dir/xvfb.log" 2>&1 &
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

# Starts the pseudo-terminal that stands in for the controller box, exports its device path as
# the only extra port (ZQ8_SERIAL_PORTS) and sets e2e_box to it.
e2e_start_box() {
    python3 "$(dirname "${BASH_SOURCE[0]}")/pty_recorder.py" "$e2e_dir/pty" "$e2e_dir/received" 170 &
    e2e_pids+=($!)
    for _ in $(seq 100); do [ -e "$e2e_dir/pty" ] && break; sleep 0.05; done
    [ -e "$e2e_dir/pty" ] || { echo "the pseudo-terminal did not start" >&2; return 1; }
    e2e_box=$(cat "$e2e_dir/pty")
    export ZQ8_SERIAL_PORTS=$e2e_box
}

# Writes a settings file whose pairs are the arguments (key, value, key, value...).
e2e_write_settings() {
    mkdir -p "$XDG_CONFIG_HOME/zq8"
    local lines=("$@")
    while ((${#lines[@]} < 256)); do lines+=(""); done
    printf '%s\n' "${lines[@]}" >"$XDG_CONFIG_HOME/zq8/zq8.ini"
}

# Every byte the box has received so far, as lower-case hexadecimal pairs joined by blanks.
e2e_received() {
    od -An -tx1 -v "$e2e_dir/received" 2>/dev/null | tr -s ' \n' ' ' | sed 's/^ //;s/ $//'
}

# Waits, within a bound, until the box has received at least that many bytes.
e2e_wait_received() {
    local count=$1
    for _ in $(seq 200); do
        (($(stat -c %s "$e2e_dir/received" 2>/dev/null || echo 0) >= count)) && return 0
        sleep 0.05
    done
    echo "the box received $(stat -c %s "$e2e_dir/received" 2>/dev/null || echo 0) bytes, expected $count" >&2
    return 1
}

# Waits, within a bound, until the last bytes the box received are these (hexadecimal as above).
e2e_wait_received_ending() {
    local tail=$1
    for _ in $(seq 200); do
        [[ "$(e2e_received)" == *"$tail" ]] && return 0
        sleep 0.05
    done
    echo "the box's last bytes are not $tail: $(e2e_received)" >&2
    return 1
}

# Runs the command that starts the program (the program itself, or a wrapper around it) with its
# stderr kept in $e2e_dir/stderr, waits for its window of that title and gives it the focus; sets
# e2e_panel to the pid and e2e_main to the window.
e2e_start_panel() {
    local title=$1
    shift
    "$@" 2>"$e2e_dir/stderr" &
    e2e_panel=$!
    e2e_pids+=($e2e_panel)
    e2e_main=$(e2e_wait_window "$title")
    xdotool windowfocus --sync "$e2e_main"
}
