#!/usr/bin/env bash
# Re-makes docs/screenshot.png: starts Ferrolink under a private Xvfb display, waits for its
# window, takes the picture with ImageMagick, and ends both processes.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.inc.sh
install_missing xvfb imagemagick x11-utils "${BUILD_PACKAGES[@]}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target ferrolink >/dev/null

display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 900x700x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
app_pid=
cleanup() { [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null; kill "$xvfb_pid" 2>/dev/null; }
trap cleanup EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

build/ferrolink &
app_pid=$!
window=
for _ in $(seq 100); do
    window=$(xwininfo -root -tree 2>/dev/null | awk '/"Ferrolink"/ {print $1; exit}')
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "Ferrolink's window did not appear" >&2; exit 1; }
sleep 0.5  # let the first paint finish
import -window "$window" docs/screenshot.png
echo "wrote docs/screenshot.png"
