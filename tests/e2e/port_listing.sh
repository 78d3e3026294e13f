#!/usr/bin/env bash
# The built program under strace, on systems laid out as the kernel lays them out before and
# since the serial-base layout of 8250 ports: a firmware UART (ttyS0) and three empty 8250 slots
# (ttyS1 to ttyS3, their nodes on a pseudo-terminal that must get nothing), a USB modem, the
# box on a USB adapter (ttyUSB0), and the virtual ttys every machine has.
#
# The port dialog lists "none", ttyACM0, ttyS0, ttyUSB0: its fourth row opens the box; the run
# opens no device node but the one chosen, so filling the list opens none. A start lists the
# ports only to find a stored name, reopens the stored port when it is there, and says so when
# it is not.
source "$(dirname "$0")/../support/e2e.sh"
program=$1
ports=$(dirname "$program")/fake_system_ports

e2e_start_display
e2e_start_box
unset ZQ8_SERIAL_PORTS
e2e_start_recorder slot
slot_pty=$e2e_recorder_pty

failures=0
fail() {
    echo "FAIL $case: $*" >&2
    failures=$((failures + 1))
}

# A system root of that 8250 layout ("old" or "serial-base") in $root, made in force.
make_system() {
    root=$e2e_dir/system-$1
    export ZQ8_SYSTEM_ROOT=$root
    "$ports" "$root" 8250 ttyS0 /dev/null "$1" pnp 4
    for line in 1 2 3; do
        "$ports" "$root" 8250 "ttyS$line" "$slot_pty" "$1" platform 0
    done
    "$ports" "$root" acm ttyACM0 /dev/null
    "$ports" "$root" usb ttyUSB0 "$e2e_box"
    for name in console ptmx tty tty0 tty1 tty2 tty63 ttyprintk; do
        "$ports" "$root" virtual "$name"
    done
    ttys=$root/sys/class/tty
}

# Starts the program under strace with that port stored ("" for none), keeps the file system
# calls made until the main window showed in $e2e_dir/start.$case and those of the whole run in
# $e2e_dir/run.$case; sets main, pid (strace's) and e2e_panel (the program's).
start_case() {
    case=$1
    local stored=$2
    export XDG_CONFIG_HOME="$e2e_dir/$case"
    mkdir -p "$XDG_CONFIG_HOME/zq8"
    [ -z "$stored" ] || printf 'controlport\n%s\n' "$stored" >"$XDG_CONFIG_HOME/zq8/zq8.ini"
    : >"$e2e_dir/received"
    # The leak checker of a sanitizer build cannot run under ptrace; the other runs keep it.
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
        strace -f -qq -e trace=%file -o "$e2e_dir/run.$case" "$program" 2>"$e2e_dir/stderr.$case" &
    pid=$!
    e2e_pids+=($pid)
    if ! main=$(e2e_wait_window "Sony SIRC"); then
        fail "the main window did not show"
        return 1
    fi
    cp "$e2e_dir/run.$case" "$e2e_dir/start.$case"
    # The program's own pid, which its popups bear, under strace's.
    e2e_panel=$(xdotool getwindowpid "$main")
}

quit_case() {
    e2e_type "$main" ctrl+q
    e2e_wait_exit "$pid" || { fail "Ctrl+Q did not end the run"; return; }
    [ "$e2e_status" = 0 ] || fail "exit status $e2e_status"
}

# The folder read whole: what a listing does.
folder_reads() { grep -c "\"$ttys\", O_RDONLY" "$1" || true; }
# The device nodes of the system root that the calls touched, by name.
nodes_touched() {
    { grep -o "\"$root/dev/[^\"]*" "$1" || true; } | sed 's|.*/||' | sort -u | tr '\n' ' '
}
received_is() { [ "$(e2e_received)" = "$1" ]; }

expect_start() {
    local reads want_reads=$1 nodes=$2 frame=$3
    reads=$(folder_reads "$e2e_dir/start.$case")
    [ "$reads" = "$want_reads" ] || fail "the start read the tty folder $reads times, not $want_reads"
    [ "$(nodes_touched "$e2e_dir/start.$case")" = "$nodes" ] ||
        fail "the start touched the nodes '$(nodes_touched "$e2e_dir/start.$case")', not '$nodes'"
    # The recorder reads the line on its own time: the frame may still be on its way.
    [ -z "$frame" ] || e2e_wait_until "the box to receive '$frame'" received_is "$frame" || true
    [ "$(e2e_received)" = "$frame" ] || fail "the box received '$(e2e_received)', not '$frame'"
}

expect_said() {
    local said
    said=$(grep '^zq8: \|^cannot open ' "$e2e_dir/stderr.$case" || true)
    [ "$said" = "$1" ] || fail "stderr said '$said', not '$1'"
}

protocol_frame="03 b1 01 06 00 bb"
key_1_frame="02 ba 00 00 bc"

for layout in old serial-base; do
    make_system "$layout"

    # The dialog's fourth row is the box: the empty slots are not listed, nor the virtual ttys.
    start_case "$layout.dialog" "" || continue
    expect_start 0 "" ""
    dialog=$(e2e_open_port_dialog "$main")
    e2e_activate "$dialog"
    xdotool mousemove --window "$dialog" 100 24 click 1 # the popup's list opens
    e2e_wait_popups "$e2e_panel" 1
    xdotool key Down Down Down Return
    e2e_wait_popups "$e2e_panel" 0
    e2e_press_ok "$dialog"
    e2e_wait_title "$main" "ZQ8-ttyUSB0" ||
        fail "the fourth row opened '$(xdotool getwindowname "$main")', not ttyUSB0"
    e2e_type "$main" 1
    e2e_wait_until "the box to receive the key" received_is "$key_1_frame" ||
        fail "the box received '$(e2e_received)'"
    quit_case
    [ "$(nodes_touched "$e2e_dir/run.$case")" = "ttyUSB0 " ] ||
        fail "the run touched the nodes '$(nodes_touched "$e2e_dir/run.$case")', not ttyUSB0 alone"
    [ "$(folder_reads "$e2e_dir/run.$case")" = 1 ] || fail "the dialog listed more than once"
    expect_said ""

    start_case "$layout.system_name" ttyUSB0 || continue
    expect_start 1 "ttyUSB0 " "$protocol_frame"
    quit_case
    expect_said ""

    start_case "$layout.system_name_gone" ttyUSB1 || continue
    expect_start 1 "" ""
    quit_case
    expect_said "zq8: the stored port ttyUSB1 is not there"

    start_case "$layout.empty_slot" ttyS2 || continue
    expect_start 1 "" ""
    quit_case
    expect_said "zq8: the stored port ttyS2 is not there"
done

export ZQ8_SERIAL_PORTS=$e2e_box
start_case listed_path "$e2e_box"
expect_start 1 "" "$protocol_frame"
quit_case
expect_said ""

ZQ8_SERIAL_PORTS=$(seq -f "/tmp/zq8-no-port-%g" 5000 | tr '\n' ':')$e2e_box
start_case long_list "$e2e_box"
expect_start 1 "" "$protocol_frame"
quit_case

[ "$(wc -c <"$e2e_dir/slot_received")" = 0 ] || fail "an empty slot's node got bytes"
if [ "$failures" != 0 ]; then
    exit 1
fi
echo "ok: the dialog listed the ports the kernel has, opening none; a start listed only for a stored name"
