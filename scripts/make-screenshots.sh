#!/usr/bin/env bash
# Remakes docs/screenshots/<Language>.png: the main window, 1202 x 739, in each of the nine
# languages, drawn offscreen. Look at them after changing a translation: a cut text is a bug.
# The Chinese, Japanese and Korean texts need a CJK font (fonts-noto-cjk).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build --target tst_gui_languages -j2
mkdir -p docs/screenshots
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
QT_QPA_PLATFORM=offscreen LANGUAGE=en XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
    TORVEX_SCREENSHOT_DIR="$PWD/docs/screenshots" \
    timeout 120 build/tests/tst_gui_languages screenshots
ls docs/screenshots
