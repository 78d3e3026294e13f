#!/usr/bin/env bash
# Under openbox: OK opens the port on the row the dialog showed. The box hangs on a USB adapter,
# ttyUSB1; while the dialog shows, another adapter is plugged in and becomes ttyUSB0, its node on
# a second pseudo-terminal. The user picks "ttyUSB1" without Refresh: the box gets the frames,
# the other adapter none. Shown again, the dialog still lists ttyUSB1; unplugged meanwhile, OK
# opens nothing, the title becomes "ZQ8" and one stderr line says the port is not there.
source "$(dirname "$0")/../support/e2e.sh"
program=$1
ports=$(dirname "$program")/fake_system_ports

e2e_start_display
e2e_start_box
unset ZQ8_SERIAL_PORTS
e2e_start_recorder other
other_recorder=$e2e_recorder other_pty=$e2e_recorder_pty
"$ports" "$ZQ8_SYSTEM_ROOT" usb ttyUSB1 "$e2e_box"

e2e_start_panel "Sony SIRC" "$program"
pid=$e2e_panel main=$e2e_main
fail=0

# Shows the dialog, runs the command given while it shows, picks the row after "none" and
# presses OK.
pick_first_port_while() {
    local dialog
    dialog=$(e2e_open_port_dialog "$main")
    e2e_activate "$dialog"
    "$@"
    xdotool mousemove --window "$dialog" 100 24 click 1 # the popup's list opens
    e2e_wait_popups "$pid" 1
    xdotool key Down Return
    e2e_wait_popups "$pid" 0
    e2e_press_ok "$dialog"
}

pick_first_port_while "$ports" "$ZQ8_SYSTEM_ROOT" usb ttyUSB0 "$other_pty"
e2e_wait_title "$main" "ZQ8-ttyUSB1" ||
    { echo "the title is '$(xdotool getwindowname "$main")', not ZQ8-ttyUSB1" >&2; fail=1; }
[ "$(e2e_setting controlport)" = ttyUSB1 ] ||
    { echo "stored '$(e2e_setting controlport)', not ttyUSB1" >&2; fail=1; }
e2e_type "$main" 1
e2e_wait_received_ending "02 ba 00 00 bc" || fail=1

pick_first_port_while "$ports" "$ZQ8_SYSTEM_ROOT" remove ttyUSB1
e2e_wait_title "$main" "ZQ8" ||
    { echo "the title is '$(xdotool getwindowname "$main")', not ZQ8" >&2; fail=1; }
said=$(grep '^zq8: \|^cannot open ' "$e2e_dir/stderr" || true)
[ "$said" = "zq8: the port ttyUSB1 is not there" ] ||
    { echo "stderr said '$said'" >&2; fail=1; }
[ "$(e2e_setting controlport)" = ttyUSB1 ] || { echo "the stored port changed" >&2; fail=1; }

e2e_quit "$main" "$pid"
e2e_stop_box
kill -TERM "$other_recorder"
e2e_wait_exit "$other_recorder"
[ "$(e2e_received)" = "02 ba 00 00 bc" ] ||
    { echo "the box received '$(e2e_received)'" >&2; fail=1; }
[ "$(wc -c <"$e2e_dir/other_received")" = 0 ] ||
    { echo "the adapter plugged in meanwhile got bytes" >&2; fail=1; }
e2e_finish "OK opened the row shown, and said when its port was gone"
