#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole suite offscreen.
#   scripts/test.sh             normal build, in build/
#   scripts/test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer build, in build-sanitize/
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.inc.sh

sanitize=0
case "${1:-}" in
    "") ;;
    --sanitize) sanitize=1 ;;
    *) echo "usage: scripts/test.sh [--sanitize]" >&2; exit 2 ;;
esac

install_missing "${BUILD_PACKAGES[@]}"

if [ $sanitize -eq 1 ]; then
    dir=build-sanitize
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFERROLINK_SANITIZE=ON
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1
    export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
else
    dir=build
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$dir"

export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure -j2
