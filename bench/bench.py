#!/usr/bin/env python3
"""Ferrolink against socat, rinetd and HAProxy on 127.0.0.1, in one run.

Rows: a direct connection, Ferrolink (the real main window, offscreen, through
bench/forward_driver), socat, rinetd, HAProxy in mode tcp, and HAProxy with splice.
Columns:
  - single-stream throughput, client to target (iperf3) and target to client
    (bench/blast: iperf3 -R needs the target's close to reach the client, which Ferrolink
    by design does not pass on), and 8 parallel streams (iperf3, client to target), Gbit/s;
  - connection rate: nginx serving a small file, wrk with "Connection: close" and
    50 connections, requests per second;
  - round-trip time of 64-byte messages on one connection (bench/pingpong), median and
    99th percentile, microseconds;
  - peak resident memory of the forwarder process (VmHWM, MiB) and its CPU seconds
    (user + system, its children included) per GB forwarded in the throughput tests.
Every figure is the median of the repetitions. Every process is started here and ended
here by its PID (its process group); every load is bounded in time.
"""
import json
import os
import re
import signal
import socket
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build")
CONF = os.path.join(ROOT, "bench", "conf")
QUICK = "--quick" in sys.argv[1:]
ONLY = next((a.split("=", 1)[1].split(",") for a in sys.argv[1:] if a.startswith("--only=")), None)
REPS = 1 if QUICK else 3
SECS = 2 if QUICK else 5
PINGS = 3000 if QUICK else 20000
CLK_TCK = os.sysconf("SC_CLK_TCK")

RUN = tempfile.mkdtemp(prefix="ferrolink-bench-")
PROCESSES = []


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_port(port, deadline=10.0):
    end = time.time() + deadline
    while time.time() < end:
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=0.5):
                return
        except OSError:
            time.sleep(0.05)
    raise RuntimeError(f"nothing listens on port {port}")


def start(args, **kwargs):
    """Starts a process in a group of its own, so that it ends with every child it forks."""
    proc = subprocess.Popen(args, start_new_session=True, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, **kwargs)
    PROCESSES.append(proc)
    return proc


def stop(proc):
    if proc.poll() is None:
        try:
            os.killpg(proc.pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
        try:
            proc.wait(timeout=5)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()
    if proc in PROCESSES:
        PROCESSES.remove(proc)


def fill(template, name, **values):
    with open(os.path.join(CONF, template)) as f:
        text = f.read()
    for key, value in values.items():
        text = text.replace(f"@{key}@", str(value))
    path = os.path.join(RUN, name)
    with open(path, "w") as f:
        f.write(text)
    return path


def start_forwarder(name, target):
    """Starts forwarder `name` towards 127.0.0.1:target; returns (process, port)."""
    port = free_port()
    if name == "ferrolink":
        proc = start([os.path.join(BUILD, "ferrolink_bench_driver"), str(port), str(target)],
                     env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
    elif name == "socat":
        proc = start(["socat", f"TCP-LISTEN:{port},bind=127.0.0.1,reuseaddr,fork",
                      f"TCP:127.0.0.1:{target}"])
    elif name == "rinetd":
        conf = fill("rinetd.conf", f"rinetd-{port}.conf", LISTEN=port, TARGET=target)
        proc = start(["rinetd", "-f", "-c", conf])
    elif name.startswith("haproxy"):
        splice = "option splice-auto" if name == "haproxy-splice" else ""
        conf = fill("haproxy.cfg", f"haproxy-{port}.cfg", LISTEN=port, TARGET=target, SPLICE=splice)
        proc = start(["haproxy", "-db", "-f", conf])
    else:
        raise ValueError(name)
    wait_port(port)
    return proc, port


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    # utime, stime, cutime, cstime: fields 14 to 17 of stat, 12 to 15 after the name
    return sum(int(x) for x in fields[11:15]) / CLK_TCK


def peak_rss_mib(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024
    return float("nan")


def iperf(port, streams=1):
    """One iperf3 run, client to target: (Gbit/s, bytes)."""
    args = ["iperf3", "-c", "127.0.0.1", "-p", str(port), "-t", str(SECS), "-J"]
    if streams > 1:
        args += ["-P", str(streams)]
    out = subprocess.run(args, capture_output=True, text=True, timeout=SECS + 30).stdout
    received = json.loads(out)["end"]["sum_received"]
    return received["bits_per_second"] / 1e9, received["bytes"]


def blast(port):
    out = subprocess.run([os.path.join(BUILD, "blast"), "sink", str(port), str(SECS)],
                         capture_output=True, text=True, timeout=SECS + 30).stdout.split()
    return float(out[0]), int(out[1])


def wrk(port):
    out = subprocess.run(["wrk", "-t2", "-c50", f"-d{SECS}s", "-H", "Connection: close",
                          f"http://127.0.0.1:{port}/small.html"],
                         capture_output=True, text=True, timeout=SECS + 30).stdout
    match = re.search(r"Requests/sec:\s+([\d.]+)", out)
    return float(match.group(1)) if match else 0.0


def pingpong(port):
    out = subprocess.run([os.path.join(BUILD, "pingpong"), "client", str(port), str(PINGS)],
                         capture_output=True, text=True, timeout=120).stdout.split()
    return float(out[0]), float(out[1])


def median(values):
    return statistics.median(values)


def main():
    # The targets, each for the whole run.
    iperf_port, web_port, echo_port, blast_port = free_port(), free_port(), free_port(), free_port()
    start(["iperf3", "-s", "-p", str(iperf_port)])
    start([os.path.join(BUILD, "blast"), "source", str(blast_port)])
    www = os.path.join(ROOT, "bench", "www")
    nginx_conf = fill("nginx.conf", "nginx.conf", LISTEN=web_port, RUN=RUN, WWW=www)
    start(["nginx", "-c", nginx_conf, "-p", RUN])
    start([os.path.join(BUILD, "pingpong"), "server", str(echo_port)])
    for port in (iperf_port, web_port, echo_port, blast_port):
        wait_port(port)

    rows = ["direct", "ferrolink", "socat", "rinetd", "haproxy", "haproxy-splice"]
    if ONLY:
        rows = [row for row in rows if row in ONLY]
    results = {row: {} for row in rows}
    samples = {row: {} for row in rows}
    cpu = {row: 0.0 for row in rows}
    forwarded = {row: 0 for row in rows}

    def phase(target, measures):
        """Starts every forwarder towards one target, then runs the repetitions in turns, so
        that a change in the machine's load falls on every row alike."""
        running = {row: (None, target) if row == "direct" else start_forwarder(row, target)
                   for row in rows}
        before = {row: cpu_seconds(p.pid) for row, (p, _) in running.items() if p}
        for rep in range(REPS):
            print(f"  repetition {rep + 1} of {REPS}", file=sys.stderr, flush=True)
            for row in rows:
                port = running[row][1]
                for key, measure in measures:
                    value, nbytes = measure(port)
                    samples[row].setdefault(key, []).append(value)
                    forwarded[row] += nbytes
        for row, (p, _) in running.items():
            if p:
                cpu[row] += cpu_seconds(p.pid) - before[row]
                results[row]["rss"] = max(results[row].get("rss", 0.0), peak_rss_mib(p.pid))
                stop(p)

    print("throughput ...", file=sys.stderr, flush=True)
    phase(iperf_port, [("up", lambda port: iperf(port)),
                       ("p8", lambda port: iperf(port, streams=8))])
    phase(blast_port, [("down", blast)])
    for row in rows:
        if row != "direct":
            results[row]["cpu"] = cpu[row] / (forwarded[row] / 1e9)
    print("connection rate ...", file=sys.stderr, flush=True)
    phase(web_port, [("rate", lambda port: (wrk(port), 0))])
    print("round trips ...", file=sys.stderr, flush=True)
    phase(echo_port, [("rtt", lambda port: (pingpong(port), 0))])
    for row in rows:
        r, s = results[row], samples[row]
        for key in ("up", "down", "p8", "rate"):
            r[key] = median(s[key])
        r["rtt50"] = median([x[0] for x in s["rtt"]])
        r["rtt99"] = median([x[1] for x in s["rtt"]])

    columns = [("up", "1 stream c→t Gbit/s", "{:.2f}"), ("down", "1 stream t→c Gbit/s", "{:.2f}"),
               ("p8", "8 streams Gbit/s", "{:.2f}"), ("rate", "conn/s", "{:.0f}"),
               ("rtt50", "RTT median µs", "{:.1f}"), ("rtt99", "RTT p99 µs", "{:.1f}"),
               ("rss", "peak RSS MiB", "{:.1f}"), ("cpu", "CPU s/GB", "{:.2f}")]
    print(f"\nFerrolink and its peers on 127.0.0.1, median of {REPS} x {SECS} s "
          f"({os.cpu_count()} cores, {time.strftime('%Y-%m-%d')})\n")
    print("| | " + " | ".join(c[1] for c in columns) + " |")
    print("|---" * (len(columns) + 1) + "|")
    for row in rows:
        cells = [fmt.format(results[row][key]) if key in results[row] else "–"
                 for key, _, fmt in columns]
        print(f"| {row} | " + " | ".join(cells) + " |")
    for peer in ("socat", "haproxy"):
        if "ferrolink" not in results or peer not in results:
            continue
        cells = []
        for key, _, _ in columns:
            mine, theirs = results["ferrolink"].get(key), results[peer].get(key)
            cells.append(f"{mine / theirs:.2f}" if mine is not None and theirs else "–")
        print(f"| ferrolink / {peer} | " + " | ".join(cells) + " |")
    print("\nHigher is better for throughput and conn/s; lower for RTT, RSS and CPU. "
          "A ratio above 1 means more of that figure than the peer.")


if __name__ == "__main__":
    try:
        main()
    finally:
        for proc in list(PROCESSES):
            stop(proc)
        subprocess.run(["rm", "-rf", RUN])
