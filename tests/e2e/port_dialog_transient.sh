#!/usr/bin/env bash
# Under openbox: the port dialog is a modal dialog of the panel it blocks (WM_TRANSIENT_FOR names
# the main window), so the window manager shows it above the panel, never behind it.
source "$(dirname "$0")/../support/e2e.sh"
program=$1

e2e_start_display
e2e_start_panel "Sony SIRC" "$program"
pid=$e2e_panel main=$e2e_main
dialog=$(e2e_open_port_dialog "$main")

fail=0
transient=$(xprop -id "$dialog" WM_TRANSIENT_FOR | sed -n 's/.*window id # //p')
if [ -z "$transient" ] || [ "$((transient))" != "$main" ]; then
    echo "WM_TRANSIENT_FOR is '$transient', expected the main window $main" >&2
    fail=1
fi
xprop -id "$dialog" _NET_WM_STATE | grep -q _NET_WM_STATE_MODAL ||
    { echo "the dialog is not modal: $(xprop -id "$dialog" _NET_WM_STATE)" >&2; fail=1; }
xprop -id "$dialog" _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_DIALOG ||
    { echo "the dialog is no dialog: $(xprop -id "$dialog" _NET_WM_WINDOW_TYPE)" >&2; fail=1; }
# The window manager's stacking, bottom to top: the dialog above the panel.
stacking=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //' | tr -d ,)
above=0
for id in $stacking; do
    [ "$((id))" = "$main" ] && above=1
    [ "$((id))" = "$dialog" ] && [ "$above" = 1 ] && above=2
done
[ "$above" = 2 ] || { echo "the dialog is not above the panel: $stacking" >&2; fail=1; }

e2e_press_ok "$dialog"
e2e_quit "$main" "$pid"
e2e_finish "the port dialog is the panel's modal transient, above it"
