#!/usr/bin/env bash
# The built program under strace, on a system of two adapters (the box on ttyUSB0, and ttyACM0)
# and a console: a start lists none of the system's ports, whether no port is stored, a system
# name or a path of ZQ8_SERIAL_PORTS; it reopens the stored port when it is there; and filling
# the port dialog, even beside 5,000 listed paths, reads the tty folder once.
source "$(dirname "$0")/../support/e2e.sh"
program=$1
support=$(dirname "$0")/../support

e2e_start_display
python3 "$support/pty_recorder.py" "$e2e_dir/pty" "$e2e_dir/received" 120 &
e2e_pids+=($!)
for _ in $(seq 100); do [ -e "$e2e_dir/pty" ] && break; sleep 0.05; done
box=$(cat "$e2e_dir/pty")

root=$ZQ8_SYSTEM_ROOT
ttys=$root/sys/class/tty
# A tty on a device of its own bound to a driver, laid out as the kernel does.
add_port() {
    local name=$1 driver=$2 node=$3
    local parent=$root/sys/devices/pci0/$name-adapter
    mkdir -p "$parent/tty/$name" "$root/sys/bus/usb/drivers/$driver"
    touch "$parent/uevent" "$parent/tty/$name/uevent"
    ln -s "../../../$name-adapter" "$parent/tty/$name/device"
    ln -s "$root/sys/bus/usb/drivers/$driver" "$parent/driver"
    ln -s "$parent/tty/$name" "$ttys/$name"
    ln -s "$node" "$root/dev/$name"
}
add_port ttyUSB0 ftdi_sio "$box"
add_port ttyACM0 cdc_acm /dev/null
mkdir -p "$root/sys/devices/virtual/tty/tty0"
ln -s "$root/sys/devices/virtual/tty/tty0" "$ttys/tty0"

failures=0
fail() {
    echo "FAIL $case: $*" >&2
    failures=$((failures + 1))
}

# Starts the program under strace with that port stored ("" for none), keeps the file system
# calls made until the main window showed in $e2e_dir/start.$case and those of the whole run in
# $e2e_dir/run.$case, and quits with Ctrl+Q.
run_case() {
    case=$1
    local stored=$2
    export XDG_CONFIG_HOME="$e2e_dir/$case"
    mkdir -p "$XDG_CONFIG_HOME/zq8"
    [ -z "$stored" ] || printf 'controlport\n%s\n' "$stored" >"$XDG_CONFIG_HOME/zq8/zq8.ini"
    : >"$e2e_dir/received"
    # The leak checker of a sanitizer build cannot run under ptrace; the other runs keep it.
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
        strace -f -qq -e trace=%file -o "$e2e_dir/run.$case" "$program" 2>"$e2e_dir/stderr" &
    local pid=$!
    e2e_pids+=($pid)
    local window
    if ! window=$(e2e_wait_window "Sony SIRC"); then
        fail "the main window did not show"
        kill "$pid" 2>/dev/null || true
        return
    fi
    cp "$e2e_dir/run.$case" "$e2e_dir/start.$case"
    xdotool windowfocus "$window"
    sleep 0.2
    xdotool key ctrl+q
    e2e_wait_exit "$pid" || { fail "Ctrl+Q did not end the run"; return; }
    [ "$e2e_status" = 0 ] || fail "exit status $e2e_status"
}

# The folder read whole: what a listing does, and a lookup by name never.
folder_reads() { grep -c "\"$ttys\", O_RDONLY" "$1" || true; }
received() { od -An -tx1 -v "$e2e_dir/received" | tr -s ' \n' ' ' | sed 's/^ //;s/ $//'; }

expect_start() {
    local reads opened
    reads=$(folder_reads "$e2e_dir/start.$case")
    [ "$reads" = 0 ] || fail "the start read the tty folder $reads times"
    # Of the system's ttys, a start may look at the stored one alone.
    opened=$({ grep -o "\"$ttys/[^/\"]*" "$e2e_dir/start.$case" || true; } | sed "s|.*/||" |
        sort -u | tr '\n' ' ')
    [ "$opened" = "$1" ] || fail "the start looked at the ttys '$opened', expected '$1'"
    [ "$(received)" = "$2" ] || fail "the box received '$(received)', expected '$2'"
}

# Quitting fills the never shown dialog, once: one listing.
expect_one_listing_at_quit() {
    local reads
    reads=$(folder_reads "$e2e_dir/run.$case")
    [ "$reads" = 1 ] || fail "the run read the tty folder $reads times, expected once"
}

protocol_frame="03 b1 01 06 00 bb"

unset ZQ8_SERIAL_PORTS
run_case nothing_stored ""
expect_start "" ""
expect_one_listing_at_quit

run_case system_name ttyUSB0
expect_start "ttyUSB0 " "$protocol_frame"

run_case system_name_gone ttyUSB1
expect_start "ttyUSB1 " ""

export ZQ8_SERIAL_PORTS=$box
run_case listed_path "$box"
expect_start "" "$protocol_frame"

ZQ8_SERIAL_PORTS=$(seq -f "/tmp/zq8-no-port-%g" 5000 | tr '\n' ':')$box
run_case long_list "$box"
expect_start "" "$protocol_frame"
expect_one_listing_at_quit

if [ "$failures" != 0 ]; then
    cat "$e2e_dir/stderr" >&2
    exit 1
fi
echo "ok: no start listed the system's ports; the stored port reopened; one listing per dialog fill"
