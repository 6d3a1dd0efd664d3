#!/usr/bin/env bash
# Installs what is missing, builds FTP Torvex and starts the desktop program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display found: start ./build/app/torvex from a desktop session, or under Xvfb: xvfb-run ./build/app/torvex" >&2
    echo "The built-in server runs headless: ./build/app/torvex-server --port 2121 --root DIR" >&2
    exit 0
fi
exec ./build/app/torvex
