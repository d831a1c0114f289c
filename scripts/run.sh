#!/usr/bin/env bash
# Installs what is missing, builds, and starts Ferrolink.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.inc.sh

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "scripts/run.sh: no display (DISPLAY and WAYLAND_DISPLAY are unset); run it under Xvfb: apt-get install xvfb && xvfb-run -a scripts/run.sh" >&2
    exit 1
fi

install_missing "${BUILD_PACKAGES[@]}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target ferrolink
exec build/ferrolink
