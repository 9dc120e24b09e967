#!/bin/bash
# Shots of the detail form on the shipped skins: for each skin, screen size, language and
# unit given, Weather runs headless with two cities against forecastd's sample replies,
# shows the page (with its sample-data line), opens the detail form with Enter, moves the
# hour strip with Right, drags it, and leaves it with Back. Needs a built program folder.
#
#   scripts/demo/detail-shots.sh OUT_DIR [SKIN:WxH:LANGUAGE:UNIT ...]
# UNIT is c or f. Without runs: both skins at 240x320, 480x640 and 320x240 in English
# and German, Celsius and Fahrenheit.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$(mkdir -p "$1" && cd "$1" && pwd)
shift
runs=("$@")
if [ ${#runs[@]} -eq 0 ]; then
  for skin in default night; do
    for size in 240x320 480x640@192 320x240; do
      runs+=("$skin:$size:english:c" "$skin:$size:german:f")
    done
  done
fi
program=$root/build/program
state=$(mktemp -d)
forecastd_pid=""
cleanup() {
  if [ -n "$forecastd_pid" ]; then kill "$forecastd_pid" 2>/dev/null || true; wait "$forecastd_pid" 2>/dev/null || true; fi
  rm -rf "$state"
}
trap cleanup EXIT
export NALO_REGISTRY=$state/registry.db NALO_TEMP=$state XDG_RUNTIME_DIR=$state NALO_HEADLESS=1
# One queue name for every run: the queue outlives the programs, and a name per run would leave one behind each time.
export NALO_QUEUE_SUFFIX=detail-shots
"$root/build/bin/nalo-install" "$program" "$state/Weather" >/dev/null
key='HKEY_CURRENT_USER\Software\NALO\Weather'
"$program/forecastd" --listen 127.0.0.1:0 --offline "$program/forecast-samples" >"$state/forecastd.out" 2>"$state/forecastd.err" &
forecastd_pid=$!
for _ in $(seq 100); do [ -s "$state/forecastd.out" ] && break; sleep 0.1; done
port=$(sed -n 's/.*listening on 127.0.0.1:\([0-9]*\).*/\1/p' "$state/forecastd.out")
"$root/build/bin/nalo-reg" set "$key" Server --string "127.0.0.1:$port"
for run in "${runs[@]}"; do
  IFS=: read -r skin size language unit <<<"$run"
  name="$skin-${size%@*}-$language-$unit"
  printf '<Locations><Item city="Berlin, Berlin, Germany" city_code="02950159"/><Item city="Tokyo, Tokyo, Japan" city_code="01850147"/></Locations>' \
    >"$state/Weather/settings.xml"
  rm -f "$state/Weather/downloads/"_*
  "$root/build/bin/nalo-reg" set "$key" Skin --string "$skin"
  "$root/build/bin/nalo-reg" set "$key" Language --string "$language"
  "$root/build/bin/nalo-reg" set "$key" Degree --dword "$([ "$unit" = c ] && echo 1 || echo 0)"
  read -r w h <<<"$(echo "${size%@*}" | tr x ' ')"
  cat >"$state/script" <<SCRIPT
wait 4
shot $out/$name-page.png
key Enter
wait 0.8
shot $out/$name-detail.png
key Right
key Right
key Right
wait 0.8
shot $out/$name-detail-right.png
drag $((w / 2)) $((h / 5)) $((w / 2 + w / 3)) $((h / 5)) 0.5
wait 0.1
shot $out/$name-detail-drag.png
key Esc
wait 0.6
shot $out/$name-back.png
quit
SCRIPT
  (cd "$state" && NALO_SCREEN=$size NALO_SCRIPT=$state/script "$state/Weather/Weather" >/dev/null 2>"$state/weather.err") \
    || { echo "detail-shots: $name failed:" >&2; cat "$state/weather.err" >&2; exit 1; }
  echo "detail-shots: $name"
done
