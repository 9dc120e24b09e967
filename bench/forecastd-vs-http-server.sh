#!/usr/bin/env bash
# forecastd answering cached feed requests, beside lighttpd serving the same feed body as
# a static file, as a reference point: 10,000 requests with 50 in flight on loopback
# (build/bin/http-load), median and p99 latency and requests per second. Both servers
# keep connections alive, so the figures compare answering, not connecting.
#
# lighttpd is the Debian package of that name; the benchmark installs nothing itself:
#   sudo apt-get install --no-install-recommends lighttpd
# (the package also enables a system web server on port 80: `sudo systemctl disable
# --now lighttpd` when it is not wanted; this script starts its own on loopback).
#
# usage: bench/forecastd-vs-http-server.sh [BUILD_DIR] [REQUESTS] [IN_FLIGHT]
set -euo pipefail
build=${1:-build}
requests=${2:-10000}
in_flight=${3:-50}
program=$build/program
lighttpd=$(command -v lighttpd || echo /usr/sbin/lighttpd)
if [ ! -x "$lighttpd" ]; then
  echo "lighttpd is missing: sudo apt-get install --no-install-recommends lighttpd" >&2
  exit 1
fi
state=$(mktemp -d)
trap 'kill ${pids[@]} 2>/dev/null || true; rm -rf "$state"' EXIT
pids=()

"$program/forecastd" --offline "$program/forecast-samples" --listen 127.0.0.1:0 >"$state/forecastd.out" &
pids+=($!)
for _ in $(seq 50); do [ -s "$state/forecastd.out" ] && break; sleep 0.1; done
port=$(sed -n 's/.*listening on 127.0.0.1:\([0-9]*\).*/\1/p' "$state/forecastd.out")
target='/forecastrss?p=02950159&u=c'
# The first request fills the cache; the static file is the same feed body.
mkdir "$state/www"
curl -fsS "http://127.0.0.1:$port$target" -o "$state/www/feed.xml"
echo "feed: $(wc -c <"$state/www/feed.xml") bytes; $(nproc) cores; $(uname -r); $("$lighttpd" -v | head -1)"

echo -n "forecastd (cached):         "
"$build/bin/http-load" 127.0.0.1 "$port" "$target" "$requests" "$in_flight"

# A free loopback port for lighttpd: the kernel picks one, which is closed again at once.
static_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >"$state/lighttpd.conf" <<CONF
server.document-root = "$state/www"
server.bind = "127.0.0.1"
server.port = $static_port
server.errorlog = "$state/lighttpd.log"
server.max-connections = 1024
mimetype.assign = (".xml" => "text/xml; charset=utf-8")
CONF
"$lighttpd" -D -f "$state/lighttpd.conf" &
pids+=($!)
for _ in $(seq 50); do curl -fsS -o /dev/null "http://127.0.0.1:$static_port/feed.xml" 2>/dev/null && break; sleep 0.1; done
cmp -s "$state/www/feed.xml" <(curl -fsS "http://127.0.0.1:$static_port/feed.xml") || { echo "lighttpd serves another body" >&2; exit 1; }
echo -n "lighttpd (static file):     "
"$build/bin/http-load" 127.0.0.1 "$static_port" /feed.xml "$requests" "$in_flight"
