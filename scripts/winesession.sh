#!/usr/bin/env bash
# Runs a command inside a Wine session of a Windows build's own prefix:
#   scripts/winesession.sh BUILD -- COMMAND [ARGS...]
# BUILD/wine.env (written by CMake) names the prefix and its architecture: win64 for the
# x86_64 build, win32 for the i686 one. The session
# - calls the loader of that architecture directly (/usr/lib/wine/wine64 or
#   /usr/lib/wine/wine, WINELOADER set) and puts scripts/winebin first on PATH, so `wine`,
#   `winepath`, `reg`, ... go through it and never through the distribution's wrappers;
# - creates the prefix on first use with "Managed"=N for the X11 driver, and gives it Wine's
#   own TrueType fonts;
# - starts Xvfb when there is no DISPLAY, and stops it afterwards;
# - keeps a persistent wineserver and one idle Windows process (BUILD/probe/odrprobe.exe
#   idle) for the whole command, so each test does not pay for Wine's helper processes;
# - stops everything it started on the way out, also on failure.
# ODR_LANE=NAME runs in a copy of the prefix of its own (BUILD/wineprefix-NAME), so that
# sessions of one build can run side by side (scripts/lanes.sh);
# ODR_SEED_ADAPTER=1 also gives the prefix the adapter's Windows NT settings key;
# ODR_WINE_VERSION=win95|win98|nt40|winxp|... sets the Windows version the programs see
# (unset: Wine's default).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: winesession.sh BUILD -- COMMAND...}
shift
[[ ${1:-} == "--" ]] && shift
[[ $# -gt 0 ]] || { echo "winesession: no command" >&2; exit 2; }
build=$(cd "$build" && pwd)
[[ -f $build/wine.env ]] || { echo "winesession: $build/wine.env is missing (configure the build first)" >&2; exit 2; }
# shellcheck source=/dev/null
source "$build/wine.env"
arch=${ODR_WINEARCH:?}
prefix=${ODR_WINEPREFIX:?}
probe=$build/probe/odrprobe.exe

if [[ $arch == win64 ]]; then
    loader=/usr/lib/wine/wine64
    server=/usr/lib/wine/wineserver64
else
    if [[ $(bash "$root/scripts/host32.sh") != yes ]]; then
        echo "winesession: 32-bit Wine cannot run here (the host cannot run 32-bit programs or wine32 is not installed)" >&2
        exit 3
    fi
    loader=/usr/lib/wine/wine
    server=/usr/lib/wine/wineserver32
fi
[[ -x $server ]] || server=$(ls /usr/lib/wine/wineserver* 2>/dev/null | head -n 1)
[[ -x $loader ]] || { echo "winesession: $loader is missing (run make setup)" >&2; exit 2; }
export WINELOADER=$loader WINESERVER=$server PATH=$root/scripts/winebin:$PATH
mkdir -p "$(dirname "$prefix")"
prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")
# A lane (ODR_LANE=NAME, scripts/lanes.sh) runs in a copy of the build's prefix of its own.
base=$prefix
[[ -n ${ODR_LANE:-} ]] && prefix=$base-$ODR_LANE
export WINEPREFIX=$prefix WINEARCH=$arch WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
log=$prefix.log
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
    # Xvfb takes a free display number itself and writes it once it is ready: sessions
    # started side by side never share one.
    displayfd=$prefix.display
    : >"$displayfd"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$displayfd" >>"$log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 100); do
        [[ -s $displayfd ]] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    n=$(tr -dc 0-9 <"$displayfd")
    [[ -n $n ]] && kill -0 "$xvfb_pid" 2>/dev/null ||
        { echo "winesession: could not start Xvfb" >&2; exit 1; }
    export DISPLAY=:$n
    echo "winesession: no DISPLAY, started Xvfb on :$n"
fi

# A prefix of another architecture (or a half-made one) is made again.
if [[ -f $prefix/system.reg ]] && ! grep -q "^#arch=$arch" "$prefix/system.reg"; then
    echo "winesession: $prefix is not a $arch prefix; making it again"
    rm -rf "$prefix"
fi
if [[ ! -f $prefix/.odr-ready ]]; then
    rm -rf "$prefix"
    if [[ $prefix != "$base" && -f $base/.odr-ready ]]; then
        echo "winesession: copying $base for lane $ODR_LANE"
        cp -a "$base" "$prefix"
    else
        echo "winesession: creating the $arch Wine prefix $prefix (10-20 s)"
        wineboot -i >>"$log" 2>&1
        # Without a window manager hiding a window stalls; Wine then draws captions itself.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$log" 2>&1
        wineserver -w
        touch "$prefix/.odr-ready"
    fi
fi
export ODR_SESSION_PREFIX=$prefix
# Wine's own TrueType fonts (the caption buttons' Marlett, Tahoma for "MS Shell Dlg") are
# found only in the prefix's Fonts folder here: without them captions show letters.
fonts=$prefix/drive_c/windows/Fonts
if [[ -d /usr/share/wine/fonts && ! -f $fonts/marlett.ttf ]]; then
    mkdir -p "$fonts"
    cp -n /usr/share/wine/fonts/*.ttf "$fonts/" 2>>"$log" || true
fi

echo "winesession: starting $arch wineserver for $prefix (${ODR_WINE_VERSION:-default Windows version})"
wineserver -p >>"$log" 2>&1
server_started=1
# The Windows version the programs see.
if [[ -n ${ODR_WINE_VERSION:-} ]]; then
    wine reg add 'HKCU\Software\Wine' /v Version /d "$ODR_WINE_VERSION" /f >>"$log" 2>&1
else
    wine reg delete 'HKCU\Software\Wine' /v Version /f >>"$log" 2>&1 || true
fi
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
    reg=$prefix-adapter-nt.reg
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
