#!/usr/bin/env bash
# Throughput of one forwarded TCP stream on 127.0.0.1: a direct connection, Ferrolink and socat,
# measured in the same run with iperf3 (both directions), each figure the median of the
# repetitions. Ferrolink is the real main window, started offscreen by bench/forward_driver.
#   bench/run.sh [--quick]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.inc.sh

reps=3; secs=5
[ "${1:-}" = "--quick" ] && { reps=1; secs=2; }

install_missing "${BUILD_PACKAGES[@]}" iperf3 socat python3
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target ferrolink_bench_driver >/dev/null

pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; }
trap cleanup EXIT

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }
wait_port() { for _ in $(seq 100); do (exec 3<>/dev/tcp/127.0.0.1/"$1") 2>/dev/null && return 0; sleep 0.05; done; return 1; }

server_port=$(free_port)
iperf3 -s -p "$server_port" >/dev/null 2>&1 &
pids+=($!)
wait_port "$server_port"

# Forwarders, each on its own port, all towards the iperf3 server.
ferro_port=$(free_port)
QT_QPA_PLATFORM=offscreen build/ferrolink_bench_driver "$ferro_port" "$server_port" >/dev/null &
pids+=($!)
socat_port=$(free_port)
socat TCP-LISTEN:"$socat_port",bind=127.0.0.1,reuseaddr,fork TCP:127.0.0.1:"$server_port" &
pids+=($!)
wait_port "$ferro_port"; wait_port "$socat_port"

# Gbit/s of one iperf3 run through a port; $2 is -R for the reverse direction.
gbps() {
    timeout $((secs + 20)) iperf3 -c 127.0.0.1 -p "$1" -t "$secs" ${2:-} -J |
        python3 -c 'import json,sys; print("%.2f" % (json.load(sys.stdin)["end"]["sum_received"]["bits_per_second"]/1e9))'
}
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

declare -A result
for row in direct:"$server_port" ferrolink:"$ferro_port" socat:"$socat_port"; do
    name=${row%%:*}; port=${row#*:}
    for dir in up down; do
        flag=; [ $dir = down ] && flag=-R
        vals=()
        for _ in $(seq "$reps"); do vals+=("$(gbps "$port" $flag)"); done
        result[$name.$dir]=$(median "${vals[@]}")
    done
done

printf '\nSingle-stream throughput on 127.0.0.1, Gbit/s (median of %d x %ds, iperf3)\n' "$reps" "$secs"
printf '%-10s %12s %12s\n' "" "client->target" "target->client"
for name in direct ferrolink socat; do
    printf '%-10s %12s %12s\n' "$name" "${result[$name.up]}" "${result[$name.down]}"
done
ratio() { python3 -c "print('%.2f' % ($1/$2))"; }
printf 'ferrolink/socat   %12s %12s\n' "$(ratio "${result[ferrolink.up]}" "${result[socat.up]}")" "$(ratio "${result[ferrolink.down]}" "${result[socat.down]}")"
printf 'ferrolink/direct  %12s %12s\n' "$(ratio "${result[ferrolink.up]}" "${result[direct.up]}")" "$(ratio "${result[ferrolink.down]}" "${result[direct.down]}")"
