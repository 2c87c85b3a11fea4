#!/usr/bin/env bash
# odrcfg's figures under Wine, printed:
#  - the check run with an adapter that synchronises at once (bench_odrcfg_checkrun);
#  - one Snoop sweep at each sampling rate, its time and CPU (bench_odrcfg_snoop);
#  - CPU time of odrcfg over IDLE_SECONDS (default 60) idling on its main window after its
#    check run, then with the Site Survey open, then with the Directed Link test running,
#    then with the Master List searching all domains;
#  - the Master List: time from the Masters button to the first row, and one Search All cycle
#    (from one step onto domain 0 to the next).
# Usage: bench/odrcfg_figures.sh BUILD_DIR [IDLE_SECONDS]   (BUILD_DIR: a Windows build)
set -euo pipefail
build=$(cd "${1:?usage: odrcfg_figures.sh BUILD_DIR [IDLE_SECONDS]}" && pwd)
idle=${2:-60}
source_dir=$(cd "$(dirname "$0")/.." && pwd)

exec "$source_dir/scripts/winesession.sh" "$build" -- \
    bash -c '
set -euo pipefail
build=$1 idle=$2
source "$3/scripts/probe_lib.sh"
title="Ondrel Site Survey & Configuration Tool"
# Waits up to 20 s for the main window to show its master.
wait_synchronised() { wait_text "$title" 1002 "Synchronized to" || true; }

wine "$build/bench/bench_odrcfg_checkrun.exe" 20
wine "$build/bench/bench_odrcfg_snoop.exe"

wine "$build/odrcfg.exe" /simulate </dev/null >/dev/null 2>&1 &
probe wait "$title" 15000 >/dev/null
wait_synchronised
pid=$(pgrep -n -f "odrcfg.exe /simulate")
# Prints the CPU time odrcfg takes over $idle seconds, as "odrcfg WHAT: ...".
odrcfg_cpu() { cpu_over "$pid" "$idle" "odrcfg $1"; }
odrcfg_cpu "idle on its main window"
probe click "$title" 1001 >/dev/null
probe wait "Site Survey" 10000 >/dev/null
odrcfg_cpu "with the Site Survey open on the default site"
probe click "Site Survey" 1086 >/dev/null
probe wait "Directed Link" 10000 >/dev/null
odrcfg_cpu "with the Directed Link test running Radio-Level pings"
probe click "Directed Link" 1 >/dev/null
probe gone "Directed Link" 10000 >/dev/null
probe click "Site Survey" 1 >/dev/null
probe gone "Site Survey" 10000 >/dev/null
wait_synchronised
now_ms() { date +%s%3N; }
started=$(now_ms)
probe click "$title" 1000 >/dev/null
probe wait "Master List" 10000 >/dev/null
for _ in $(seq 1 200); do
    [[ -n $(probe listview "Master List" 1127) ]] && break
    sleep 0.05
done
echo "odrcfg Master List: first master row $(($(now_ms) - started)) ms after the Masters button"
probe click "Master List" 1128 >/dev/null
# Waits until the domain being searched is (or, with "!", is not) $1.
domain_is() {
    local d
    for _ in $(seq 1 600); do
        d=$(probe text "Master List" 1133)
        if [[ $2 == "!" ]]; then [[ $d != "$1" ]] && return 0; else [[ $d == "$1" ]] && return 0; fi
        sleep 0.05
    done
    return 1
}
domain_is 0 = && first=$(now_ms) &&
    domain_is 0 ! && domain_is 0 = &&
    echo "odrcfg Master List: one Search All cycle over 16 domains in $(($(now_ms) - first)) ms"
odrcfg_cpu "with the Master List searching all domains"
probe click "Master List" 1 >/dev/null
probe gone "Master List" 10000 >/dev/null
wait_synchronised
probe click "$title" 1 >/dev/null
probe gone "$title" 10000 >/dev/null
' figures "$build" "$idle" "$source_dir"
