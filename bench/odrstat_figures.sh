#!/usr/bin/env bash
# odrstat's figures under Wine on the simulated adapter, printed:
#  - CPU time of the odrstat process while it polls (default 60 s), and the wineserver's;
#  - its peak resident and private memory as the Linux side sees the Wine process;
#  - the size of odrstat.exe.
# Usage: bench/odrstat_figures.sh BUILD_DIR [SECONDS]   (BUILD_DIR: a Windows build)
set -euo pipefail
build=$(cd "${1:?usage: odrstat_figures.sh BUILD_DIR [SECONDS]}" && pwd)
seconds=${2:-60}
source_dir=$(cd "$(dirname "$0")/.." && pwd)

exec "$source_dir/scripts/winesession.sh" "$build/wineprefix" "$build/tools/odrprobe.exe" -- \
    bash -c '
set -euo pipefail
build=$1 seconds=$2
probe() { wine "$build/tools/odrprobe.exe" "$@" | tr -d "\r"; }
title="Ondrel Status Monitor Information"

wine "$build/odrstat.exe" /simulate </dev/null >/dev/null 2>&1 &
probe wait "$title" 15000 >/dev/null
probe tray 15000 >/dev/null
pid=$(pgrep -n -f "odrstat.exe /simulate")
server=$(pgrep -n wineserver || true)
ticks() { awk "{print \$14 + \$15}" "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks "$pid")
server_before=$([[ -n $server ]] && ticks "$server" || echo 0)
sleep "$seconds"
after=$(ticks "$pid")
server_after=$([[ -n $server ]] && ticks "$server" || echo 0)
echo "tooltip after ${seconds} s: $(probe tray 1000)"
awk -v t=$((after - before)) -v w=$((server_after - server_before)) -v hz="$hz" \
    -v s="$seconds" "BEGIN {
    printf \"odrstat polling: %.0f ms CPU in %d s (%.3f %% of one core); wineserver %.0f ms\\n\",
           1000 * t / hz, s, 100 * t / hz / s, 1000 * w / hz }"
awk "/^VmHWM|^RssAnon/ {printf \"odrstat %s %s %s\\n\", \$1, \$2, \$3}" "/proc/$pid/status"
awk "/^Private_Dirty|^Private_Clean/ {sum += \$2} END {printf \"odrstat private pages: %d kB\\n\", sum}" \
    "/proc/$pid/smaps_rollup"
echo "odrstat.exe: $(stat -c %s "$build/odrstat.exe") bytes"
probe click "$title" 1 >/dev/null
probe gone "$title" 10000 >/dev/null
' figures "$build" "$seconds"
