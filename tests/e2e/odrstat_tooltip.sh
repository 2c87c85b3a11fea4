#!/usr/bin/env bash
# odrstat /simulate: the tray icon's tooltip names the default site's strongest master.
source "$(dirname "$0")/lib.sh"
master=${ODR_E2E_MASTER:-LOBBY}
prefix="Coverage: Normal.  Master Name: "

start "$ODRSTAT" /simulate
probe wait "$INFO_TITLE" 15000
check "odrstat opens its window \"$INFO_TITLE\"" 0 $?
tooltip=$(poll_for_prefix 15000 "$prefix" probe tray 0 "$INFO_TITLE")
check_prefix "the tooltip starts with \"$prefix\"" "$prefix" "$tooltip"
check "the tooltip names the strongest master" "$prefix$master" "$tooltip"
# The window is hidden at the first tick; another process may see the change a moment later.
check "the information window is hidden after the first tick" 0 \
    "$(poll_for_prefix 5000 0 probe visible "$INFO_TITLE")"
