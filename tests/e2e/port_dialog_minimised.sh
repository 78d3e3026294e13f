#!/usr/bin/env bash
# Under openbox: minimising while the port dialog shows, the dialog itself or the main window
# (openbox minimises both), does not end the dialog's showing. Restored, the user picks the box's
# port and presses OK: the port opens, and the panel still answers its keys and quits with Ctrl+Q.
# The dialog asks the window manager for a frame without close box, minimise or maximise button,
# in the decoration hints as well as the function hints; the main window keeps its close box and
# its minimise button.
source "$(dirname "$0")/../support/e2e.sh"
program=$1

e2e_start_display
e2e_start_box
fail=0

# The _MOTIF_WM_HINTS fields of a window: flags, functions, decorations.
motif_hints() {
    xprop -id "$1" _MOTIF_WM_HINTS | sed -n 's/.*= //p' | tr -d , | awk '{print $1, $2, $3}'
}

# Fails, saying so, unless the bits of a field are set ("on") or clear ("off").
expect_bits() {
    local what=$1 value=$2 bits=$3 state=$4
    if [ "$state" = on ] && (((value & bits) != bits)); then
        echo "$what: $(printf '0x%x' "$value") lacks $(printf '0x%x' "$bits")" >&2
        fail=1
    elif [ "$state" = off ] && (((value & bits) != 0)); then
        echo "$what: $(printf '0x%x' "$value") has $(printf '0x%x' "$((value & bits))")" >&2
        fail=1
    fi
}

window_state_is() {
    xprop -id "$1" WM_STATE 2>/dev/null | grep -q "window state: $2"
}

popup_shows_soon() {
    local pid=$1 dialog=$2 end=$((SECONDS + 2))
    e2e_activate "$dialog" || return 1
    xdotool mousemove --window "$dialog" 100 24 click 1
    until e2e_popup_count_is "$pid" 1; do
        ((SECONDS < end)) || return 1
        sleep 0.05
    done
}

# Opens the popup's list with a click, as often as it takes: just after a restore, openbox and Qt
# may hand the focus on once more, and a click at that moment is lost, as a user's would be.
open_the_list() {
    e2e_wait_until "the popup's list to open" popup_shows_soon "$@"
}

# One run: the dialog shows, the window given minimises, the panel comes back, the pick is made.
minimise_and_pick() {
    local which=$1
    e2e_start_panel "Sony SIRC" "$program"
    local pid=$e2e_panel main=$e2e_main
    local dialog
    dialog=$(e2e_open_port_dialog "$main")
    e2e_activate "$dialog"

    if [ "$which" = dialog ]; then
        local flags functions decorations
        read -r flags functions decorations < <(motif_hints "$dialog")
        # Functions and decorations both given; moving is all the dialog allows.
        expect_bits "the dialog's hint flags" "${flags:-0}" 0x3 on
        expect_bits "the dialog's functions (close, minimise, maximise)" "${functions:-0}" 0x38 off
        expect_bits "the dialog's functions (move)" "${functions:-0}" 0x4 on
        expect_bits "the dialog's decorations (title)" "${decorations:-0}" 0x8 on
        expect_bits "the dialog's decorations (menu, buttons)" "${decorations:-0}" 0x70 off
        read -r flags functions decorations < <(motif_hints "$main")
        expect_bits "the main window's functions (minimise, close)" "${functions:-0}" 0x28 on
        expect_bits "the main window's functions (maximise)" "${functions:-0}" 0x10 off
        expect_bits "the main window's decorations (minimise button)" "${decorations:-0}" 0x20 on
        expect_bits "the main window's decorations (maximise button)" "${decorations:-0}" 0x40 off
        xdotool windowminimize "$dialog"
    else
        xdotool windowminimize "$main"
    fi
    e2e_wait_until "the dialog to be minimised with the $which" window_state_is "$dialog" Iconic
    e2e_wait_until "the main window to be minimised with the $which" \
        window_state_is "$main" Iconic

    # Back through the window manager, as a click on a task bar brings it.
    local back=$dialog
    [ "$which" = main ] && back=$main
    xdotool windowactivate "$back" 2>/dev/null || true
    e2e_wait_until "the dialog to be back" window_state_is "$dialog" Normal
    open_the_list "$pid" "$dialog"
    xdotool key End Return # the box's port is the last row
    e2e_wait_popups "$pid" 0
    e2e_press_ok "$dialog"
    if ! e2e_wait_title "$main" "ZQ8-$e2e_box"; then
        echo "minimised with the $which: OK opened no port" >&2
        fail=1
    fi
    # The keypad's "5", typed: its frame reaches the box.
    e2e_type "$main" 5
    e2e_wait_received_ending "02 ba 04 00 c0" || fail=1
    e2e_quit "$main" "$pid" "minimised with the $which"
}

minimise_and_pick dialog
minimise_and_pick main
e2e_finish "minimised while the port dialog showed, restored, the pick opened the port"
