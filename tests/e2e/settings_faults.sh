#!/usr/bin/env bash
# The built program on settings it cannot use as they are: a folder where nothing can be written,
# a file or folder it may not write, a folder in place of the file, a FIFO, links to devices, a
# dangling link, the folder taken away mid-run, a second panel on the same folder, a relative
# XDG_CONFIG_HOME, the pending file of a killed run, a file of a million lines, a line of 10 MB,
# bytes that are not UTF-8, NUL bytes, reads that fail, a byte order mark, a full table, 10 GB
# without a line end, the folder removed or renamed under the panel, a file size limit. Every run
# starts (its window shows, Ctrl+Q ends it with status 0), except a second panel, which ends at
# once with status 1. A store that cannot write
# says so once on stderr, naming the file and the reason. Nothing hangs (every wait is bounded)
# or crashes, and the user's own bytes stay as they were, apart from what the program is meant
# to write.
source "$(dirname "$0")/../support/e2e.sh"
program=$(realpath "$1")

e2e_start_display
failures=0
fail() {
    echo "FAIL $case: $*" >&2
    [ -s "$e2e_dir/stderr" ] && sed 's/^/  stderr: /' "$e2e_dir/stderr" | head -c 2000 >&2
    failures=$((failures + 1))
}

# Root may write anything: the cases of an ordinary user run as nobody under root, and as the
# user running the tests otherwise.
if [ "$(id -u)" = 0 ]; then
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
    give_to_user() { chown -h nobody:nogroup "$@"; }
    chmod 755 "$e2e_dir"
else
    as_user=()
    give_to_user() { :; }
fi

# The leak check of a sanitized build cannot work under strace.
no_leak_check="ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

# A new settings home for the next case; $settings is the file the program uses.
new_case() {
    case=$1
    runner=()
    XDG_CONFIG_HOME="$e2e_dir/$case"
    export XDG_CONFIG_HOME
    mkdir -p "$XDG_CONFIG_HOME"
    settings="$XDG_CONFIG_HOME/zq8/zq8.ini"
}

# A settings file as the program writes it: these lines, then empty ones up to 256.
stored_file() {
    { printf '%s\n' "$@"; printf '\n%.0s' $(seq $((256 - $#))); } >"$settings"
}

# Starts the program (through `runner`, when set) and waits until its main window shows with the
# given title (default "Sony SIRC"); sets `pid`, or fails.
start_panel() {
    local title=${1:-Sony SIRC}
    XDG_RUNTIME_DIR="$e2e_dir/runtime-$case" "${runner[@]}" "$program" 2>"$e2e_dir/stderr" &
    pid=$!
    e2e_pids+=($pid)
    if ! window=$(e2e_wait_window "$title"); then
        fail "the main window did not show"
        kill -9 "$pid" 2>/dev/null || true
        return 1
    fi
}

# Chooses Options, Protocol, Phillips RC6 in the running panel's window; its store is made by
# the time the title changes.
choose_phillips_rc6() {
    e2e_activate "$window"
    xdotool mousemove --window "$window" 106 8 click 1
    e2e_wait_popups "$pid" 1 || return 1
    xdotool mousemove --window "$window" 130 95 click 1
    e2e_wait_popups "$pid" 2 || return 1
    xdotool mousemove --window "$window" 260 117 click 1
    e2e_wait_popups "$pid" 0 || return 1
    e2e_wait_title "$window" "Phillips RC6" || fail "Phillips RC6 was not chosen"
}

# Starts a second panel on the settings of the moment and expects it to end with status 1,
# naming the pid of the panel that holds them.
second_panel_refused() {
    local holder=$1 second
    "$program" 2>"$e2e_dir/second_stderr" &
    second=$!
    e2e_pids+=($second)
    if ! e2e_wait_exit "$second"; then
        fail "the second panel did not end"
        kill -9 "$second" 2>/dev/null || true
        return
    fi
    [ "$e2e_status" = 1 ] || fail "the second panel's exit status is $e2e_status, expected 1"
    grep -qxF "zq8: another panel (pid $holder) is already running on $XDG_CONFIG_HOME/zq8" \
        "$e2e_dir/second_stderr" || fail "the second panel did not name the first"
}

# Quits the running panel with Ctrl+Q and expects status 0. Sets `started`.
quit_panel() {
    e2e_type "$window" ctrl+q
    if ! e2e_wait_exit "$pid"; then
        fail "Ctrl+Q did not end the run"
        kill -9 "$pid" 2>/dev/null || true
        return
    fi
    if [ "$e2e_status" != 0 ]; then
        fail "exit status $e2e_status, expected 0"
        return
    fi
    started=1
}

# Runs the program until its main window shows, keeps a copy of the settings as Open left them
# in $e2e_dir/after_open, and quits with Ctrl+Q. Sets `started`.
run_until_shown_then_quit() {
    started=0
    rm -f "$e2e_dir/after_open"
    start_panel "$@" || return 0
    [ -f "$settings" ] && cp "$settings" "$e2e_dir/after_open"
    quit_panel
}

same_bytes() {
    cmp -s "$1" "$2" || fail "$3"
}

# The one line that says why no store could write, exactly once however often the run stored.
said_once() {
    local line=$1
    [ "$(grep -cxF "$line" "$e2e_dir/stderr")" = 1 ] || fail "not once on stderr: '$line'"
    [ "$(grep -c '^zq8: cannot \(read\|write\)' "$e2e_dir/stderr")" = 1 ] ||
        fail "more than the one line on the settings file"
}

said_nothing_on_the_file() {
    ! grep -q '^zq8: cannot \(read\|write\)' "$e2e_dir/stderr" || fail "a store failed"
}

no_stray_files() {
    local stray
    stray=$(find "$XDG_CONFIG_HOME" -name '.zq8.ini.*' | head -n 1)
    [ -z "$stray" ] || fail "a temporary file was left behind: $stray"
}

# 1. "zq8" is a regular file of the user's where the settings folder should be: nothing can be
# written there, even as root. Open's store and the two at quit say it once.
new_case folder_is_a_file
printf 'not a folder\n' >"$XDG_CONFIG_HOME/zq8"
cp "$XDG_CONFIG_HOME/zq8" "$e2e_dir/original"
run_until_shown_then_quit
said_once "zq8: cannot write $settings: Not a directory"
same_bytes "$XDG_CONFIG_HOME/zq8" "$e2e_dir/original" "the file in the folder's place changed"

# 2. A file the user made read-only, in their own folder: the rename would replace it, but the
# file's own rights decide. With no write permission for anyone it stays for root too, who may
# write anything: the user said it stays.
for user in ordinary root; do
    new_case "read_only_file_as_$user"
    runner=()
    [ "$user" = ordinary ] && runner=("${as_user[@]}")
    mkdir -p "$XDG_CONFIG_HOME/zq8"
    stored_file zq8lang 0 controlport /dev/ttyUSB9
    [ "$user" = ordinary ] && give_to_user "$XDG_CONFIG_HOME" "$XDG_CONFIG_HOME/zq8" "$settings"
    chmod 444 "$settings"
    cp "$settings" "$e2e_dir/original"
    run_until_shown_then_quit
    said_once "zq8: cannot write $settings: Permission denied"
    same_bytes "$settings" "$e2e_dir/original" "the read-only file changed"
    no_stray_files
done

# 3. The user's file in a folder they cannot write: no new file can be made beside it, so the
# file itself is rewritten in place.
new_case read_only_folder
runner=("${as_user[@]}")
mkdir -p "$XDG_CONFIG_HOME/zq8"
stored_file zq8lang 1 controlport /dev/ttyUSB9
give_to_user "$XDG_CONFIG_HOME" "$XDG_CONFIG_HOME/zq8" "$settings"
chmod 644 "$settings"
chmod 555 "$XDG_CONFIG_HOME/zq8"
inode=$(stat -c %i "$settings")
run_until_shown_then_quit "Phillips RC6"
said_nothing_on_the_file
[ "$(sed -n '1,5p' "$settings" | tr '\n' '|')" = "zq8lang|1|controlport|/dev/ttyUSB9|Select Port_left|" ] ||
    fail "the dialog's position was not stored"
[ "$(stat -c %i "$settings")" = "$inode" ] || fail "the file was replaced, not rewritten"
lines=$(wc -l <"$settings")
[ "$lines" = 256 ] || fail "$lines lines after the run, expected 256"
no_stray_files
chmod 755 "$XDG_CONFIG_HOME/zq8"

# 4. A folder where the file should be: it cannot be read, and it is left as it was.
new_case file_is_a_folder
mkdir -p "$settings"
printf 'keep me\n' >"$settings/note"
run_until_shown_then_quit
said_once "zq8: cannot read $settings: Is a directory; it is left as it is, and no setting is saved"
if [ -d "$settings" ]; then
    same_bytes "$settings/note" <(printf 'keep me\n') "the folder's content changed"
else
    fail "the folder in the file's place is gone"
fi

# 5. A FIFO: opening it to read would block the start for ever.
new_case fifo
mkdir -p "$XDG_CONFIG_HOME/zq8"
mkfifo "$settings"
run_until_shown_then_quit
said_once "zq8: cannot read $settings: a FIFO, not a plain file; it is left as it is, and no setting is saved"
[ -p "$settings" ] || fail "the FIFO is gone"

# 6 and 7. Links to devices: a zero device would be read until memory runs out, and a device
# node would, under root, be turned into a plain file. Under root each node is private to this
# run, so that a panel that does replace it harms nothing of the machine's; an ordinary user, who
# may not make one, links to the machine's own.
for variant in dev_zero device_node; do
    new_case "link_to_$variant"
    mkdir -p "$XDG_CONFIG_HOME/zq8"
    device=/dev/zero minor=5
    if [ "$variant" = device_node ]; then
        device=/dev/null minor=3
    fi
    if [ "$(id -u)" = 0 ]; then
        device="$XDG_CONFIG_HOME/node"
        mknod "$device" c 1 "$minor"
    fi
    ln -s "$device" "$settings"
    run_until_shown_then_quit
    said_once "zq8: cannot read $settings: a character device, not a plain file; it is left as it is, and no setting is saved"
    [ -L "$settings" ] && [ "$(readlink "$settings")" = "$device" ] || fail "the link changed"
    [ -c "$device" ] || fail "$device is no longer a device"
done

# 8. A dangling link: the file is made where it points, and the link stays a link.
new_case dangling_link
mkdir -p "$XDG_CONFIG_HOME/zq8" "$XDG_CONFIG_HOME/dotfiles"
ln -s ../dotfiles/zq8.ini "$settings"
run_until_shown_then_quit
said_nothing_on_the_file
[ -L "$settings" ] || fail "the link was replaced"
target="$XDG_CONFIG_HOME/dotfiles/zq8.ini"
[ -f "$target" ] && [ "$(head -n 2 "$target" | tr '\n' '|')" = "zq8lang|0|" ] ||
    fail "no settings file where the link points"

# 9. The settings folder replaced by a file while the panel runs: the stores at quit fail, say
# so once, and the run still ends with status 0. The old file stays whole where it went.
new_case folder_gone_mid_run
mkdir -p "$XDG_CONFIG_HOME/zq8"
started=0
if start_panel; then
    cp "$settings" "$e2e_dir/after_open"
    mv "$XDG_CONFIG_HOME/zq8" "$XDG_CONFIG_HOME/zq8.moved"
    printf 'in the way\n' >"$XDG_CONFIG_HOME/zq8"
    quit_panel
    said_once "zq8: cannot write $settings: Not a directory"
    same_bytes "$XDG_CONFIG_HOME/zq8.moved/zq8.ini" "$e2e_dir/after_open" "the old file changed"
fi

# 10. A second panel on the same folder ends with status 1 before it reads or writes the
# settings, and names the first one's pid; the first runs on.
new_case second_panel
mkdir -p "$XDG_CONFIG_HOME/zq8"
if start_panel; then
    first=$pid
    cp "$settings" "$e2e_dir/after_open"
    cp "$e2e_dir/stderr" "$e2e_dir/first_stderr"
    "$program" 2>"$e2e_dir/stderr" &
    second=$!
    e2e_pids+=($second)
    if e2e_wait_exit "$second"; then
        [ "$e2e_status" = 1 ] || fail "the second panel's exit status is $e2e_status, expected 1"
        grep -qxF "zq8: another panel (pid $first) is already running on $XDG_CONFIG_HOME/zq8" \
            "$e2e_dir/stderr" || fail "the second panel did not name the first"
    else
        fail "the second panel did not end"
        kill -9 "$second" 2>/dev/null || true
    fi
    same_bytes "$settings" "$e2e_dir/after_open" "the second panel changed the settings"
    cp "$e2e_dir/first_stderr" "$e2e_dir/stderr"
    pid=$first
    quit_panel
fi

# 11. A relative XDG_CONFIG_HOME would follow the working folder: the default under HOME is used.
new_case relative_config_home
mkdir -p "$XDG_CONFIG_HOME/home" "$XDG_CONFIG_HOME/work"
settings="$XDG_CONFIG_HOME/home/.config/zq8/zq8.ini"
runner=(env -C "$XDG_CONFIG_HOME/work" HOME="$XDG_CONFIG_HOME/home" XDG_CONFIG_HOME=config)
run_until_shown_then_quit
[ -f "$settings" ] && [ "$(head -n 2 "$settings" | tr '\n' '|')" = "zq8lang|0|" ] ||
    fail "no settings file under HOME"
[ -z "$(ls -A "$XDG_CONFIG_HOME/work")" ] || fail "something was written under the working folder"

# 12. The pending file that a run killed before its rename left behind goes at the first store.
new_case pending_file
mkdir -p "$XDG_CONFIG_HOME/zq8"
printf 'left behind\n' >"$XDG_CONFIG_HOME/zq8/.zq8.ini.new"
run_until_shown_then_quit
[ ! -e "$XDG_CONFIG_HOME/zq8/.zq8.ini.new" ] || fail "the killed run's pending file is still there"
[ "$(head -n 2 "$settings" | tr '\n' '|')" = "zq8lang|0|" ] || fail "the store did not write"
said_nothing_on_the_file

# 13. A million lines: the first 256 are loaded and written back, the store at start-up in place.
new_case million_lines
mkdir -p "$XDG_CONFIG_HOME/zq8"
awk 'BEGIN { print "zq8lang"; print "0"; for (i = 3; i <= 1000000; i++) print "line " i }' >"$settings"
head -n 256 "$settings" >"$e2e_dir/expected"
run_until_shown_then_quit
if [ "$started" = 1 ]; then
    same_bytes "$e2e_dir/after_open" "$e2e_dir/expected" "Open did not keep the first 256 lines"
    lines=$(wc -l <"$settings")
    [ "$lines" = 256 ] || fail "$lines lines after the run, expected 256"
fi

# 14. One line of 10 MB: its first MiB is kept as the first key, the rest skipped; the protocol
# goes to the next pair.
new_case ten_megabyte_line
mkdir -p "$XDG_CONFIG_HOME/zq8"
head -c 10485760 /dev/zero | tr '\0' 'k' >"$e2e_dir/line"
{ cat "$e2e_dir/line"; printf '\n'; } >"$settings"
run_until_shown_then_quit
if [ "$started" = 1 ]; then
    head -n 1 "$settings" | tr -d '\n' >"$e2e_dir/first"
    same_bytes "$e2e_dir/first" <(head -c 1048576 "$e2e_dir/line") "the first MiB of the line was not kept"
    [ "$(sed -n '3p;4p' "$settings" | tr '\n' '|')" = "zq8lang|0|" ] || fail "zq8lang is not in the second pair"
    lines=$(wc -l <"$settings")
    [ "$lines" = 256 ] || fail "$lines lines after the run, expected 256"
fi

# 15 and 16. Bytes that are not UTF-8, and NUL bytes, in keys and values: Open's store changes
# nothing (zq8lang already holds 0), so the file comes back identical; Ctrl+Q then stores the
# port dialog's position in the first free pairs, after the user's.
for variant in not_utf8 nul_bytes; do
    new_case "$variant"
    mkdir -p "$XDG_CONFIG_HOME/zq8"
    if [ "$variant" = not_utf8 ]; then
        head='zq8lang\n0\ncontrolport\n\xff\xfe/dev/tty\xc3(\n\x80\x81\xfe\n\xc0\xaf\xed\xa0\x80\n'
    else
        head='zq8lang\n0\ncontrolport\n/dev/tty\0S0\na\0b\n\0\n'
    fi
    { printf "$head"; printf '\n%.0s' $(seq 250); } >"$settings"
    cp "$settings" "$e2e_dir/original"
    run_until_shown_then_quit
    if [ "$started" = 1 ]; then
        same_bytes "$e2e_dir/after_open" "$e2e_dir/original" "Open changed the file"
        same_bytes <(head -n 6 "$settings") <(head -n 6 "$e2e_dir/original") "the user's pairs changed at quit"
        [ "$(sed -n '7p;9p' "$settings" | tr '\n' '|')" = "Select Port_left|Select Port_top|" ] ||
            fail "the dialog's position is not in the first free pairs"
        lines=$(wc -l <"$settings")
        [ "$lines" = 256 ] || fail "$lines lines after the run, expected 256"
    fi
done

# 17 and 18. A read of the file that fails (a failing disk, a network home folder), made so by
# the kernel at the first read, and at the second 64 KiB chunk: the file is no table the panel
# can trust, so it starts on defaults, says so once, and leaves the file whole.
for when in 1 2; do
    new_case "read_fails_at_read_$when"
    mkdir -p "$XDG_CONFIG_HOME/zq8"
    stored_file zq8lang 1 controlport /dev/ttyUSB9 note "$(head -c 100000 /dev/zero | tr '\0' n)"
    cp "$settings" "$e2e_dir/original"
    runner=(env "$no_leak_check" strace -f -qq -o /dev/null -P "$settings" -e trace=read
        -e inject=read:error=EIO:when=$when)
    run_until_shown_then_quit "Sony SIRC"
    said_once "zq8: cannot read $settings: Input/output error; it is left as it is, and no setting is saved"
    same_bytes "$settings" "$e2e_dir/original" "the file changed"
    no_stray_files
done

# 19. A byte order mark that an editor put before "zq8lang": Philips RC6 as stored, the mark
# gone at the first store, every other byte kept, no second "zq8lang".
new_case byte_order_mark
mkdir -p "$XDG_CONFIG_HOME/zq8"
stored_file zq8lang 1 controlport /dev/ttyUSB9
cp "$settings" "$e2e_dir/expected"
{ printf '\xef\xbb\xbf'; cat "$e2e_dir/expected"; } >"$settings"
run_until_shown_then_quit "Phillips RC6"
if [ "$started" = 1 ]; then
    same_bytes "$e2e_dir/after_open" "$e2e_dir/expected" "Open's store did not give the file without its mark"
    [ "$(grep -c '^zq8lang$' "$settings")" = 1 ] || fail "zq8lang stands more than once"
fi
said_nothing_on_the_file

# 20. All 128 pairs hold other keys: no setting of the panel finds room. Each key is told once,
# however often it is stored, and the file stays byte for byte as it was.
new_case full_table
mkdir -p "$XDG_CONFIG_HOME/zq8"
for k in $(seq 0 127); do printf 'k%s\nv%s\n' "$k" "$k"; done >"$settings"
cp "$settings" "$e2e_dir/original"
started=0
if start_panel "Sony SIRC"; then
    choose_phillips_rc6
    quit_panel
fi
for key in zq8lang "Select Port_left" "Select Port_top"; do
    [ "$(grep -cxF "zq8: not stored: no pair is free for \"$key\", all 128 hold other keys" \
        "$e2e_dir/stderr")" = 1 ] || fail "not said once that $key finds no room"
done
same_bytes "$settings" "$e2e_dir/original" "the file changed"
said_nothing_on_the_file

# 21. 10 GB without a line end, taking no disk space: reading stops once none of the 256 lines
# can still be read, and says so; the bytes read of the file show the bound. Open's store
# then writes the file back with 256 lines, the first MiB of the long one first.
new_case ten_gigabytes_without_a_line_end
mkdir -p "$XDG_CONFIG_HOME/zq8"
truncate -s 10G "$settings"
runner=(env "$no_leak_check" strace -f -qq -o "$e2e_dir/reads" -P "$settings" -e trace=read)
run_until_shown_then_quit
if [ "$started" = 1 ]; then
    grep -qxF "zq8: stopped reading $settings after 256 MiB: no more of its first 256 lines can be read" \
        "$e2e_dir/stderr" || fail "not said that reading stopped"
    read_bytes=$(awk '$NF ~ /^[0-9]+$/ { sum += $NF } END { print sum + 0 }' "$e2e_dir/reads")
    # 256 lines of at most 1 MiB and a line end, and the one byte that shows more follows
    [ "$read_bytes" -le $((256 * (1048576 + 2) + 1)) ] || fail "$read_bytes bytes of the file read"
    lines=$(wc -l <"$settings")
    [ "$lines" = 256 ] || fail "$lines lines after the run, expected 256"
    [ "$(head -n 1 "$settings" | wc -c)" = 1048577 ] || fail "the first line is not the long one's first MiB"
fi

# 22 and 23. The settings folder removed, or renamed, under a running panel: its next store
# makes the folder anew and takes the lock there first, so a second panel started after is
# refused, and the first one's stores go on.
for how in removed renamed; do
    new_case "folder_${how}_under_the_panel"
    mkdir -p "$XDG_CONFIG_HOME/zq8"
    started=0
    if start_panel; then
        if [ "$how" = removed ]; then
            rm -rf "$XDG_CONFIG_HOME/zq8"
        else
            mv "$XDG_CONFIG_HOME/zq8" "$XDG_CONFIG_HOME/zq8.moved"
        fi
        choose_phillips_rc6
        [ "$(head -n 2 "$settings" 2>/dev/null | tr '\n' '|')" = "zq8lang|1|" ] ||
            fail "the store did not make the folder anew"
        second_panel_refused "$pid"
        quit_panel
        [ "$(sed -n '3p' "$settings")" = "Select Port_left" ] || fail "the stores at quit did not write"
        said_nothing_on_the_file
    fi
done

# 24. The folder removed, and a second panel started on the new one before the first panel's
# next store: that store is refused with one line, and the second panel's file stays as it is.
new_case folder_taken_by_a_second_panel
mkdir -p "$XDG_CONFIG_HOME/zq8"
started=0
if start_panel; then
    first=$pid first_window=$window
    choose_phillips_rc6
    rm -rf "$XDG_CONFIG_HOME/zq8"
    cp "$e2e_dir/stderr" "$e2e_dir/first_stderr"
    if start_panel "Sony SIRC"; then
        second=$pid second_window=$window
        cp "$settings" "$e2e_dir/after_open"
        cp "$e2e_dir/stderr" "$e2e_dir/second_stderr"
        cp "$e2e_dir/first_stderr" "$e2e_dir/stderr"
        pid=$first window=$first_window
        quit_panel
        said_once "zq8: cannot write $settings: another panel (pid $second) is already running on $XDG_CONFIG_HOME/zq8"
        same_bytes "$settings" "$e2e_dir/after_open" "the first panel wrote over the second's file"
        cp "$e2e_dir/second_stderr" "$e2e_dir/stderr"
        pid=$second window=$second_window
        quit_panel
    fi
fi

# 25 and 26. A file size limit, set in the shell that starts the panel: of 0, the lock's pid and
# every store fail; of 1 KiB, a store of a longer file fails. Each such write fails as on a
# full disk, with one line, and the panel runs on.
for limit in 0 1; do
    new_case "file_size_limit_$limit"
    mkdir -p "$XDG_CONFIG_HOME/zq8"
    stored_file zq8lang 0 controlport "/dev/$(head -c 2000 /dev/zero | tr '\0' p)"
    cp "$settings" "$e2e_dir/original"
    # The limit holds for the panel alone: its stderr reaches the file through a pipe.
    runner=(bash -c "set -o pipefail; (ulimit -f $limit && exec \"\$@\") 2>&1 | cat >&2" ulimit)
    run_until_shown_then_quit
    said_once "zq8: cannot write $settings: File too large"
    same_bytes "$settings" "$e2e_dir/original" "the file changed"
    no_stray_files
    if [ "$limit" = 0 ]; then
        [ ! -s "$XDG_CONFIG_HOME/zq8/.zq8.lock" ] || fail "the lock's pid was written past the limit"
    fi
done

if [ "$failures" != 0 ]; then
    exit 1
fi
echo "ok: every settings fault ends as it should"
