#!/usr/bin/env bash
# Under openbox: a key held down in another program's window, repeating there, keeps repeating
# into the panel once the panel takes the focus; those repeats are not the panel's and send
# nothing, as the key was never pressed in it. The next key pressed in the panel sends its frame.
# (A key held down in the panel itself repeats: keys_with_modifiers.)
source "$(dirname "$0")/../support/e2e.sh"
program=$1

e2e_start_display
xset r on
xset r rate 250 25 # repeats after 250 ms, 25 a second
e2e_start_box
e2e_write_settings controlport "$e2e_box"
e2e_start_panel "Sony SIRC" "$program"
pid=$e2e_panel main=$e2e_main
e2e_wait_received 6
started=$(e2e_received)
fail=0

# The other program: xev, which logs the keys its own window gets.
xev -geometry 200x200+700+40 -event keyboard >"$e2e_dir/other.log" 2>/dev/null &
e2e_pids+=($!)
other=$(e2e_wait_window "Event Tester")
# A second xev watches the panel's window, and logs the keys the X server gives it.
xev -id "$main" -event keyboard >"$e2e_dir/panel.log" 2>/dev/null &
e2e_pids+=($!)

# How many presses of the key with that keycode a log holds.
presses_in() {
    grep -A2 '^KeyPress' "$1" 2>/dev/null | grep -c "keycode $2 " || true
}
presses_at_least() {
    (($(presses_in "$1" "$2") >= $3))
}

keycode=$(xmodmap -pke | awk '$4 == "2" && !found { print $2; found = 1 }')
e2e_activate "$other"
xdotool keydown 2
e2e_wait_until "the held 2 to repeat in the other window" \
    presses_at_least "$e2e_dir/other.log" "$keycode" 3
e2e_activate "$main"
e2e_wait_until "the held 2 to repeat into the panel" \
    presses_at_least "$e2e_dir/panel.log" "$keycode" 5
xdotool keyup 2
xdotool key 5 # after the repeats, so that a frame they sent would stand before its own
e2e_wait_received_ending "02 ba 04 00 c0" || fail=1
expected="$started 02 ba 04 00 c0"
if [ "$(e2e_received)" != "$expected" ]; then
    echo "the box received: $(e2e_received)" >&2
    echo "expected:         $expected" >&2
    echo "($(presses_in "$e2e_dir/panel.log" "$keycode") presses of 2 reached the panel)" >&2
    fail=1
fi

e2e_quit "$main" "$pid"
e2e_finish "a key held in another window sent nothing once the panel took the focus"
