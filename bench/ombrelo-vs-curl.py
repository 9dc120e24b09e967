#!/usr/bin/env python3
"""Ombrelo top against curl for the same 5 kB feed on loopback, run side by side.

Each round runs `curl -s URL -o FILE` and `Ombrelo top`, in alternating order, against
one local feed server: once for the wall time from start to exit, and once under GNU
time for the peak resident set size (a child started straight from Python would be
charged Python's own peak). Prints the medians and the ratios Ombrelo / curl.

Usage: bench/ombrelo-vs-curl.py [BUILD_DIR] [ROUNDS]   (defaults: build, 41)
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

KEY = "HKEY_CURRENT_USER\\Software\\NALO\\Weather"


def run(argv, env, state):
    start = time.perf_counter()
    code = subprocess.call(argv, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wall = time.perf_counter() - start
    if code != 0:
        sys.exit(f"{argv[0]} failed with {code}")
    report = os.path.join(state, "rss")
    code = subprocess.call(["/usr/bin/time", "-f", "%M", "-o", report] + argv, env=env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if code != 0:
        sys.exit(f"{argv[0]} failed with {code} under time")
    with open(report) as f:
        rss = int(f.read().split()[-1])
    return wall, rss  # seconds, KiB


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 41
    server_program = os.path.join(build, "tests/daemon/test-feed-server")
    ombrelo = os.path.join(build, "program/Ombrelo")
    nalo_reg = os.path.join(build, "bin/nalo-reg")
    for path in (server_program, ombrelo, nalo_reg):
        if not os.access(path, os.X_OK):
            sys.exit(f"missing {path}: build the project first (with the tests)")
    curl = shutil.which("curl")
    if not curl or not os.access("/usr/bin/time", os.X_OK):
        sys.exit("curl and GNU time (/usr/bin/time) are needed")

    state = tempfile.mkdtemp(prefix="ombrelo-bench-")
    env = dict(os.environ, NALO_REGISTRY=f"{state}/registry.db", NALO_TEMP=state, XDG_RUNTIME_DIR=state)
    folder = os.path.join(state, "program")
    os.makedirs(os.path.join(folder, "downloads"))
    shutil.copy2(ombrelo, folder)

    server = subprocess.Popen([server_program, "5000"], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    port, size = server.stdout.readline().split()
    url = f"http://127.0.0.1:{port}/forecastrss?p=BNCH0001&u=c"
    subprocess.run([nalo_reg, "set", KEY, "Server", "--string", f"127.0.0.1:{port}"], env=env, check=True)
    subprocess.run([nalo_reg, "set", KEY, "Top", "--string", "BNCH0001"], env=env, check=True)

    curl_argv = [curl, "-s", url, "-o", os.path.join(state, "feed.xml")]
    ombrelo_argv = [os.path.join(folder, "Ombrelo"), "top"]
    results = {"curl": [], "ombrelo": []}
    try:
        for i in range(rounds + 1):
            order = [("curl", curl_argv), ("ombrelo", ombrelo_argv)]
            if i % 2:
                order.reverse()
            for name, argv in order:
                sample = run(argv, env, state)
                if i > 0:  # the first round warms the caches and is dropped
                    results[name].append(sample)
    finally:
        server.stdin.close()
        server.wait()

    cache = os.path.join(folder, "downloads", "_BNCH0001.xml")
    if not os.path.getsize(cache):
        sys.exit("Ombrelo wrote no cache file")

    def median(name, index):
        return statistics.median(s[index] for s in results[name])

    print(f"feed: {size} bytes on loopback, {rounds} rounds side by side")
    print(f"{'':10}{'median wall ms':>16}{'peak RSS KiB':>14}")
    for name in ("curl", "ombrelo"):
        print(f"{name:10}{median(name, 0) * 1000:16.2f}{median(name, 1):14.0f}")
    print(f"ratio wall: {median('ombrelo', 0) / median('curl', 0):.2f} (goal at most 1.5)")
    print(f"ratio RSS:  {median('ombrelo', 1) / median('curl', 1):.2f} (goal at most 1.3)")
    shutil.rmtree(state, ignore_errors=True)


if __name__ == "__main__":
    main()
