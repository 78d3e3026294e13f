#!/usr/bin/env bash
# Renders the main window as it opens, colour keys coloured, to docs/main-window.png (or the
# file given), without a display. Builds what is needed first.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/main-window.png}
if [ ! -f build/build.ninja ]; then
    cmake -S . -B build -G Ninja -DWITH_BENCHMARKS=OFF >/dev/null
fi
cmake --build build --target render_main_window >/dev/null
mkdir -p "$(dirname "$out")"
# A settings folder of its own, so that a render never touches the user's settings.
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
XDG_CONFIG_HOME=$config QT_QPA_PLATFORM=offscreen ./build/render_main_window "$out" 2>/dev/null
echo "wrote $out"
