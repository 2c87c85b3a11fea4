#!/usr/bin/env bash
# odrcfg's figures under Wine, printed:
#  - the check run with an adapter that synchronises at once (bench_odrcfg_checkrun);
#  - one Snoop sweep at each sampling rate, its time and CPU (bench_odrcfg_snoop);
#  - CPU time of odrcfg idling on its main window (default 60 s) after its check run.
# Usage: bench/odrcfg_figures.sh BUILD_DIR [IDLE_SECONDS]   (BUILD_DIR: a Windows build)
set -euo pipefail
build=$(cd "${1:?usage: odrcfg_figures.sh BUILD_DIR [IDLE_SECONDS]}" && pwd)
idle=${2:-60}
source_dir=$(cd "$(dirname "$0")/.." && pwd)

exec "$source_dir/scripts/winesession.sh" "$build" -- \
    bash -c '
set -euo pipefail
build=$1 idle=$2
probe() { wine "$build/tools/odrprobe.exe" "$@" | tr -d "\r"; }
title="Ondrel Site Survey & Configuration Tool"

wine "$build/bench/bench_odrcfg_checkrun.exe" 20
wine "$build/bench/bench_odrcfg_snoop.exe"

wine "$build/odrcfg.exe" /simulate </dev/null >/dev/null 2>&1 &
probe wait "$title" 15000 >/dev/null
for _ in $(seq 1 100); do
    probe text "$title" 1002 | grep -q "^Synchronized to" && break
    sleep 0.2
done
pid=$(pgrep -n -f "odrcfg.exe /simulate")
ticks() { awk "{print \$14 + \$15}" "/proc/$pid/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
sleep "$idle"
after=$(ticks)
awk -v t=$((after - before)) -v hz="$hz" -v s="$idle" "BEGIN {
    printf \"odrcfg idle on its main window: %.0f ms CPU in %d s (%.3f %% of one core)\\n\",
           1000 * t / hz, s, 100 * t / hz / s }"
probe click "$title" 1 >/dev/null
probe gone "$title" 10000 >/dev/null
' figures "$build" "$idle"
