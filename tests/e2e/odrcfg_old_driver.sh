#!/usr/bin/env bash
# A driver that reports version 1.0 is refused with the Error window; closing it ends
# odrcfg with status 0.
source "$(dirname "$0")/odrcfg_lib.sh"

scenario=$(scenario_file old-driver $'[adapter]\ndriver_version = 1.0')
wine "$ODRCFG" "/simulate:$scenario" </dev/null >/dev/null 2>&1 &
pid=$!
started+=($pid)
probe wait "Error" 15000
check "the Error window opens" 0 $?
check "its heading" "Driver Initialization" "$(probe text "Error" 1017)"
check "its message" "Incorrect Driver Version 1.0
The Site Survey and Configuration Tool will only run with Version 1.2 or later." \
    "$(probe text "Error" 1018)"
probe click "Error" 1 >/dev/null
wait "$pid"
check "odrcfg ends with status 0" 0 $?
check "no main window is left" 0 "$(probe count "$MAIN_TITLE")"
