# Helpers of odrcfg's end-to-end scripts, on top of lib.sh.
source "$(dirname "$0")/lib.sh"

ODRCFG="$ODR_BUILD_DIR/odrcfg.exe"
MAIN_TITLE="Ondrel Site Survey & Configuration Tool"
STATUS_TEXT=1002

# Prints "ID=0|1" for every button of the main window.
buttons() {
    local id out=""
    for id in 1000 1001 1010 1051 57670 1; do
        out+="$id=$(probe enabled "$MAIN_TITLE" "$id") "
    done
    echo "${out% }"
}

# Waits until the status text holds a line starting with PREFIX; prints that line.
wait_status_line() {  # wait_status_line MS PREFIX
    poll_for_prefix "$1" "$2" probe text "$MAIN_TITLE" "$STATUS_TEXT"
}

# Ends odrcfg with its Exit button (before lib.sh's cleanup stops what is left).
exit_odrcfg() {
    if [[ $(probe count "$MAIN_TITLE" 2>/dev/null) != 0 ]]; then
        probe click "$MAIN_TITLE" 1 >/dev/null 2>&1 || true
        probe gone "$MAIN_TITLE" 10000 >/dev/null 2>&1 || true
    fi
}

# A scenario file in the build folder; prints its Windows path.
scenario_file() {  # scenario_file NAME TEXT
    local path="$ODR_BUILD_DIR/e2e-$1.ini"
    printf '%s\n' "$2" >"$path"
    winepath -w "$path" 2>/dev/null
}
