#!/usr/bin/env bash
# Typed keys as real X events under openbox, read off the box byte for byte: keys typed with
# Ctrl, Alt or Meta held press no keypad key, although Ctrl+4 to Ctrl+7 and Ctrl+\ ] ^ _ type the
# arrows' character codes and Ctrl+M that of Return; a key held down repeats, and each repeat
# sends its whole frame, as a held remote button does.
source "$(dirname "$0")/../support/e2e.sh"
program=$1

e2e_start_display
xset r on
xset r rate 250 25  # repeats after 250 ms, 25 a second
e2e_start_box
e2e_write_settings controlport "$e2e_box"
e2e_start_panel "Sony SIRC" "$program"
pid=$e2e_panel
main=$e2e_main
e2e_wait_received 6
fail=0

xdotool key --delay 100 ctrl+1 ctrl+4 ctrl+5 ctrl+6 ctrl+7 ctrl+backslash ctrl+bracketright \
    ctrl+asciicircum ctrl+underscore ctrl+m ctrl+Return ctrl+Left alt+5 alt+Return super+5 \
    super+Up
xdotool key 5  # after them, so that anything they sent would stand before its frame
e2e_wait_received 11
expected="03 b1 01 06 00 bb 02 ba 04 00 c0"
if [ "$(e2e_received)" != "$expected" ]; then
    echo "after the combinations the box received: $(e2e_received)" >&2
    echo "expected:                                 $expected" >&2
    fail=1
fi

# Held until it has repeated; the key comes up before the check, so no frame is cut.
held_repeats() { [[ "$(e2e_received)" == "$expected 02 ba 07 00 c3 02 ba 07 00 c3"* ]]; }
xdotool keydown 8
e2e_wait_until "a held 8 to repeat" held_repeats || fail=1
xdotool keyup 8
xdotool key 5
e2e_wait_received_ending "02 ba 07 00 c3 02 ba 04 00 c0" || fail=1
held=$(e2e_received)
held=${held#"$expected "}
held=${held%" 02 ba 04 00 c0"}
frames=$(((${#held} + 1) / 15))
if ! [[ "$held " =~ ^("02 ba 07 00 c3 ")+$ ]] || ((frames < 2)); then
    echo "while 8 was held the box received: $held" >&2
    echo "expected two or more frames of:    02 ba 07 00 c3" >&2
    fail=1
fi

xdotool key ctrl+q
e2e_wait_exit "$pid"
[ "$e2e_status" = 0 ] || { echo "exit status $e2e_status, expected 0" >&2; fail=1; }
if [ "$fail" != 0 ]; then
    cat "$e2e_dir/stderr" >&2
    exit 1
fi
echo "ok: combinations with Ctrl, Alt or Meta sent nothing; a held 8 sent $frames whole frames"
