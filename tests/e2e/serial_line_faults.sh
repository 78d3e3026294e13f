#!/usr/bin/env bash
# The built program on a controller port that goes away and comes back, and on one that another
# panel holds. The box is socat on a pseudo-terminal linked at a fixed path, as a user sets up a
# virtual port. Ending socat hangs the line up: the title becomes "ZQ8" at once, one stderr line
# says the port is lost, and once socat is back, choosing the port again reopens it and the
# bytes arrive. A second panel, and a plain user's panel, find the port in use and send nothing
# to it; the first panel opens it with DTR lowered, as its line settings say.
source "$(dirname "$0")/../support/e2e.sh"
program=$1

e2e_start_display
box="$e2e_dir/box"
export ZQ8_SERIAL_PORTS=$box
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# The box: socat recording what arrives to the file given, until stop_box. It outlives the
# panel closing its side (ignoreeof), as a box stays on while a port is reopened.
start_box() {
    rm -f "$box"
    socat -u PTY,link="$box",rawer,ignoreeof OPEN:"$1",creat,append 2>>"$e2e_dir/socat.log" &
    box_pid=$!
    e2e_pids+=($box_pid)
    wait_until test -e "$box" && return 0
    echo "socat made no $box" >&2
    cat "$e2e_dir/socat.log" >&2
    return 1
}
stop_box() {
    kill "$box_pid"
    wait "$box_pid" 2>/dev/null || true
}

# The bytes of a file as "02 ba 15 00 d1".
hex() { od -An -tx1 -v "$1" 2>/dev/null | tr -s ' \n' ' ' | sed 's/^ //;s/ $//'; }

# Waits, within a bound, until the command succeeds.
wait_until() { e2e_wait_until "$*" "$@"; }
# Waits until the file holds exactly these bytes.
has_bytes() { [ "$(hex "$1")" = "$2" ]; }
wait_bytes() { wait_until has_bytes "$@"; }
# Waits until the window has that title.
has_title() { [ "$(xdotool getwindowname "$1")" = "$2" ]; }
wait_title() { wait_until has_title "$@"; }

# What the program itself said on stderr, leaving out the toolkit's own warnings.
said() { grep -E '^(zq8: |cannot open )' "$1" || true; }

# Clicks at a point of a window, in that window's coordinates. Each click is followed by a wait
# for the state it brings, or by handled_so_far where it brings none to see.
click() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
}
# Waits until the panel has handled every event sent to it so far: the program takes its events
# in order, so once the Options menu opened after them shows, they are done with.
handled_so_far() {
    click "$main" 106 8
    e2e_wait_popups "$pid" 1
    xdotool key Escape
    e2e_wait_popups "$pid" 0
}
menu=19 # the menu bar's height above the content area
click_power() { click "$main" 190 $((8 + 11 + menu)); }

# Options, Select Port, the box's row (the last), OK.
choose_the_box() {
    click "$main" 106 8
    e2e_wait_popups "$pid" 1
    click "$main" 130 29
    local dialog
    dialog=$(e2e_wait_window "Select Port")
    e2e_activate "$dialog" # the keys go to the dialog, and the blocked main window takes none
    click "$dialog" 100 24
    e2e_wait_popups "$pid" 1
    xdotool key End Return
    e2e_wait_popups "$pid" 0
    e2e_press_ok "$dialog"
}

power="02 ba 15 00 d1"
sirc="03 b1 01 06 00 bb"
one="02 ba 00 00 bc"
lost="zq8: lost $box: hung up"
in_use="cannot open $box: in use by another program"

# 1. The box goes away under an open port, and comes back.
start_box "$e2e_dir/first.rec"
"$program" 2>"$e2e_dir/stderr" &
pid=$!
e2e_pids+=($pid)
main=$(e2e_wait_window "Sony SIRC")
choose_the_box
wait_title "$main" "ZQ8-$box" || fail "the port did not open: $(xdotool getwindowname "$main")"
click_power
wait_bytes "$e2e_dir/first.rec" "$power" || fail "the first box got: $(hex "$e2e_dir/first.rec")"

stop_box
wait_title "$main" "ZQ8" || fail "after the hang-up the title is: $(xdotool getwindowname "$main")"
click_power
handled_so_far
[ "$(said "$e2e_dir/stderr")" = "$lost" ] || fail "after the hang-up stderr holds: $(said "$e2e_dir/stderr")"

start_box "$e2e_dir/second.rec"
choose_the_box
wait_title "$main" "ZQ8-$box" || fail "the port did not reopen: $(xdotool getwindowname "$main")"
click_power
wait_bytes "$e2e_dir/second.rec" "$power" || fail "the box once back got: $(hex "$e2e_dir/second.rec")"
[ "$(hex "$e2e_dir/first.rec")" = "$power" ] || fail "the first box got more: $(hex "$e2e_dir/first.rec")"

e2e_type "$main" ctrl+q
e2e_wait_exit "$pid"
[ "$e2e_status" = 0 ] || fail "exit status $e2e_status, expected 0"
[ "$(said "$e2e_dir/stderr")" = "$lost" ] || fail "at the end stderr holds: $(said "$e2e_dir/stderr")"

# 2. A port another panel holds. Each panel has a settings folder of its own, naming the box.
store_the_box() {
    mkdir -p "$1/zq8"
    printf 'controlport\n%s\n' "$box" >"$1/zq8/zq8.ini"
}
store_the_box "$e2e_dir/holder"
: >"$e2e_dir/third.rec"
start_box "$e2e_dir/third.rec"
# The holder's system calls are traced for its modem lines. A sanitizer build's leak check
# cannot run under a tracer, and would fail the exit status for it.
ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" XDG_CONFIG_HOME="$e2e_dir/holder" \
    strace -f -qq -e trace=ioctl -o "$e2e_dir/strace" "$program" 2>"$e2e_dir/holder.stderr" &
holder=$!
e2e_pids+=($holder)
holder_window=$(e2e_wait_window "Sony SIRC")
wait_bytes "$e2e_dir/third.rec" "$sirc" || fail "the holder's start sent: $(hex "$e2e_dir/third.rec")"
grep -q 'TIOCMBIC, \[TIOCM_DTR\]' "$e2e_dir/strace" || fail "DTR was not lowered at open"
if grep -q 'TIOCMBIS' "$e2e_dir/strace"; then
    fail "a modem line was raised: $(grep 'TIOCMBIS' "$e2e_dir/strace")"
fi

# A main window on screen other than the holder's.
second_window() {
    xdotool search --onlyvisible --name '^Sony SIRC$' 2>/dev/null | grep -vx "$holder_window" |
        head -n 1 || true
}
second_window_shows() { [ -n "$(second_window)" ]; }

# Runs a second panel on the box until its window shows, then ends it; `runner` runs it as
# another user.
run_second() {
    local name=$1 runner=$2
    store_the_box "$e2e_dir/$name"
    mkdir -p -m 700 "$e2e_dir/$name.runtime"
    if [ -n "$runner" ]; then
        chown -R nobody:nogroup "$e2e_dir/$name" "$e2e_dir/$name.runtime"
    fi
    XDG_CONFIG_HOME="$e2e_dir/$name" XDG_RUNTIME_DIR="$e2e_dir/$name.runtime" \
        $runner "$e2e_dir/zq8" 2>"$e2e_dir/$name.stderr" &
    local second=$! window=""
    e2e_pids+=($second)
    if e2e_wait_until "$name: a second window" second_window_shows; then
        window=$(second_window)
    fi
    if [ -z "$window" ]; then
        fail "$name: no window showed"
        kill "$second" 2>/dev/null || true
        cat "$e2e_dir/$name.stderr" >&2
        return
    fi
    [ "$(said "$e2e_dir/$name.stderr")" = "$in_use" ] ||
        fail "$name: stderr holds: $(said "$e2e_dir/$name.stderr")"
    e2e_type "$window" ctrl+q
    e2e_wait_exit "$second"
    [ "$e2e_status" = 0 ] || fail "$name: exit status $e2e_status, expected 0"
}

# A copy of the program anyone may run, wherever the build lies.
install -m 755 "$program" "$e2e_dir/zq8"
chmod 755 "$e2e_dir"
# As root the second panel passes the exclusive flag and meets the lock. A plain user's panel
# meets the exclusive flag itself; when the suite runs as a plain user, that is what both are.
run_second second ""
if [ "$(id -u)" = 0 ]; then
    chmod o+rw "$(readlink -f "$box")"
    run_second plain "setpriv --reuid=nobody --regid=nogroup --clear-groups --"
else
    run_second plain ""
fi
# The holder's "1" after them: anything the others sent would stand before its frame.
e2e_type "$holder_window" 1
wait_bytes "$e2e_dir/third.rec" "$sirc $one" || fail "the busy port got: $(hex "$e2e_dir/third.rec")"

e2e_type "$holder_window" ctrl+q
e2e_wait_exit "$holder"
[ "$e2e_status" = 0 ] || fail "the holder's exit status $e2e_status, expected 0: $(cat "$e2e_dir/holder.stderr")"
[ -z "$(said "$e2e_dir/holder.stderr")" ] || fail "the holder said: $(said "$e2e_dir/holder.stderr")"
stop_box

if [ "$failures" != 0 ]; then
    sed 's/^/  stderr: /' "$e2e_dir/stderr" >&2
    exit 1
fi
echo "ok: a lost port shows and is told once, reopens once back; a held port is in use"
