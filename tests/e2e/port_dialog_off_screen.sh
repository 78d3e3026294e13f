#!/usr/bin/env bash
# Under openbox on a 1024 by 768 screen: a stored dialog position that would put the dialog's
# frame partly or wholly off the screen shows it wholly on the screen, moved the least distance;
# the stored numbers stay until the dialog's Close stores where it really stood.
source "$(dirname "$0")/../support/e2e.sh"
program=$1
screen_width=1024
screen_height=768

e2e_start_display
fail=0
# Stored left and top, and where the frame must show: "right" and "bottom" stand for the frame
# touching that edge of the screen.
while read -r left top want_x want_y; do
    mkdir -p "$XDG_CONFIG_HOME/zq8"
    printf 'Select Port_left\n%s\nSelect Port_top\n%s\n' "$left" "$top" >"$XDG_CONFIG_HOME/zq8/zq8.ini"
    e2e_start_panel "Sony SIRC" "$program"
    pid=$e2e_panel main=$e2e_main
    dialog=$(e2e_open_port_dialog "$main")
    read -r x y width height < <(e2e_settled_frame "$dialog")
    [ "$want_x" = right ] && want_x=$((screen_width - width))
    [ "$want_y" = bottom ] && want_y=$((screen_height - height))
    [ "$x $y" = "$want_x $want_y" ] ||
        { echo "stored $left,$top: the frame shows at $x,$y, expected $want_x,$want_y" >&2; fail=1; }
    shown=$(e2e_stored_position)
    [ "$shown" = "$left $top" ] ||
        { echo "stored $left,$top: changed to $shown while the dialog shows" >&2; fail=1; }
    e2e_press_ok "$dialog"
    e2e_quit "$main" "$pid" "stored $left,$top"
    closed=$(e2e_stored_position)
    [ "$closed" = "$x $y" ] ||
        { echo "stored $left,$top: $closed stored at the Close, shown at $x,$y" >&2; fail=1; }
    rm -f "$XDG_CONFIG_HOME/zq8/zq8.ini"
done <<'CASES'
1020 760 right bottom
-300 -30 0 0
500 -15 500 0
-30000 40000 0 bottom
CASES

e2e_finish "every stored position partly or wholly off the screen showed the dialog on it"
