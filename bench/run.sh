#!/usr/bin/env bash
# Benchmarks Ferrolink against socat, rinetd and HAProxy on 127.0.0.1, in one run, and prints
# one table (see bench/bench.py for what is measured).
#   bench/run.sh           every figure the median of 3 repetitions (about 8 minutes)
#   bench/run.sh --quick   one short repetition, for a quick look
#   --only=ferrolink,rinetd  limits the rows (for profiling work)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.inc.sh

install_missing "${BUILD_PACKAGES[@]}" python3 iperf3 socat rinetd haproxy nginx-light wrk
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target ferrolink_bench_driver pingpong blast >/dev/null
exec python3 bench/bench.py "$@"
