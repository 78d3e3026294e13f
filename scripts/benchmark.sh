#!/usr/bin/env bash
# Builds the project in release mode into build-bench/, runs every benchmark with its anchors in
# the same run, and writes docs/benchmarks.md from the raw results of every run kept. One run
# takes about five minutes and wants an otherwise idle machine; the tests and CI never run it.
#
#   bash scripts/benchmark.sh                one run; the results of earlier runs are dropped
#   bash scripts/benchmark.sh --append       one more run, kept beside the earlier ones; the
#                                            report combines them all
#   bash scripts/benchmark.sh --report-only  writes the report again from the results kept
#
# The raw results stay in build-bench/results/run-N/. ZQ8_BENCH_STARTS (default 15) sets the
# starts of each program, ZQ8_BENCH_CLICKS (default 1000) the clicks on each, and
# ZQ8_BENCH_REPETITIONS (default 5) the repetitions each Google Benchmark median is taken over.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=build-bench
results="$PWD/$build_dir/results"
starts=${ZQ8_BENCH_STARTS:-15}
clicks=${ZQ8_BENCH_CLICKS:-1000}
repetitions=${ZQ8_BENCH_REPETITIONS:-5}

write_report() {
    mkdir -p docs
    python3 scripts/benchmark_report.py "$results" >docs/benchmarks.md
    echo "wrote docs/benchmarks.md"
}

case "${1:-}" in
    --report-only)
        write_report
        exit 0
        ;;
    --append) ;;
    "") rm -rf "$results" ;;
    *)
        echo "usage: bash scripts/benchmark.sh [--append | --report-only]" >&2
        exit 2
        ;;
esac

# This script's own needs beyond the build's: callgrind counts the instructions to the map.
if ! command -v valgrind >/dev/null; then
    echo "the benchmarks need valgrind: apt-get install --no-install-recommends valgrind" >&2
    exit 1
fi

ZQ8_BUILD_DIR=$build_dir bash scripts/setup.sh -DCMAKE_BUILD_TYPE=Release
bin="$PWD/$build_dir"
for program in zq8 minimal_window menu_window xprobe link_bench settings_bench; do
    [ -x "$bin/$program" ] || { echo "missing $bin/$program" >&2; exit 1; }
done

run=1
while [ -d "$results/run-$run" ]; do
    run=$((run + 1))
done
out="$results/run-$run"
mkdir -p "$out"
echo "== run $run into $out"
load() { cut -d' ' -f1 /proc/loadavg; }
printf 'starts=%s clicks=%s repetitions=%s date=%s load_before=%s\n' "$starts" "$clicks" \
    "$repetitions" "$(date +%F)" "$(load)" >"$out/settings.txt"

# A private X server with a window manager, and a settings folder, as the end-to-end tests use.
source tests/support/e2e.sh
e2e_start_display
export XDG_RUNTIME_DIR="$e2e_dir/runtime"
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
unset ZQ8_SERIAL_PORTS

# A fresh settings folder for each start, so that a first start is one.
fresh_settings() {
    rm -rf "${XDG_CONFIG_HOME:?}"
    XDG_CONFIG_HOME=$(mktemp -d "$e2e_dir/config.XXXXXX")
    export XDG_CONFIG_HOME
}

# Starts one of the programs through xprobe, behind the given wrapper if any (valgrind). A
# stored-port start finds a pseudo-terminal named in its settings file and listed in
# ZQ8_SERIAL_PORTS, and must have sent the protocol's six-byte frame on it when its window shows.
probe_start() {
    local settle=$1 name=$2
    shift 2
    local port=() program=$bin/zq8
    case $name in
        minimal_window | menu_window) program=$bin/$name ;;
        zq8_stored) port=(--port 6) ;;
    esac
    "$bin/xprobe" start "$settle" "${port[@]}" "$@" "$program"
}
programs=(minimal_window menu_window zq8_first zq8_stored)

echo "== start-up: $starts starts of each program, in turn"
for _ in $(seq "$starts"); do
    for name in "${programs[@]}"; do
        fresh_settings
        echo "$name $(probe_start 300 "$name" 2>/dev/null)" >>"$out/start.txt"
    done
done
cat "$out/start.txt"

echo "== instructions to the map, under callgrind"
for name in "${programs[@]}"; do
    fresh_settings
    counts="$e2e_dir/callgrind.$name"
    probe_start 0 "$name" valgrind --tool=callgrind --dump-before=xcb_map_window \
        --callgrind-out-file="$counts" >/dev/null 2>&1
    # The first dump holds everything up to the program's request to map its window.
    instructions=$(callgrind_annotate "$counts.1" 2>/dev/null | awk '/PROGRAM TOTALS/ {print $1}')
    echo "$name instructions=${instructions//,/}" | tee -a "$out/instructions.txt"
done

echo "== click to wire: $clicks clicks on each program, in turn, and as many printfs"
fresh_settings
# "Power On/Off" (key 17, 100 by 22 at 140, 8), code 21 under Sony SIRC; the menu window's button
# stands at the same place below a menu bar.
"$bin/xprobe" click "$clicks" 0x15 --samples "$out/click_samples.txt" \
    -- zq8 190 19 474 6 "$bin/zq8" \
    -- menu_window 190 19 474 0 "$bin/menu_window" @PTY@ 2>/dev/null | tee "$out/click.txt"

google_benchmark() {
    local name=$1
    echo "== $name"
    "$bin/$name" --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
        --benchmark_out="$out/$name.json" --benchmark_out_format=json 2>/dev/null
}
fresh_settings
google_benchmark link_bench
google_benchmark settings_bench
echo "load_after=$(load)" >>"$out/settings.txt"

write_report
