#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite, then builds again with the address and
# undefined-behaviour sanitizers and runs the suite on that build too; fails when any test fails
# or any sanitizer reports. Both builds take compiler warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh -DZQ8_WERROR=ON
jobs=$(nproc)
(cd build && ctest --output-on-failure -j"$jobs" --timeout 300)

echo "== the same suite under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWITH_ASAN=ON \
    -DWITH_BENCHMARKS=OFF -DZQ8_WERROR=ON >/dev/null
cmake --build build-asan -j"$jobs"
source scripts/sanitizer_env.sh
(cd build-asan && ctest --output-on-failure -j"$jobs" --timeout 600)
