#!/usr/bin/env bash
# The X server goes away under a running panel, as at a logout or a dropped remote X link: the
# panel ends with status 1 and one line naming the display, without a crash, and the settings
# file stays whole. The frames typed before are all on the line.
source "$(dirname "$0")/../support/e2e.sh"
program=$1

e2e_start_display
xvfb=${e2e_pids[0]}  # this run's own X server, started first
e2e_start_box
e2e_write_settings controlport "$e2e_box" zq8lang 1
e2e_start_panel "Phillips RC6" "$program"
pid=$e2e_panel
xdotool key 1 2 3
expected="03 b1 01 06 01 bc 02 ba 01 00 bd 02 ba 02 00 be 02 ba 03 00 bf"
e2e_wait_received 21

kill "$xvfb"
e2e_wait_exit "$pid"
fail=0
[ "$e2e_status" = 1 ] || { echo "exit status $e2e_status, expected 1" >&2; fail=1; }
line="zq8: lost the X display \"$DISPLAY\""
[ "$(cat "$e2e_dir/stderr")" = "$line" ] || {
    echo "stderr: $(cat "$e2e_dir/stderr")" >&2
    echo "expected: $line" >&2
    fail=1
}
settings="$XDG_CONFIG_HOME/zq8/zq8.ini"
lines=$(wc -l <"$settings")
[ "$lines" = 256 ] || { echo "zq8.ini has $lines lines" >&2; fail=1; }
[ "$(head -n 4 "$settings" | tr '\n' '|')" = "controlport|$e2e_box|zq8lang|1|" ] || {
    echo "zq8.ini begins: $(head -n 4 "$settings" | tr '\n' '|')" >&2
    fail=1
}
[ "$(e2e_received)" = "$expected" ] || { echo "received: $(e2e_received)" >&2; fail=1; }
[ "$fail" = 0 ] || exit 1
echo "ok: the display went, the panel ended with status 1 and one line, zq8.ini whole"
