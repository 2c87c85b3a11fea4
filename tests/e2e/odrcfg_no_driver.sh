#!/usr/bin/env bash
# Without a driver (and without /simulate) odrcfg says so and offers only Help and Exit.
source "$(dirname "$0")/odrcfg_lib.sh"

env -u ODR_SIMULATE wine "$ODRCFG" </dev/null >/dev/null 2>&1 &
started+=($!)
probe wait "$MAIN_TITLE" 15000
check "odrcfg opens its main window" 0 $?
line=$(wait_status_line 15000 "Unable to access Ondrel driver.")
check_prefix "the status text reports the driver failure" \
    "Unable to access Ondrel driver.  Verify that the driver is installed and configured properly." "$line"
check "only Help and Exit are enabled" "1000=0 1001=0 1010=0 1051=0 57670=1 1=1" "$(buttons)"
exit_odrcfg
check "Exit ends odrcfg" 0 "$(probe count "$MAIN_TITLE")"
