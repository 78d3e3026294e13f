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
e2e_pids+=($!)
for _ in $(seq 100); do [ -e "$e2e_dir/pty" ] && break; sleep 0.05; done
box=$(cat "$e2e_dir/pty")
export ZQ8_SERIAL_PORTS=$box

"$program" 2>"$e2e_dir/stderr" &
pid=$!
e2e_pids+=($pid)
main=$(e2e_wait_window "Sony SIRC")
menu=19  # the menu bar's height above the content area

# Clicks at a point of a window, in that window's coordinates.
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep "${E2E_PAUSE:-0.5}"; }
options() { click "$main" 106 8; }

options
click "$main" 130 29  # Select Port
dialog=$(e2e_wait_window "Select Port")
click "$dialog" 100 24  # the popup's list opens
xdotool key End Return  # the controller's port is the last row
sleep 0.3
click "$dialog" 150 70  # OK
for _ in $(seq 100); do
    [ "$(xdotool getwindowname "$main")" = "ZQ8-$box" ] && break
    sleep 0.05
done
[ "$(xdotool getwindowname "$main")" = "ZQ8-$box" ] || { echo "the port did not open" >&2; exit 1; }

click "$main" 190 $((8 + 11 + menu))  # Power On/Off
xdotool windowfocus "$main"
sleep 0.2
xdotool key 5
sleep 0.3
options
xdotool mousemove --window "$main" 130 95  # Protocol
sleep 0.5
xdotool mousemove --window "$main" 200 95 mousemove --window "$main" 260 95
sleep 0.3
click "$main" 260 117  # Phillips RC6
options
click "$main" 130 117  # viewcmds
click "$main" 34 $((8 + 14 + menu))   # "1"
click "$main" 34 $((136 + 14 + menu)) # CLR: no code under Philips RC6, so a "Key 15" row
sleep 0.3
import -window "$main" "$shot" 2>/dev/null || true
xdotool windowfocus "$main"
sleep 0.2
xdotool key ctrl+q
e2e_wait_exit "$pid"
sleep 0.3

fail=0
[ "$e2e_status" = 0 ] || { echo "exit status $e2e_status, expected 0" >&2; fail=1; }
received=$(od -An -tx1 -v "$e2e_dir/received" | tr -s ' \n' ' ' | sed 's/^ //;s/ $//')
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
