#!/usr/bin/env bash
# Runs each fuzz target for the given number of seconds (default 60) from its seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build_dir=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DWITH_FUZZERS=ON -DWITH_ASAN=ON -DWITH_TESTS=OFF -DWITH_BENCHMARKS=OFF >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
source scripts/sanitizer_env.sh
for target in "$build_dir"/*_fuzz; do
    name=$(basename "$target")
    corpus=$(mktemp -d)
    cp -r "fuzz/seeds/$name/." "$corpus/" 2>/dev/null || true
    echo "fuzzing $name for ${seconds}s"
    "$target" -artifact_prefix="$build_dir/" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        "$corpus" 2>"$corpus.log" || { tail -n 40 "$corpus.log"; exit 1; }
    grep -E 'stat::number_of_executed_units' "$corpus.log" || true
    rm -rf "$corpus" "$corpus.log"
done
