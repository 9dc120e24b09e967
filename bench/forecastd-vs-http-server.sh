#!/usr/bin/env bash
# forecastd answering cached feed requests, beside python3 -m http.server serving the same
# feed as a static file, as a reference point: 10,000 requests with 50 in flight on
# loopback (build/bin/http-load), median and p99 latency and requests per second.
#
# usage: bench/forecastd-vs-http-server.sh [BUILD_DIR] [REQUESTS] [IN_FLIGHT]
set -euo pipefail
build=${1:-build}
requests=${2:-10000}
in_flight=${3:-50}
program=$build/program
state=$(mktemp -d)
trap 'kill ${pids[@]} 2>/dev/null || true; rm -rf "$state"' EXIT
pids=()

"$program/forecastd" --offline "$program/forecast-samples" --listen 127.0.0.1:0 >"$state/forecastd.out" &
pids+=($!)
for _ in $(seq 50); do [ -s "$state/forecastd.out" ] && break; sleep 0.1; done
port=$(sed -n 's/.*listening on 127.0.0.1:\([0-9]*\).*/\1/p' "$state/forecastd.out")
target='/forecastrss?p=02950159&u=c'
# The first request fills the cache; the static file is the same feed.
curl -fsS "http://127.0.0.1:$port$target" -o "$state/feed.xml"
echo "feed: $(wc -c <"$state/feed.xml") bytes; $(nproc) cores; $(uname -r)"

echo -n "forecastd (cached):         "
"$build/bin/http-load" 127.0.0.1 "$port" "$target" "$requests" "$in_flight"

static_port=$((port + 1))
(cd "$state" && exec python3 -m http.server "$static_port" --bind 127.0.0.1 >/dev/null 2>&1) &
pids+=($!)
for _ in $(seq 50); do curl -fsS -o /dev/null "http://127.0.0.1:$static_port/feed.xml" 2>/dev/null && break; sleep 0.1; done
echo -n "python3 -m http.server:     "
"$build/bin/http-load" 127.0.0.1 "$static_port" /feed.xml "$requests" "$in_flight"
