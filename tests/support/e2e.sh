# Shared by the end-to-end scripts: a private X display with a window manager, a private settings
# folder, a system without serial ports of its own, the program started on them, and bounded
# waits for the states the scripts act on. Sourced, not run.
#
# No step waits a fixed time for something to happen: each waits, within e2e_timeout seconds,
# for the state it needs (a window on screen, a window holding the keyboard focus, a popup open,
# bytes at the box), and fails with a message naming that state when it does not come.
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
# A bound for a hang, not a pace: a loaded machine or a sanitizer build is slow, never this slow.
e2e_timeout=${E2E_TIMEOUT:-30}

# Ends what the script started, the last started first, so that the program never outlives the
# display it draws on.
e2e_cleanup() {
    local i
    for ((i = ${#e2e_pids[@]} - 1; i >= 0; i--)); do
        kill "${e2e_pids[i]}" 2>/dev/null || true
    done
    rm -rf "$e2e_dir"
}
trap e2e_cleanup EXIT

# Runs the command until it succeeds, for at most e2e_timeout seconds; says what did not come to
# pass when it never does.
e2e_wait_until() {
    local what=$1
    shift
    local end=$((SECONDS + e2e_timeout))
    until "$@"; do
        if ((SECONDS >= end)); then
            echo "waited ${e2e_timeout}s for $what" >&2
            return 1
        fi
        sleep 0.05
    done
}

# Starts Xvfb on a display number it picks itself, free at that moment even with other runs
# starting beside this one, and exports DISPLAY. Without -noreset the server resets when its last
# client leaves (the probe below, a panel that quits), and a client connecting meanwhile is refused.
e2e_start_display() {
    local fifo="$e2e_dir/displayfd" n=""
    mkfifo "$fifo"
    Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" \
        >"$e2e_dir/xvfb.log" 2>&1 &
    e2e_pids+=($!)
    # The server writes its number once it accepts connections.
    read -r -t "$e2e_timeout" n <"$fifo" || true
    if [ -z "$n" ]; then
        echo "no X display could be started" >&2
        cat "$e2e_dir/xvfb.log" >&2
        return 1
    fi
    export DISPLAY=":$n"
    if ! xdpyinfo >/dev/null 2>"$e2e_dir/xdpyinfo.log"; then
        echo "the X display :$n does not answer" >&2
        cat "$e2e_dir/xdpyinfo.log" "$e2e_dir/xvfb.log" >&2
        return 1
    fi
    e2e_start_window_manager
}

e2e_window_manager_runs() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# Starts openbox on $DISPLAY and waits until it manages the screen, so that windows get frames,
# focus and stacking as on a desktop.
e2e_start_window_manager() {
    openbox --sm-disable >"$e2e_dir/openbox.log" 2>&1 &
    e2e_pids+=($!)
    if ! e2e_wait_until "openbox to manage $DISPLAY" e2e_window_manager_runs; then
        cat "$e2e_dir/openbox.log" >&2
        return 1
    fi
}

# The id of a window of that exact title that is on screen, if there is one.
e2e_shown_window() {
    xdotool search --onlyvisible --name "^${1}\$" 2>/dev/null | head -n 1 || true
}

e2e_window_is_shown() {
    [ -n "$(e2e_shown_window "$1")" ]
}

# Waits until a window of that exact title is mapped and prints its id.
e2e_wait_window() {
    local title=$1
    e2e_wait_until "a window titled '$title'" e2e_window_is_shown "$title"
    e2e_shown_window "$title"
}

e2e_title_is() {
    [ "$(xdotool getwindowname "$1" 2>/dev/null)" = "$2" ]
}

# Waits until the window bears that title.
e2e_wait_title() {
    local window=$1 title=$2
    e2e_wait_until "the title '$title'" e2e_title_is "$window" "$title"
}

# True when the window manager has made the window the active one and the X server gives it
# the keyboard.
e2e_has_keyboard_focus() {
    local window=$1
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$window" ] &&
        [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$window" ]
}

# Makes the window the active one, through the window manager, and waits until it is and holds
# the keyboard focus: keys typed before then would reach another window, or none.
e2e_activate() {
    local window=$1
    xdotool windowactivate "$window" 2>/dev/null || true
    e2e_wait_until "window $window to hold the keyboard focus" e2e_has_keyboard_focus "$window"
}

# Types the keys (xdotool key names) into the window once it holds the keyboard focus.
e2e_type() {
    local window=$1
    shift
    e2e_activate "$window"
    xdotool key "$@"
}

# The program's popups on screen (menus, a popup's list): its mapped windows that no window
# manager frames.
e2e_popups() {
    local window
    for window in $(xdotool search --all --onlyvisible --pid "$1" 2>/dev/null || true); do
        if xwininfo -id "$window" 2>/dev/null | grep -q 'Override Redirect State: yes'; then
            echo "$window"
        fi
    done
}

e2e_popup_count_is() {
    [ "$(e2e_popups "$1" | wc -l)" = "$2" ]
}

# Waits until exactly that many popups of the program are on screen: a click meant for a menu item
# must not come before its menu shows, nor one meant for a window before the menu has closed.
e2e_wait_popups() {
    local pid=$1 count=$2
    e2e_wait_until "$count popup(s) of process $pid on screen" e2e_popup_count_is "$pid" "$count"
}

# Starts the pseudo-terminal that stands in for the controller box, exports its device path as
# the only extra port (ZQ8_SERIAL_PORTS) and sets e2e_box to it. Its bytes go to
# $e2e_dir/received; e2e_stop_box makes that record whole.
e2e_start_box() {
    python3 "$(dirname "${BASH_SOURCE[0]}")/pty_recorder.py" "$e2e_dir/pty" "$e2e_dir/received" \
        170 &
    e2e_box_pid=$!
    e2e_pids+=($e2e_box_pid)
    # The recorder names its device side only once the line is open.
    e2e_wait_until "the box's pseudo-terminal" test -s "$e2e_dir/pty"
    e2e_box=$(cat "$e2e_dir/pty")
    export ZQ8_SERIAL_PORTS=$e2e_box
}

# Starts a second pseudo-terminal that records what reaches it, as the box's does, for a device
# that must get nothing: its device path in $e2e_dir/<name>_pty, its bytes in
# $e2e_dir/<name>_received. Sets e2e_recorder to its pid and e2e_recorder_pty to its device path.
e2e_start_recorder() {
    python3 "$(dirname "${BASH_SOURCE[0]}")/pty_recorder.py" "$e2e_dir/$1_pty" \
        "$e2e_dir/$1_received" 170 &
    e2e_recorder=$!
    e2e_pids+=($e2e_recorder)
    e2e_wait_until "the $1 pseudo-terminal" test -s "$e2e_dir/$1_pty"
    e2e_recorder_pty=$(cat "$e2e_dir/$1_pty")
}

# Ends the box once it has taken in every byte still on the line.
e2e_stop_box() {
    kill -TERM "$e2e_box_pid"
    e2e_wait_exit "$e2e_box_pid"
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
    e2e_wait_bytes "$e2e_dir/received" "$1" || {
        echo "the box received $(e2e_received)" >&2
        return 1
    }
}

e2e_received_ends_with() {
    [[ "$(e2e_received)" == *"$1" ]]
}

# Waits, within a bound, until the last bytes the box received are these (hexadecimal as above).
e2e_wait_received_ending() {
    e2e_wait_until "the box's last bytes to be $1" e2e_received_ends_with "$1" || {
        echo "the box received $(e2e_received)" >&2
        return 1
    }
}

# Runs the command that starts the program (the program itself, or a wrapper around it) with its
# stderr kept in $e2e_dir/stderr, waits for its window of that title and for the window to hold
# the keyboard focus; sets e2e_panel to the pid and e2e_main to the window.
e2e_start_panel() {
    local title=$1
    shift
    "$@" 2>"$e2e_dir/stderr" &
    e2e_panel=$!
    e2e_pids+=($e2e_panel)
    e2e_main=$(e2e_wait_window "$title")
    e2e_activate "$e2e_main"
}

e2e_file_size_at_least() {
    [ "$(stat -c %s "$1" 2>/dev/null || echo 0)" -ge "$2" ]
}

# Waits until the file holds at least that many bytes.
e2e_wait_bytes() {
    local file=$1 count=$2
    e2e_wait_until "$count bytes in $file" e2e_file_size_at_least "$file" "$count"
}

e2e_has_ended() {
    ! kill -0 "$1" 2>/dev/null
}

# Waits, within a bound, for a child of this shell to end; sets e2e_status to its exit status.
e2e_wait_exit() {
    local pid=$1
    e2e_wait_until "process $pid to end" e2e_has_ended "$pid" || return 1
    e2e_status=0
    wait "$pid" || e2e_status=$?
}

# Prints the frame of a mapped window as "x y width height": where the window manager shows it,
# title bar and borders included.
e2e_frame_extents() {
    xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ,
}

e2e_has_frame() {
    [ -n "$(e2e_frame_extents "$1")" ]
}

e2e_frame() {
    local id=$1 extents
    e2e_wait_until "window $id to be framed" e2e_has_frame "$id" || return 1
    extents=$(e2e_frame_extents "$id")
    xwininfo -id "$id" | awk -v extents="$extents" '
        BEGIN { split(extents, e, " ") }
        /Absolute upper-left X/ { x = $4 }
        /Absolute upper-left Y/ { y = $4 }
        /Width:/ { w = $2 }
        /Height:/ { h = $2 }
        END { print x - e[1], y - e[3], w + e[1] + e[2], h + e[3] + e[4] }'
}

# Prints the frame of a window once the window manager is done placing it: it frames, places and
# maps a new window before it takes any request about it, so once the window holds the keyboard
# focus it was given through the window manager, it stands where it was placed.
e2e_settled_frame() {
    local id=$1
    e2e_activate "$id" || return 1
    e2e_frame "$id"
}

e2e_frame_at() {
    local frame
    frame=$(e2e_frame "$1") && [[ "$frame" == "$2 $3 "* ]]
}

# Waits until the window's frame stands at x y and prints the frame; says where it stands when it
# never does.
e2e_wait_frame_at() {
    local id=$1 x=$2 y=$3
    e2e_wait_until "window $id to stand at $x,$y" e2e_frame_at "$id" "$x" "$y" || {
        echo "it stands at $(e2e_frame "$id")" >&2
        return 1
    }
    e2e_frame "$id"
}

# Chooses Options, Select Port in the main window of the panel started last, with the mouse;
# prints the port dialog's id once it shows.
e2e_open_port_dialog() {
    local main=$1
    xdotool mousemove --window "$main" 106 8 click 1
    e2e_wait_popups "$e2e_panel" 1 || return 1
    xdotool mousemove --window "$main" 130 29 click 1
    e2e_wait_window "Select Port"
}

e2e_window_is_unmapped() {
    ! xwininfo -id "$1" 2>/dev/null | grep -q IsViewable
}

# Presses the port dialog's OK with the mouse and waits until the dialog is gone from the screen.
e2e_press_ok() {
    local dialog=$1
    xdotool mousemove --window "$dialog" 150 70 click 1
    e2e_wait_until "the port dialog to go after OK" e2e_window_is_unmapped "$dialog"
}

# Quits through Ctrl+Q typed into the main window and waits for the program to end; sets
# e2e_status, and fail to 1 when it is not 0, saying so after the label given.
e2e_quit() {
    local main=$1 pid=$2 label=${3:-quit}
    e2e_type "$main" ctrl+q
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

# Ends a script: with its stderr and status 1 when a check set fail to 1, else with the line given.
e2e_finish() {
    if [ "${fail:-0}" != 0 ]; then
        cat "$e2e_dir/stderr" >&2
        exit 1
    fi
    echo "ok: $1"
}
