#!/usr/bin/env bash
# Builds the project and runs the controller link benchmark on a pseudo-terminal: the time from
# cmdout to the frame on the box's side, and cmdout's throughput with the log hidden and shown.
# Arguments go to the benchmark (--benchmark_filter=..., --benchmark_format=json, ...).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${ZQ8_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja >/dev/null
cmake --build "$build_dir" -j"$(nproc)" --target link_bench
"$build_dir/link_bench" "$@"
