#!/usr/bin/env bash
# Keys that walk the menus, typed as real X events under openbox: they choose menu items and
# press no keypad key. Read off the box: the walks that choose nothing send nothing, Alt+F, Left,
# Down, Return sends only "Enable remote"'s frame, and Options opened with the mouse, then Down
# four times, Right, Down, Return sends only "Phillips RC6"'s frame. A "5" typed into the window
# after each walk shows that keys still reach the keyboard map, and where the walk's bytes end.
source "$(dirname "$0")/../support/e2e.sh"
program=$1

e2e_start_display
e2e_start_box
e2e_write_settings controlport "$e2e_box"
e2e_start_panel "Sony SIRC" "$program"
pid=$e2e_panel
main=$e2e_main

expected="03 b1 01 06 00 bb"  # the protocol set at start
fail=0
# Types the keys one by one, then "5"; the box must receive exactly `frames`, then "5"'s frame.
walk() {
    local what=$1 frames=$2 five=$3
    shift 3
    xdotool key --delay 150 "$@"
    e2e_wait_popups "$pid" 0  # the walk's menus closed: "5" goes to the window, not to a menu
    e2e_type "$main" 5
    expected="$expected${frames:+ $frames} $five"
    e2e_wait_received $((${#expected} / 3 + 1)) || true
    if [ "$(e2e_received)" != "$expected" ]; then
        echo "$what: the box received: $(e2e_received)" >&2
        echo "$what: expected:          $expected" >&2
        fail=1
    fi
}

sirc_five="02 ba 04 00 c0"
walk "Alt+F, Left, Up, Escape, Escape" "" "$sirc_five" alt+f Left Up Escape Escape
walk "Alt+F, Right, Down, Down, Escape, Escape" "" "$sirc_five" alt+f Right Down Down Escape Escape
walk "Alt+F, Left, Down, Return" "03 b1 01 05 00 ba" "$sirc_five" alt+f Left Down Return
xdotool mousemove --window "$main" 106 8 click 1  # Options
e2e_wait_popups "$pid" 1
walk "Options, Down x4, Right, Down, Return" "03 b1 01 06 01 bc" "02 ba 05 00 c1" \
    Down Down Down Down Right Down Return
[ "$(xdotool getwindowname "$main")" = "Phillips RC6" ] || {
    echo "title: $(xdotool getwindowname "$main")" >&2
    fail=1
}

e2e_type "$main" ctrl+q
e2e_wait_exit "$pid"
[ "$e2e_status" = 0 ] || { echo "exit status $e2e_status, expected 0" >&2; fail=1; }
[ "$(e2e_received)" = "$expected" ] || { echo "after the quit: $(e2e_received)" >&2; fail=1; }
if [ "$fail" != 0 ]; then
    cat "$e2e_dir/stderr" >&2
    exit 1
fi
echo "ok: menu walks by keyboard pressed no keypad key and chose only their items"
