#!/usr/bin/env bash
# The box behind a virtual port stops reading while the panel runs: 20,000 key presses fill its
# pseudo-terminal and the frames after wait, until the panel quits. The panel ends as usual, one
# stderr line counts the frames it dropped at the close (beside at most one for the stall), and
# once the box reads again it gets the start's frame and whole key frames, none cut.
source "$(dirname "$0")/../support/e2e.sh"
program=$1
presses=20000

e2e_start_display
python3 "$(dirname "$0")/../support/stopped_box.py" "$e2e_dir/pty" "$e2e_dir/received" 170 &
box_pid=$!
e2e_pids+=($box_pid)
e2e_wait_until "the box's pseudo-terminal" test -s "$e2e_dir/pty"
box=$(cat "$e2e_dir/pty")
export ZQ8_SERIAL_PORTS=$box
e2e_write_settings controlport "$box" zq8lang 1
e2e_start_panel "Phillips RC6" "$program"
pid=$e2e_panel

# Ctrl+Q in the same stream as the presses, so that the last frames still wait at the quit.
xdotool key --repeat "$presses" --delay 0 1 key ctrl+q
fail=0
e2e_wait_exit "$pid"
[ "$e2e_status" = 0 ] || { echo "exit status $e2e_status, expected 0" >&2; fail=1; }

said=$(grep '^zq8: ' "$e2e_dir/stderr" || true)
closing=$(grep -c "^zq8: $box closed with [0-9]* frames not sent\$" <<<"$said" || true)
stalls=$(grep -c "^zq8: $box stalled: frames not sent within 1 s are dropped\$" <<<"$said" || true)
others=$(grep -vc -e " closed with " -e " stalled: " <<<"$said" || true)
[ "$closing" = 1 ] || { echo "the close was told $closing times" >&2; fail=1; }
((stalls <= 1)) || { echo "one stall was told $stalls times" >&2; fail=1; }
[ "$others" = 0 ] || { echo "stderr says more: $said" >&2; fail=1; }
dropped=$(sed -n 's/.* closed with \([0-9]*\) frames not sent$/\1/p' <<<"$said")

kill -USR1 "$box_pid"
e2e_wait_exit "$box_pid"
# The start's EEPROM frame, then key frames only, whole.
hex=$(od -An -tx1 -v "$e2e_dir/received" | tr -s ' \n' ' ' | sed 's/^ //;s/ $//')
start="03 b1 01 06 01 bc"
key="02 ba 01 00 bd"
rest=${hex#"$start"}
[ "$rest" != "$hex" ] || { echo "the box's first bytes: ${hex:0:60}" >&2; fail=1; }
rest=${rest# }
keys=$(tr ' ' '\n' <<<"$rest" | paste -d ' ' - - - - - | grep -c . || true)
whole=$(tr ' ' '\n' <<<"$rest" | paste -d ' ' - - - - - | grep -cx "$key" || true)
[ "$keys" = "$whole" ] || {
    echo "of $keys frames at the box $whole are whole: $(tr ' ' '\n' <<<"$rest" |
        paste -d ' ' - - - - - | grep -vx "$key" | head -n 3 | tr '\n' '|')" >&2
    fail=1
}
((whole > 0 && whole + ${dropped:-0} <= presses)) || {
    echo "$whole frames at the box, ${dropped:-?} dropped at the close, of $presses presses" >&2
    fail=1
}
echo "at the box: $whole frames; dropped at close: ${dropped:-none}; stall lines: $stalls"
e2e_finish "20,000 presses into a stopped box: whole frames only, the close's drops counted"
