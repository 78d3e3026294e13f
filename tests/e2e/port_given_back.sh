#!/usr/bin/env bash
# The port as other programs find it again. A tool that holds the box's port with the terminal's
# exclusive flag alone, without a lock: the panel, as root and as an ordinary user, finds the port
# in use, says so in one line, and leaves the tool's flag and settings as they were. Then the
# display goes away under a panel with the port open: the run ends at once, and the port has the
# terminal settings it had before the panel opened it, with no exclusive flag left behind.
source "$(dirname "$0")/../support/e2e.sh"
program=$1

e2e_start_display
xvfb=${e2e_pids[0]} # this run's own X server, started first
e2e_start_box
e2e_write_settings controlport "$e2e_box" zq8lang 1
fail=0
said() { grep -E '^(zq8: |cannot open )' "$1" || true; }

# 1. The tool holds the port; each panel quits once its window shows.
python3 "$(dirname "$0")/../support/exclusive_holder.py" "$e2e_box" "$e2e_dir/held" \
    "$e2e_dir/left" 2>"$e2e_dir/holder.log" &
holder=$!
e2e_pids+=($holder)
e2e_wait_until "the tool to hold the port" test -s "$e2e_dir/held"
# A copy of the program anyone may run, wherever the build lies.
install -m 755 "$program" "$e2e_dir/zq8"
chmod 755 "$e2e_dir"
chmod o+rw "$(readlink -f "$e2e_box")"
in_use="cannot open $e2e_box: in use by another program"
run_panel() {
    local label=$1
    shift
    e2e_start_panel "Phillips RC6" "$@" "$e2e_dir/zq8"
    e2e_quit "$e2e_main" "$e2e_panel" "$label"
    [ "$(said "$e2e_dir/stderr")" = "$in_use" ] || {
        echo "$label: stderr: $(said "$e2e_dir/stderr")" >&2
        fail=1
    }
}
run_panel "this user's panel"
# As root, also an ordinary user's panel, whose open meets the flag itself.
if [ "$(id -u)" = 0 ]; then
    chmod -R a+rwX "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
    run_panel "an ordinary user's panel" setpriv --reuid=nobody --regid=nogroup --clear-groups --
fi
kill -USR1 "$holder"
e2e_wait_exit "$holder"
[ "$(cat "$e2e_dir/left")" = "$(cat "$e2e_dir/held")" ] || {
    echo "the tool set: $(cat "$e2e_dir/held")" >&2
    echo "it found at the end: $(cat "$e2e_dir/left")" >&2
    fail=1
}
[ "$(e2e_received)" = "" ] || { echo "the held port got: $(e2e_received)" >&2; fail=1; }

# 2. Settings a shell would leave on the port, which the panel changes to its own while open.
stty -F "$e2e_box" 1200 icrnl opost onlcr icanon echo
before=$(stty -F "$e2e_box" -g)
e2e_start_panel "Phillips RC6" "$program"
e2e_wait_received 6
kill "$xvfb"
e2e_wait_exit "$e2e_panel"
[ "$e2e_status" = 1 ] || { echo "exit status $e2e_status, expected 1" >&2; fail=1; }
[ "$(said "$e2e_dir/stderr")" = "zq8: lost the X display \"$DISPLAY\"" ] || {
    echo "stderr: $(said "$e2e_dir/stderr")" >&2
    fail=1
}
# An ordinary user's open meets no exclusive flag (root's would pass one), and the settings are
# those from before.
ordinary=()
if [ "$(id -u)" = 0 ]; then
    ordinary=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
fi
after=$("${ordinary[@]}" stty -F "$e2e_box" -g 2>&1) || true
[ "$after" = "$before" ] || {
    echo "the port had: $before" >&2
    echo "it has after the run: $after" >&2
    fail=1
}
e2e_finish "a port held by the exclusive flag alone is in use; the display lost, the port is given back"
