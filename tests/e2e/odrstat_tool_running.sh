#!/usr/bin/env bash
# With odrcfg's window present odrstat shows that its data is static.
source "$(dirname "$0")/lib.sh"
prefix="Utility is running, the data is static.  "

start "$PROBE" window "$TOOL_TITLE" 60000
probe wait "$TOOL_TITLE" 10000
start "$ODRSTAT" /simulate
probe wait "$INFO_TITLE" 15000
check "odrstat opens its window" 0 $?
# The icon appears on the first poll; a right click on it refills and shows the text.
probe tray 15000 "$INFO_TITLE" >/dev/null
probe post "$INFO_TITLE" $TRAY_MESSAGE 0 $WM_RBUTTONDOWN
text=$(poll_for_prefix 5000 "$prefix" probe text "$INFO_TITLE" 1001)
check_prefix "the information text starts with \"$prefix\"" "$prefix" "$text"
check "the right click shows the information window" 1 "$(probe visible "$INFO_TITLE")"
probe close "$TOOL_TITLE"
