#!/usr/bin/env bash
# Figures (not timed tests): the shipped 32-bit programs' sizes against their goals,
# odrstat under Wine on the simulated adapter, the sizes of the .exe files of each Windows
# build, and the native benchmark programs of bench/.
#   scripts/bench.sh NATIVE_BENCH_BUILD WINDOWS_BUILD...
# ODR_BENCH_WIN32 names the build of the 32-bit programs sized (default build/win32).
# ODR_BENCH_SECONDS sets the polling span measured (default 60); ODR_BENCH_SCENARIO a
# scenario file for odrstat (e.g. one where no master is heard).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
INFO_TITLE="Ondrel Status Monitor Information"

if [[ ${1:-} != --inside ]]; then
    bench=${1:?usage: bench.sh NATIVE_BENCH_BUILD WINDOWS_BUILD...}
    shift
    win32=${ODR_BENCH_WIN32:-$root/build/win32}
    bash "$root/scripts/sizes.sh" "$win32"
    # Where their bytes go, from a link map of each (python3, when the host has it).
    if command -v python3 >/dev/null && [[ -d $win32/CMakeFiles ]]; then
        python3 "$root/scripts/linkmap.py" "$win32" || true
    fi
    for build in "$@"; do
        build=$(cd "$build" && pwd)
        name=$(basename "$build")
        echo "== sizes of the programs ($name)"
        for exe in "$build"/*.exe; do
            [[ -f $exe ]] || continue
            printf '%-12s %8d bytes (%d KB)\n' "$(basename "$exe")" "$(stat -c %s "$exe")" \
                $(( ($(stat -c %s "$exe") + 1023) / 1024 ))
        done
        if [[ -f $build/odrstat.exe ]]; then
            # Headless, so that nothing on the user's screen takes part.
            echo "== odrstat ($name)"
            (unset DISPLAY; ODR_SEED_ADAPTER=1 bash "$root/scripts/winesession.sh" "$build" -- \
                bash "$0" --inside "$build")
        else
            echo "== odrstat.exe is not built in $name: no monitor figures"
        fi
        # Other programs' figure scripts (odrstat's own are measured above).
        for script in "$root"/bench/*_figures.sh; do
            [[ -f $script ]] || continue
            echo "== $(basename "$script") ($name)"
            bash "$script" "$build"
        done
        if [[ -f $build/bench/bench_settings_wine.exe ]]; then
            echo "== LoadSettings under Wine (20,000 keys in the prefix's registry, $name)"
            (unset DISPLAY; bash "$root/scripts/winesession.sh" "$build" -- \
                wine "$build/bench/bench_settings_wine.exe" 20000)
        fi
    done
    if [[ $(bash "$root/scripts/host32.sh") != yes ]]; then
        echo "== SKIPPED the 32-bit Wine figures: 32-bit Wine cannot run here"
    fi
    echo "== native benchmarks ($bench/bench)"
    ran=0
    for program in "$bench"/bench/bench_*; do
        [[ -x $program && -f $program ]] || continue
        echo "-- $(basename "$program")"
        "$program"
        ran=1
    done
    ((ran)) || echo "(none: bench/ has no programs yet)"
    exit 0
fi

build=$2
seconds=${ODR_BENCH_SECONDS:-60}
source "$root/scripts/probe_lib.sh"
ticks=$(getconf CLK_TCK)

scenario=${ODR_BENCH_SCENARIO:+:$(winepath -w "$ODR_BENCH_SCENARIO")}
wine "$build/odrstat.exe" "/simulate$scenario" </dev/null >/dev/null 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true; wait $pid 2>/dev/null || true' EXIT
probe wait "$INFO_TITLE" 20000 >/dev/null || { echo "odrstat did not start" >&2; exit 1; }
sleep 3  # past start-up and the first polls
# This prefix's wineserver: it works in /tmp/.wine-UID/server-DEV-INODE of the prefix.
server_dir=$(stat -c '%d %i' "$WINEPREFIX" | awk '{ printf "server-%x-%x", $1, $2 }')
server=""
for p in $(pgrep wineserver || true); do
    [[ $(readlink "/proc/$p/cwd" 2>/dev/null) == */$server_dir ]] && server=$p
done

echo "== odrstat /simulate$scenario polling for $seconds s (unix pid $pid)"
start_ticks=$(cpu_ticks "$pid")
start_server=0
if [[ -n $server && -r /proc/$server/stat ]]; then start_server=$(cpu_ticks "$server"); fi
start_ns=$(date +%s%N)
sleep "$seconds"
end_ticks=$(cpu_ticks "$pid")
end_server=0
if [[ -n $server && -r /proc/$server/stat ]]; then end_server=$(cpu_ticks "$server"); fi
elapsed_ms=$(( ($(date +%s%N) - start_ns) / 1000000 ))

awk -v t=$((end_ticks - start_ticks)) -v hz="$ticks" -v ms="$elapsed_ms" 'BEGIN {
    printf "odrstat CPU time:     %.2f s in %.1f s = %.3f %% of one core\n",
        t / hz, ms / 1000, 100 * (t / hz) / (ms / 1000) }'
if [[ -n $server ]]; then
    awk -v t=$((end_server - start_server)) -v hz="$ticks" -v ms="$elapsed_ms" 'BEGIN {
        printf "wineserver CPU time:  %.2f s (%.3f %% of one core; shared by the prefix)\n",
            t / hz, 100 * (t / hz) / (ms / 1000) }'
fi
echo "odrstat memory (Windows view):  $(probe mem "$INFO_TITLE")"
awk '/^VmHWM|^VmRSS/ { printf "odrstat memory (Linux view):    %s %s %s\n", $1, $2, $3 }' \
    "/proc/$pid/status"
if [[ -r /proc/$pid/smaps_rollup ]]; then
    awk '/^Private_(Clean|Dirty)/ { kb += $2 } END {
        printf "odrstat memory (Linux view):    private %d kB (with Wine'\''s own DLLs)\n", kb }' \
        "/proc/$pid/smaps_rollup"
fi
probe click "$INFO_TITLE" 1 >/dev/null || true
