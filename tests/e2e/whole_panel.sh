#!/usr/bin/env bash
# The built program driven through real X events: choose the controller's port, click a key,
# type a digit, switch to Philips RC6, show the log, quit with Ctrl+Q; then check every byte that
# reached the controller, the settings file and the exit status. Leaves a screenshot of the panel
# with its log shown in the build folder.
source "$(dirname "$0")/../support/e2e.sh"
program=$1
support=$(dirname "$0")/../support
shot=${ZQ8_SCREENSHOT:-$(dirname "$program")/panel-with-log.png}

e2e_start_display
python3 "$support/pty_recorder.py" "$e2e_dir/pty" "$e2e_dir/received" 120 &
recorder=$!
e2e_pids+=($recorder)
e2e_wait_until "the box's pseudo-terminal" test -s "$e2e_dir/pty"
box=$(cat "$e2e_dir/pty")
export ZQ8_SERIAL_PORTS=$box

"$program" 2>"$e2e_dir/stderr" &
pid=$!
e2e_pids+=($pid)
main=$(e2e_wait_window "Sony SIRC")
menu=19  # the menu bar's height above the content area
record="$e2e_dir/received"

# Clicks at a point of a window, in that window's coordinates.
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
# Opens the Options menu.
options() {
    click "$main" 106 8
    e2e_wait_popups "$pid" 1
}
# Clicks an item of the open menus, at a point of the main window, and waits for them to close.
choose() {
    click "$main" "$1" "$2"
    e2e_wait_popups "$pid" 0
}
log_shown() { xdotool getwindowgeometry "$main" | grep -q "Geometry: 260x$((584 + menu))\$"; }

options
choose 130 29  # Select Port
dialog=$(e2e_wait_window "Select Port")
# The keys below go to the dialog: the main window takes none while the dialog shows.
e2e_activate "$dialog"
click "$dialog" 100 24  # the popup's list opens
e2e_wait_popups "$pid" 1
xdotool key End Return  # the controller's port is the last row
e2e_wait_popups "$pid" 0
click "$dialog" 150 70  # OK
e2e_wait_title "$main" "ZQ8-$box" || { echo "the port did not open" >&2; exit 1; }

# Active again once the window manager has let the dialog go, its frame with it.
e2e_activate "$main"
click "$main" 190 $((8 + 11 + menu))  # Power On/Off
e2e_wait_bytes "$record" 5
e2e_type "$main" 5
e2e_wait_bytes "$record" 10
options
click "$main" 130 95  # Protocol: its submenu opens
e2e_wait_popups "$pid" 2
choose 260 117  # Phillips RC6
e2e_wait_title "$main" "Phillips RC6"
e2e_wait_bytes "$record" 16
options
choose 130 117  # viewcmds
e2e_wait_until "the log to show" log_shown
click "$main" 34 $((8 + 14 + menu))  # "1"
e2e_wait_bytes "$record" 21
click "$main" 34 $((136 + 14 + menu))  # CLR: no code under Philips RC6, so a "Key 15" row
sleep 0.3  # for the picture alone: the row painted; nothing below depends on it
import -window "$main" "$shot" 2>/dev/null || true
e2e_type "$main" ctrl+q
e2e_wait_exit "$pid"
status=$e2e_status
# The recorder takes in what is still on the line before it ends.
kill -TERM "$recorder"
e2e_wait_exit "$recorder"

fail=0
[ "$status" = 0 ] || { echo "exit status $status, expected 0" >&2; fail=1; }
received=$(od -An -tx1 -v "$record" | tr -s ' \n' ' ' | sed 's/^ //;s/ $//')
expected="02 ba 15 00 d1 02 ba 04 00 c0 03 b1 01 06 01 bc 02 ba 01 00 bd"
[ "$received" = "$expected" ] || { echo "received: $received" >&2; echo "expected: $expected" >&2; fail=1; }
settings="$XDG_CONFIG_HOME/zq8/zq8.ini"
lines=$(wc -l <"$settings")
[ "$lines" = 256 ] || { echo "zq8.ini has $lines lines" >&2; fail=1; }
head -n 8 "$settings" | tr '\n' '|' >"$e2e_dir/head"
case "$(cat "$e2e_dir/head")" in
    "zq8lang|1|controlport|$box|Select Port_left|"*"|Select Port_top|"*) ;;
    *) echo "zq8.ini begins: $(cat "$e2e_dir/head")" >&2; fail=1 ;;
esac
if [ "$fail" != 0 ]; then
    cat "$e2e_dir/stderr" >&2
    exit 1
fi
echo "ok: frames, settings and exit status as expected; screenshot in $shot"
