# Shared helpers of the end-to-end scripts. CTest gives ODR_BUILD_DIR and the Wine
# environment; the session (scripts/winesession.sh) gives DISPLAY and the wineserver.
set -uo pipefail

: "${ODR_BUILD_DIR:?ODR_BUILD_DIR is not set (run through ctest)}"
# Inside a session the session's prefix holds: a lane of tests running beside others has a
# copy of its own. The files a script writes go beside it, so that lanes never share them.
if [[ -n ${ODR_SESSION_PREFIX:-} ]]; then export WINEPREFIX=$ODR_SESSION_PREFIX; fi
ODR_FILES="${WINEPREFIX:-$ODR_BUILD_DIR/wineprefix}-files"
mkdir -p "$ODR_FILES"
# `wine`, `winepath`, `reg` go through the loader CTest names (WINELOADER), never through
# the distribution's wrappers.
PATH="${ODR_SOURCE_DIR:?}/scripts/winebin:$PATH"
if [[ -z ${WINESERVER:-} ]]; then
    WINESERVER=/usr/lib/wine/wineserver64
    [[ ${WINEARCH:-} == win32 && -x /usr/lib/wine/wineserver32 ]] && WINESERVER=/usr/lib/wine/wineserver32
fi
export PATH WINESERVER
PROBE="$ODR_BUILD_DIR/probe/odrprobe.exe"
ODRSTAT="$ODR_BUILD_DIR/odrstat.exe"
INFO_TITLE="Ondrel Status Monitor Information"
TOOL_TITLE="Ondrel Site Survey & Configuration Tool"
TRAY_MESSAGE=1124      # odrstat's notification-area callback message
WM_RBUTTONDOWN=516

passed=0
failed=0
started=()

# Runs the probe; its output without carriage returns.
probe() {
    wine "$PROBE" "$@" | tr -d '\r'
    return "${PIPESTATUS[0]}"
}

# Starts a Windows program in the background and remembers it for the cleanup.
start() {
    wine "$@" </dev/null >/dev/null 2>&1 &
    started+=($!)
}

check() {  # check DESCRIPTION EXPECTED ACTUAL
    if [[ $2 == "$3" ]]; then
        echo "ok:   $1"
        passed=$((passed + 1))
    else
        echo "FAIL: $1"
        echo "      expected: '$2'"
        echo "      actual:   '$3'"
        failed=$((failed + 1))
    fi
}

check_prefix() {  # check_prefix DESCRIPTION PREFIX ACTUAL
    if [[ $3 == "$2"* ]]; then
        echo "ok:   $1"
        passed=$((passed + 1))
    else
        echo "FAIL: $1"
        echo "      expected to start with: '$2'"
        echo "      actual:                 '$3'"
        failed=$((failed + 1))
    fi
}

# Repeats a command until its output starts with PREFIX or MS pass; prints the last
# output line that matched, or the whole last output.
poll_for_prefix() {  # poll_for_prefix MS PREFIX COMMAND...
    local ms=$1 prefix=$2
    shift 2
    local deadline=$((SECONDS * 1000 + ms)) out line
    while :; do
        out=$("$@" 2>/dev/null || true)
        while IFS= read -r line; do
            if [[ $line == "$prefix"* ]]; then
                echo "$line"
                return 0
            fi
        done <<<"$out"
        ((SECONDS * 1000 < deadline)) || break
        sleep 0.2
    done
    echo "$out"
    return 1
}

# Ends odrstat through its own "&Remove" button (which takes its tray icon away), then
# stops whatever this script started that is still running.
finish() {
    local status=0
    if [[ $(probe count "$INFO_TITLE" 2>/dev/null) != 0 ]]; then
        probe click "$INFO_TITLE" 1 >/dev/null 2>&1 || true
        probe gone "$INFO_TITLE" 5000 >/dev/null 2>&1 || true
    fi
    for pid in "${started[@]}"; do
        for _ in $(seq 1 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    echo "$(basename "$0" .sh): $passed passed, $failed failed"
    ((failed == 0)) || status=1
    exit $status
}
trap finish EXIT

# True when the programs see a Windows of the 95 family (the session's ODR_WINE_VERSION).
windows95_family() {
    [[ ${ODR_WINE_VERSION:-} == win95 || ${ODR_WINE_VERSION:-} == win98 || ${ODR_WINE_VERSION:-} == winme ]]
}
