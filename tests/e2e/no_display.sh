#!/usr/bin/env bash
# The built program where no display can be reached: no display named at all, an X display with
# no server behind it, only a Wayland display, or the X platform asked for with no display. Each
# ends with status 2 and one line on stderr that names the display and what to do, and touches
# no settings.
source "$(dirname "$0")/../support/e2e.sh"
program=$1

# A display number no X server can take while this script runs: reserved with a lock file naming
# this shell, as X servers reserve theirs, and with no socket behind it.
lock=""
for n in $(seq 77 299); do
    [ -e "/tmp/.X11-unix/X$n" ] && continue
    if (set -o noclobber; printf '%10d\n' $$ >"/tmp/.X$n-lock") 2>/dev/null; then
        lock="/tmp/.X$n-lock"
        break
    fi
done
[ -n "$lock" ] || { echo "no display number could be reserved" >&2; exit 1; }
trap 'rm -f "$lock"; e2e_cleanup' EXIT

what_to_do="set DISPLAY to a running X server you may use, or run under xvfb-run"
fail=0
# Runs the program with the environment changes given, then checks status, stderr and settings.
expect() {
    local line=$1 status=0
    shift
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" "$program" \
        >"$e2e_dir/stdout" 2>"$e2e_dir/stderr" </dev/null || status=$?
    if [ "$status" != 2 ] || [ "$(cat "$e2e_dir/stderr")" != "$line" ] ||
        [ -s "$e2e_dir/stdout" ] || [ -n "$(ls -A "$XDG_CONFIG_HOME")" ]; then
        echo "with $*: status $status, expected 2" >&2
        echo "stderr:   $(cat "$e2e_dir/stderr")" >&2
        echo "expected: $line" >&2
        ls -AR "$XDG_CONFIG_HOME" >&2
        fail=1
    fi
}

expect "no display: set DISPLAY, or run under xvfb-run"
expect "zq8: cannot open the X display \":$n\": $what_to_do" DISPLAY=":$n"
expect "zq8: cannot open the Wayland display \"wayland-zq8\": $what_to_do" WAYLAND_DISPLAY=wayland-zq8
expect "no display: set DISPLAY, or run under xvfb-run" QT_QPA_PLATFORM=xcb
expect "zq8: cannot open the X display \":$n?\": $what_to_do" DISPLAY=":$n"$'\n'
[ "$fail" = 0 ] || exit 1
echo "ok: every unreachable display gave status 2 and one line, and no settings were touched"
