#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite, then builds again with the address and
# undefined-behaviour sanitizers and runs the suite on that build too; fails when any test fails
# or any sanitizer reports.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)
(cd build && ctest --output-on-failure -j"$jobs" --timeout 300)

echo "== the same suite under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWITH_ASAN=ON \
    -DWITH_BENCHMARKS=OFF >/dev/null
cmake --build build-asan -j"$jobs"
# strict_string_checks stays off: it flags strndup calls with a bound, which are legal, inside
# the X keyboard library that Qt loads.
export ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/ubsan.supp:print_stacktrace=1:halt_on_error=1"
(cd build-asan && ctest --output-on-failure -j"$jobs" --timeout 600)
