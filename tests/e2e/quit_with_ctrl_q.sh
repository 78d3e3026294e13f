#!/usr/bin/env bash
# The built program under a real X server: its window appears, and Ctrl+Q ends it with status 0.
source "$(dirname "$0")/../support/e2e.sh"
program=$1

e2e_start_display
"$program" 2>"$e2e_dir/stderr" &
pid=$!
e2e_pids+=($pid)
window=$(e2e_wait_window "Sony SIRC")
e2e_type "$window" ctrl+q
e2e_wait_exit "$pid"
if [ "$e2e_status" != 0 ]; then
    echo "exit status $e2e_status, expected 0" >&2
    cat "$e2e_dir/stderr" >&2
    exit 1
fi
echo "ok: window shown, Ctrl+Q ended the run with status 0"
