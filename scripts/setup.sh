#!/usr/bin/env bash
# Installs what the build and the tests need (only what is missing, so a second run is quick),
# then configures and builds into build/.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-qpa-plugins libgl-dev libfontconfig-dev fonts-dejavu-core
    googletest libgtest-dev libbenchmark-dev
    xvfb xauth xdotool x11-utils x11-xserver-utils x11-apps openbox imagemagick libx11-dev libxcb1-dev libxtst-dev python3
    strace socat clang libclang-rt-14-dev
)
missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
# Nothing missing: no apt-get, no root, no network.
if ((${#missing[@]} > 0)); then
    if ((EUID != 0)); then
        echo "missing packages: ${missing[*]}" >&2
        echo "install them with: sudo apt-get install --no-install-recommends ${missing[*]}" >&2
        exit 1
    fi
    echo "installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build_dir=${ZQ8_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
