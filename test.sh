#!/usr/bin/env bash
# Sets up, builds and runs every test. Exit code is the tests'.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps
./scripts/capas
./scripts/build
export QT_QPA_PLATFORM=offscreen
cd build
ctest --output-on-failure -j2 "$@"
