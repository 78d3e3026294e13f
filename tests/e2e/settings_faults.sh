#!/usr/bin/env bash
# The built program on settings it cannot use as they are: a folder where nothing can be written,
# a folder in place of the file, a file of a million lines, a line of 10 MB, bytes that are not
# UTF-8, NUL bytes. Each run either starts (its window shows, Ctrl+Q ends it with status 0) or
# ends at once with status 1 and the one stderr line that names the file and the reason. It
# never hangs (every wait is bounded) and never crashes, and the user's own bytes stay as they
# were, apart from what the program is meant to write.
source "$(dirname "$0")/../support/e2e.sh"
program=$1

e2e_start_display
failures=0
fail() {
    echo "FAIL $case: $*" >&2
    [ -s "$e2e_dir/stderr" ] && sed 's/^/  stderr: /' "$e2e_dir/stderr" | head -c 2000 >&2
    failures=$((failures + 1))
}

# A new settings home for the next case; $settings is the file the program uses.
new_case() {
    case=$1
    XDG_CONFIG_HOME="$e2e_dir/$case"
    export XDG_CONFIG_HOME
    mkdir -p "$XDG_CONFIG_HOME"
    settings="$XDG_CONFIG_HOME/zq8/zq8.ini"
}

# Runs the program until its main window shows with the protocol applied, keeps a copy of the
# settings as Open left them in $e2e_dir/after_open, and quits with Ctrl+Q. Sets `started`.
run_until_shown_then_quit() {
    started=0
    "$program" 2>"$e2e_dir/stderr" &
    local pid=$!
    e2e_pids+=($pid)
    local window
    if ! window=$(e2e_wait_window "Sony SIRC"); then
        fail "the main window did not show"
        kill -9 "$pid" 2>/dev/null || true
        return
    fi
    cp "$settings" "$e2e_dir/after_open" 2>/dev/null || true
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

# Runs the program (as `runner`, when set) and expects it to end by itself with status 1 and
# the line "zq8: unhandled NilObjectException: cannot <action> <file>: <reason>".
run_expecting_failure() {
    local action=$1 reason=$2
    ${runner:-} "$program" 2>"$e2e_dir/stderr" &
    local pid=$!
    e2e_pids+=($pid)
    if ! e2e_wait_exit "$pid"; then
        fail "did not end"
        kill -9 "$pid" 2>/dev/null || true
        return
    fi
    [ "$e2e_status" = 1 ] || fail "exit status $e2e_status, expected 1"
    local expected="zq8: unhandled NilObjectException: cannot $action $settings: $reason"
    grep -qxF "$expected" "$e2e_dir/stderr" || fail "no line '$expected'"
}

same_bytes() {
    cmp -s "$1" "$2" || fail "$3"
}

no_stray_files() {
    local stray
    stray=$(find "$XDG_CONFIG_HOME" -name '.zq8.ini.*' | head -n 1)
    [ -z "$stray" ] || fail "a temporary file was left behind: $stray"
}

# 1. "zq8" is a regular file of the user's where the settings folder should be: nothing can be
# written there, even as root.
new_case folder_is_a_file
printf 'not a folder\n' >"$XDG_CONFIG_HOME/zq8"
cp "$XDG_CONFIG_HOME/zq8" "$e2e_dir/original"
run_expecting_failure write "Not a directory"
same_bytes "$XDG_CONFIG_HOME/zq8" "$e2e_dir/original" "the file in the folder's place changed"

# 2. A folder the program's user may read but not write (root writes anywhere, so the program
# runs as nobody): the settings load, and the store at start-up fails.
new_case read_only_folder
runner="setpriv --reuid=nobody --regid=nogroup --clear-groups --"
if id nobody >/dev/null 2>&1 && command -v setpriv >/dev/null && $runner test -x "$program"; then
    chmod 755 "$e2e_dir" "$XDG_CONFIG_HOME"
    mkdir -p "$XDG_CONFIG_HOME/zq8"
    { printf 'zq8lang\n1\ncontrolport\n/dev/ttyUSB9\n'; printf '\n%.0s' $(seq 252); } >"$settings"
    chmod 644 "$settings"
    cp "$settings" "$e2e_dir/original"
    XDG_RUNTIME_DIR="$e2e_dir/nobody-runtime" run_expecting_failure write "Permission denied"
    same_bytes "$settings" "$e2e_dir/original" "the user's file changed"
    no_stray_files
else
    echo "skipped $case: cannot run the program as nobody here"
fi
runner=

# 3. A folder where the file should be: it cannot be read, and it is left as it was.
new_case file_is_a_folder
mkdir -p "$settings"
printf 'keep me\n' >"$settings/note"
run_expecting_failure read "Is a directory"
if [ -d "$settings" ]; then
    same_bytes "$settings/note" <(printf 'keep me\n') "the folder's content changed"
else
    fail "the folder in the file's place is gone"
fi

# 4. A million lines: the first 256 are loaded and written back, the store at start-up in place.
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

# 5. One line of 10 MB: kept byte for byte as the first key; the protocol goes to the next pair.
new_case ten_megabyte_line
mkdir -p "$XDG_CONFIG_HOME/zq8"
head -c 10485760 /dev/zero | tr '\0' 'k' >"$e2e_dir/line"
{ cat "$e2e_dir/line"; printf '\n'; } >"$settings"
run_until_shown_then_quit
if [ "$started" = 1 ]; then
    head -n 1 "$settings" | tr -d '\n' >"$e2e_dir/first"
    same_bytes "$e2e_dir/first" "$e2e_dir/line" "the 10 MB line was not kept"
    [ "$(sed -n '3p;4p' "$settings" | tr '\n' '|')" = "zq8lang|0|" ] || fail "zq8lang is not in the second pair"
    lines=$(wc -l <"$settings")
    [ "$lines" = 256 ] || fail "$lines lines after the run, expected 256"
fi

# 6 and 7. Bytes that are not UTF-8, and NUL bytes, in keys and values: Open's store changes
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

if [ "$failures" != 0 ]; then
    exit 1
fi
echo "ok: every settings fault ends as it should"
