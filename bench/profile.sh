#!/usr/bin/env bash
# Instruction profile of Ferrolink under one load, with valgrind's callgrind (instruction counts
# are repeatable on these shared machines, where times are not).
#   bench/profile.sh rate    nginx behind Ferrolink, wrk with Connection: close for 10 s
#   bench/profile.sh rtt     64-byte round trips, 20000 of them
#   bench/profile.sh stream  one iperf3 stream for 5 s
# Prints the top of callgrind_annotate; the full profile stays in build/profile-LOAD.out.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.inc.sh
load=${1:-rate}
install_missing "${BUILD_PACKAGES[@]}" valgrind python3 iperf3 nginx-light wrk
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target ferrolink_bench_driver pingpong blast >/dev/null

run=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill -- -"$p" 2>/dev/null || true; done; rm -rf "$run"; }
trap cleanup EXIT
port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }
target=$(port); listen=$(port)

case $load in
rate)
    sed -e "s|@LISTEN@|$target|; s|@RUN@|$run|g; s|@WWW@|$PWD/bench/www|" bench/conf/nginx.conf >"$run/nginx.conf"
    setsid nginx -c "$run/nginx.conf" -p "$run" & pids+=($!) ;;
rtt) setsid build/pingpong server "$target" & pids+=($!) ;;
stream) setsid iperf3 -s -p "$target" >/dev/null & pids+=($!) ;;
*) echo "usage: bench/profile.sh rate|rtt|stream" >&2; exit 2 ;;
esac

out=build/profile-$load.out
QT_QPA_PLATFORM=offscreen setsid valgrind --tool=callgrind --callgrind-out-file="$out" \
    build/ferrolink_bench_driver "$listen" "$target" >"$run/driver.log" 2>"$run/valgrind.log" &
vg=$!; pids+=($vg)
for _ in $(seq 600); do grep -q ready "$run/driver.log" 2>/dev/null && break; sleep 0.2; done
grep -q ready "$run/driver.log" || { echo "the driver did not start" >&2; exit 1; }
callgrind_control -z "$vg" >/dev/null   # count the load only, not the start-up

case $load in
rate) wrk -t1 -c10 -d10s -H "Connection: close" "http://127.0.0.1:$listen/small.html" | grep -E 'Requests/sec|errors' ;;
rtt) build/pingpong client "$listen" 20000 ;;
stream) iperf3 -c 127.0.0.1 -p "$listen" -t 5 | grep -E 'sender|receiver' ;;
esac

callgrind_control -d "$vg" >/dev/null
kill -- -"$vg" 2>/dev/null || true
wait "$vg" 2>/dev/null || true
last=$(ls -t "$out"* | head -1)
callgrind_annotate --inclusive=yes "$last" 2>/dev/null | sed -n '1,80p'
