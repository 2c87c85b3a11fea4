#!/usr/bin/env bash
# Without the driver (and without /simulate) odrstat shows its Error window, and ends
# with status 0 once it is closed.
source "$(dirname "$0")/lib.sh"
unset ODR_SIMULATE

wine "$ODRSTAT" </dev/null >/dev/null 2>&1 &
pid=$!
started+=($pid)
probe wait "Error" 15000
check "odrstat shows a window titled \"Error\"" 0 $?
message=$(probe text "Error" 1004)
if windows95_family; then
    expected=$'Unable to access Ondrel Windows 95 driver. Verify that the driver is installed and configured properly.\nAlso verify that the odrAPI protocol has been installed.\n\nThe Ondrel Status Monitor will not be loaded'
    check "the message names the missing Windows 95 driver and its protocol" "$expected" "$message"
else
    expected=$'\n\nUnable to access Ondrel Windows NT driver. Verify that the driver is installed and configured properly.\n\nThe Ondrel Status Monitor will not be loaded'
    check "the message names the missing Windows NT driver" "$expected" "$message"
fi
probe click "Error" 1
timeout 15 tail --pid="$pid" -f /dev/null
wait "$pid"
check "odrstat ends with status 0 after OK" 0 $?
check "no information window is left" 0 "$(probe count "$INFO_TITLE")"
