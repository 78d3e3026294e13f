#!/usr/bin/env bash
# Under openbox: a port picked in the dialog survives a look at another program's window. The
# user picks the controller's port, clicks another window, clicks back on the dialog and presses
# OK: the port opens, and the title names it.
source "$(dirname "$0")/../support/e2e.sh"
program=$1

e2e_start_display
e2e_start_box

e2e_start_panel "Sony SIRC" "$program"
pid=$e2e_panel main=$e2e_main
dialog=$(e2e_open_port_dialog "$main")
xdotool mousemove --window "$dialog" 100 24 click 1  # the popup's list opens
e2e_wait_popups "$pid" 1
xdotool key End Return  # the controller's port is the last row

# Another program's window, clicked: the focus leaves the panel, then comes back to the dialog.
xlogo -geometry 200x200+700+40 2>/dev/null &
e2e_pids+=($!)
other=$(e2e_wait_window xlogo)
active_is() {
    for _ in $(seq 200); do
        [ "$(($(xprop -root _NET_ACTIVE_WINDOW | sed 's/.*# //; s/,.*//')))" = "$1" ] && return 0
        sleep 0.05
    done
    echo "window $1 never became active" >&2
    return 1
}
xdotool mousemove --window "$other" 100 100 click 1
active_is "$other"
xdotool mousemove --window "$dialog" 10 50 click 1
active_is "$dialog"

e2e_press_ok "$dialog"
opened=0
for _ in $(seq 100); do
    [ "$(xdotool getwindowname "$main")" = "ZQ8-$e2e_box" ] && { opened=1; break; }
    sleep 0.05
done
fail=0
[ "$opened" = 1 ] ||
    { echo "the title is '$(xdotool getwindowname "$main")': the pick was lost" >&2; fail=1; }
e2e_quit "$main" "$pid"
e2e_finish "the pick survived a look at another window"
