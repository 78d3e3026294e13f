#!/usr/bin/env bash
# SIGTERM, SIGINT and SIGHUP end the panel as its Quit item does, under openbox: status 0,
# nothing on stderr, every frame typed before the signal whole on the line, and the port dialog's
# position stored. Once with the dialog never shown (its stored position is written back), and
# once while it is shown modally, with no position stored before (its Close stores one).
source "$(dirname "$0")/../support/e2e.sh"
program=$1
settings="$XDG_CONFIG_HOME/zq8/zq8.ini"

e2e_start_display
e2e_start_box
fail=0
sent=""  # every byte the box should have received so far, over all runs

# Starts the panel on settings of the box's port and any pairs given, with the three signals at
# their default, as from a terminal (a background job of a script would ignore SIGINT), and types
# the digits into it.
start_and_type() {
    e2e_write_settings controlport "$e2e_box" "$@"
    e2e_start_panel "Sony SIRC" env --default-signal=TERM,INT,HUP "$program"
    pid=$e2e_panel
    main=$e2e_main
    xdotool key 1 2 3 4 5 6 7 8 9 0
    sent="$sent${sent:+ }03 b1 01 06 00 bb"
    for code in 00 01 02 03 04 05 06 07 08 09; do
        sent="$sent 02 ba $code 00 $(printf '%02x' $((0xbc + 0x$code)))"
    done
}

# The value stored under a key in zq8.ini.
value_of() { awk -v key="$1" 'NR % 2 == 1 && $0 == key { getline; print; exit }' "$settings"; }

# Checks how the run ended: status 0, no stderr, all frames, and the dialog's position stored as
# left, top (patterns).
check_quit() {
    local what=$1 left=$2 top=$3
    e2e_wait_exit "$pid"
    [ "$e2e_status" = 0 ] || { echo "$what: exit status $e2e_status, expected 0" >&2; fail=1; }
    [ -s "$e2e_dir/stderr" ] && { echo "$what: stderr: $(cat "$e2e_dir/stderr")" >&2; fail=1; }
    e2e_wait_received $(((${#sent} + 1) / 3)) || true
    [ "$(e2e_received)" = "$sent" ] || {
        echo "$what: received: $(e2e_received)" >&2
        echo "$what: expected: $sent" >&2
        fail=1
    }
    local stored
    stored="$(value_of controlport)|$(value_of "Select Port_left")|$(value_of "Select Port_top")"
    [[ "$stored" == "$e2e_box|"$left"|"$top ]] || {
        echo "$what: zq8.ini holds controlport|left|top: $stored" >&2
        fail=1
    }
    [ "$(wc -l <"$settings")" = 256 ] || { echo "$what: zq8.ini is not 256 lines" >&2; fail=1; }
}

for signal in TERM INT HUP; do
    start_and_type "Select Port_left" 300 "Select Port_top" 200
    kill -s "$signal" "$pid"
    check_quit "SIG$signal" 300 200
done

start_and_type
xdotool mousemove --window "$main" 106 8 click 1  # Options
e2e_wait_popups "$pid" 1
xdotool mousemove --window "$main" 130 29 click 1  # Select Port
e2e_wait_window "Select Port" >/dev/null
kill -s TERM "$pid"
check_quit "SIGTERM with the port dialog shown" "[0-9]*" "[0-9]*"

[ "$fail" = 0 ] || exit 1
echo "ok: each signal quit as the Quit item does, the dialog shown or not"
