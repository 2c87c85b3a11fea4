#!/usr/bin/env bash
# Starts the programs that are built (odrstat.exe, odrcfg.exe) under Wine on the simulated
# adapter, in the build's own prefix seeded with the adapter's settings key.
#   scripts/run.sh BUILD        (build/win32 or build/win64)
# With a DISPLAY it is interactive and returns when the programs end. Without one (or with
# ODR_RUN_HEADLESS=1) it runs them under Xvfb for ODR_RUN_SECONDS (default 6), prints what
# the monitor shows and saves a screenshot under out/. SCENARIO=FILE plays that scenario
# instead of the built-in site (`make run SCENARIO=scenarios/office.ini`).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
INFO_TITLE="Ondrel Status Monitor Information"
TOOL_TITLE="Ondrel Site Survey & Configuration Tool"

if [[ ${1:-} != --inside ]]; then
    build=$(cd "${1:?usage: run.sh BUILD}" && pwd)
    found=0
    for p in odrstat odrcfg; do [[ -f $build/$p.exe ]] && found=1; done
    if ((found == 0)); then
        echo "run: neither odrstat.exe nor odrcfg.exe is built in $build" >&2
        exit 1
    fi
    mode=headless
    if [[ -n ${DISPLAY:-} && ${ODR_RUN_HEADLESS:-0} != 1 ]]; then mode=interactive; fi
    if [[ $mode == headless ]]; then unset DISPLAY; fi
    if [[ -n ${SCENARIO:-} ]]; then
        [[ -r $SCENARIO ]] || { echo "run: scenario $SCENARIO cannot be read" >&2; exit 1; }
        SCENARIO=$(cd "$(dirname "$SCENARIO")" && pwd)/$(basename "$SCENARIO")
        export SCENARIO
    fi
    ODR_SEED_ADAPTER=1 exec bash "$root/scripts/winesession.sh" "$build" -- \
        bash "$0" --inside "$build" "$mode"
fi

build=$2
mode=$3
source "$root/scripts/probe_lib.sh"

pids=()
stop_programs() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap stop_programs EXIT

simulate=/simulate
[[ -n ${SCENARIO:-} ]] && simulate="/simulate:$(winepath -w "$SCENARIO" 2>/dev/null)"
for p in odrstat odrcfg; do
    if [[ -f $build/$p.exe ]]; then
        echo "run: wine $p.exe $simulate"
        wine "$build/$p.exe" "$simulate" </dev/null >/dev/null 2>&1 &
        pids+=($!)
        # odrcfg started first would turn the monitor's data static from the start.
        [[ $p == odrstat ]] && probe wait "$INFO_TITLE" 15000 >/dev/null
    fi
done

if [[ $mode == interactive ]]; then
    echo "run: running on $DISPLAY; the monitor sits in the notification area (the"
    echo "     \"Wine System Tray\" window): right click shows its information window,"
    echo "     double click starts odrcfg. Close the programs (or Ctrl-C) to end."
    trap - EXIT
    wait
    exit 0
fi

sleep "${ODR_RUN_SECONDS:-6}"
# The picture shows the main window as a newcomer wants to see it: synchronised.
if [[ $(probe count "$TOOL_TITLE") != 0 ]]; then
    wait_text "$TOOL_TITLE" 1002 "Synchronized to" || true
fi
echo
if [[ $(probe count "$INFO_TITLE") != 0 ]]; then
    tips=$(probe tray)
    tool=$(probe count "$TOOL_TITLE")
    if [[ -z $tips ]]; then
        state="no icon (state 4)"
    elif [[ $tool != 0 ]]; then
        state="odrcfg running, icon 133 (state 3)"
    elif [[ $tips == Coverage:* ]]; then
        state="synchronised, icon 129/137 blinking (state 1/0)"
    else
        state="not synchronised, icon 130 (state 2)"
    fi
    echo "odrstat tray state: $state"
    echo "odrstat tooltip:    ${tips:-(none)}"
    # What a right click on the icon does: the information text is filled again and the
    # window comes forward.
    probe post "$INFO_TITLE" 1124 0 516 >/dev/null || true
    sleep 0.5
    echo "odrstat information text:"
    probe text "$INFO_TITLE" 1001 | sed 's/^/    /'
    # Closed again (it hides), so that it covers nothing in the picture.
    probe close "$INFO_TITLE" >/dev/null || true
else
    echo "odrstat: no window titled \"$INFO_TITLE\" (it ended)"
fi
if [[ $(probe count "$TOOL_TITLE") != 0 ]]; then
    echo "odrcfg main window:"
    probe dump "$TOOL_TITLE" | sed 's/^/    /'
fi
sleep 1
mkdir -p "$root/out"
shot="$root/out/run-$(date +%Y%m%d-%H%M%S).png"
if import -window root "$shot" 2>/dev/null; then
    cp "$shot" "$root/out/run-latest.png"
    echo "run: screenshot saved to $shot"
else
    echo "run: screenshot failed" >&2
fi
