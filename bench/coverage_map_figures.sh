#!/usr/bin/env bash
# The Coverage Map's figures under Wine, on the simulated office site, printed:
#  - CPU time of odrcfg over IDLE_SECONDS (default 30) with the map open on its plan;
#  - how long a passive and an active point take, and how fast the window answers while one
#    is measured (the longest and the mean of the probe's reads of its status text).
# Usage: bench/coverage_map_figures.sh BUILD_DIR [IDLE_SECONDS]   (BUILD_DIR: a Windows build)
set -euo pipefail
build=$(cd "${1:?usage: coverage_map_figures.sh BUILD_DIR [IDLE_SECONDS]}" && pwd)
idle=${2:-30}
source_dir=$(cd "$(dirname "$0")/.." && pwd)

exec "$source_dir/scripts/winesession.sh" "$build" -- \
    bash -c '
set -euo pipefail
build=$1 idle=$2 source_dir=$3
source "$source_dir/scripts/probe_lib.sh"
title="Ondrel Site Survey & Configuration Tool"
map="Coverage Map"
now_ms() { date +%s%3N; }

office=$(winepath -w "$source_dir/scenarios/office.ini" 2>/dev/null)
wine "$build/odrcfg.exe" "/simulate:$office" </dev/null >/dev/null 2>&1 &
pid=$!
trap "kill $pid 2>/dev/null || true" EXIT
probe wait "$title" 15000 >/dev/null
wait_text "$title" 1002 "Synchronized to" || true
probe click "$title" 1001 >/dev/null
probe wait "Site Survey" 10000 >/dev/null
probe click "Site Survey" 1170 >/dev/null
probe wait "$map" 10000 >/dev/null
sleep 2
cpu_over "$pid" "$idle" "odrcfg with the map open on its plan, idle"

# Measures at picture point $2 % across, $3 % down: how long the point takes, and how soon
# the window answers meanwhile.
point() {  # point LABEL X% Y%
    local w h start answers
    read -r _ _ w h < <(probe rect "$map" 1200)
    start=$(now_ms)
    probe clickat "$map" 1200 $((w * $2 / 100)) $((h * $3 / 100)) >/dev/null
    read -r count mean longest < <(probe answers "$map" 5000)
    for _ in $(seq 1 200); do
        [[ $(probe text "$map" 1216) == Point* ]] && break
        sleep 0.1
    done
    echo "coverage map $1 point: $(($(now_ms) - start)) ms; over its first 5 s the window answered $count messages, mean $mean ms, longest $longest ms"
}
point passive 45 20
probe click "$map" 1211 >/dev/null  # Active
point active 40 25
' figures "$build" "$idle" "$source_dir"
