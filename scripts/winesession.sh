#!/usr/bin/env bash
# Runs a command inside a Wine session of the build's own prefix:
#   scripts/winesession.sh PREFIX [PROBE_EXE] -- COMMAND [ARGS...]
# - WINEPREFIX=PREFIX (32-bit), created on first use with "Managed"=N for the X11 driver;
# - Xvfb when there is no DISPLAY, stopped afterwards;
# - a persistent wineserver and one idle Windows process (PROBE_EXE idle) for the whole
#   command, so each test does not pay for Wine's helper processes starting and stopping;
# - everything started here is stopped on the way out, also on failure.
# With ODR_SEED_ADAPTER=1 the prefix also gets the adapter's Windows NT settings key.
set -euo pipefail

prefix=${1:?usage: winesession.sh PREFIX [PROBE_EXE] -- COMMAND...}
shift
probe=""
if [[ ${1:-} != "--" ]]; then
    probe=${1:-}
    shift || true
fi
[[ ${1:-} == "--" ]] && shift
[[ $# -gt 0 ]] || { echo "winesession: no command" >&2; exit 2; }

mkdir -p "$(dirname "$prefix")"
prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
log=$(dirname "$prefix")/winesession.log
: >"$log"

xvfb_pid="" idle_pid="" server_started=""
cleanup() {
    local status=$?
    if [[ -n $idle_pid ]]; then kill "$idle_pid" 2>/dev/null || true; fi
    if [[ -n $server_started ]]; then
        # Ends this prefix's server and with it every Windows process in the prefix.
        wineserver -k >>"$log" 2>&1 || true
        wineserver -w >>"$log" 2>&1 || true
    fi
    if [[ -n $xvfb_pid ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [[ -z ${DISPLAY:-} ]]; then
    # The first free display number; another Xvfb may take it meanwhile, then try the next.
    for n in $(seq 90 140); do
        [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >>"$log" 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 1 100); do
            [[ -e /tmp/.X11-unix/X$n ]] && break
            kill -0 "$xvfb_pid" 2>/dev/null || break
            sleep 0.1
        done
        if kill -0 "$xvfb_pid" 2>/dev/null && [[ -e /tmp/.X11-unix/X$n ]]; then
            export DISPLAY=:$n
            echo "winesession: no DISPLAY, started Xvfb on :$n"
            break
        fi
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=""
    done
    [[ -n ${DISPLAY:-} ]] || { echo "winesession: could not start Xvfb" >&2; exit 1; }
fi

# A prefix of another architecture (or a half-made one) is made again.
if [[ -f $prefix/system.reg ]] && ! grep -q '^#arch=win32' "$prefix/system.reg"; then
    echo "winesession: $prefix is not a 32-bit prefix; making it again"
    rm -rf "$prefix"
fi
if [[ ! -f $prefix/.odr-ready ]]; then
    echo "winesession: creating the Wine prefix $prefix (about 10 s)"
    rm -rf "$prefix"
    wineboot -i >>"$log" 2>&1
    # Without a window manager hiding a window stalls; Wine then draws captions itself.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$log" 2>&1
    wineserver -w
    touch "$prefix/.odr-ready"
fi

echo "winesession: starting wineserver for $prefix"
wineserver -p >>"$log" 2>&1
server_started=1
if [[ -n $probe && -f $probe ]]; then
    wine "$probe" idle </dev/null >>"$log" 2>&1 &
    idle_pid=$!
    # Its window exists once Wine's desktop (explorer) is up; a test's program must not be
    # the one that starts explorer, or CTest waits for explorer's copy of the output.
    wine "$probe" wait "odrprobe idle" 30000 </dev/null >>"$log" 2>&1 ||
        echo "winesession: the idle process did not come up" >&2
fi

if [[ ${ODR_SEED_ADAPTER:-0} == 1 ]]; then
    # The adapter's key in the Windows NT layout, as the driver's installation leaves it.
    reg=$(dirname "$prefix")/adapter-nt.reg
    printf '%s\r\n' 'REGEDIT4' '' \
        '[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\odrwinnt1\Parameters]' \
        '"Master_Name"="MASTER"' \
        '"Station_Type"=dword:00000000' \
        '"Channel"=dword:00000001' \
        '"Subchannel"=dword:00000001' \
        '"Domain"=dword:00000001' \
        '"Mac_Optimize"=dword:00000001' \
        '"Roam_Config"=dword:00000001' \
        '"Inactivity_Sec"=dword:00000006' \
        '"Inactivity_Min"=dword:00000000' \
        '"Peer_to_Peer"=dword:00000001' \
        '"Radio_Mode"=dword:00000003' \
        '"CardType"="ISA"' '' >"$reg"
    echo "winesession: seeding HKLM\\System\\CurrentControlSet\\Services\\odrwinnt1\\Parameters"
    wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" >>"$log" 2>&1
fi

set +e
"$@"
status=$?
set -e
exit "$status"
