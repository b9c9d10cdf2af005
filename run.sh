#!/usr/bin/env bash
# Sets everything up, creates the demo company on first run and starts the program.
# Without a display it runs the headless demo.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps
./scripts/build >/dev/null
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec ./build/mostrador --demo-sin-pantalla "$@"
fi
exec ./build/mostrador "$@"
