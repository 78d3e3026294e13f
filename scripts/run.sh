#!/usr/bin/env bash
# Sets up, builds and starts the panel on the current display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
exec ./build/zq8
