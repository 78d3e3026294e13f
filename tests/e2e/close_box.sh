#!/usr/bin/env bash
# Under openbox: the close button of the panel's title bar (the window manager's
# WM_DELETE_WINDOW) ends the run as Quit does: status 0, the port dialog's position stored.
source "$(dirname "$0")/../support/e2e.sh"
program=$1

e2e_start_display
e2e_start_panel "Sony SIRC" "$program"
pid=$e2e_panel main=$e2e_main
read -r x y width _ < <(e2e_frame "$main")
# openbox's title bar is 20 pixels high, its close button the last at the right.
xdotool mousemove $((x + width - 10)) $((y + 10)) click 1
e2e_wait_exit "$pid"

fail=0
[ "$e2e_status" = 0 ] || { echo "exit status $e2e_status, expected 0" >&2; fail=1; }
settings="$XDG_CONFIG_HOME/zq8/zq8.ini"
lines=$(wc -l <"$settings")
[ "$lines" = 256 ] || { echo "zq8.ini has $lines lines" >&2; fail=1; }
if [ -z "$(e2e_setting "Select Port_left")" ] || [ -z "$(e2e_setting "Select Port_top")" ]; then
    echo "the dialog's position was not stored: the Close did not run" >&2
    fail=1
fi
e2e_finish "the close box ended the run with status 0 through the Close"
