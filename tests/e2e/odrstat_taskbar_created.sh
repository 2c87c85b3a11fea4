#!/usr/bin/env bash
# When the notification area restarts and forgets its icons ("TaskbarCreated"), odrstat adds
# its icon again.
source "$(dirname "$0")/lib.sh"
prefix="Coverage: Normal.  Master Name: "

start "$ODRSTAT" /simulate
probe wait "$INFO_TITLE" 15000
check "odrstat opens its window" 0 $?
poll_for_prefix 15000 "$prefix" probe tray 0 "$INFO_TITLE" >/dev/null
# Its icon carries the id of the image it was added with: one of the tray images.
probe untray "$INFO_TITLE" 129 130 133 137
check "the icon is taken away" 0 $?
check "no icon of odrstat is left" "" "$(probe tray 0 "$INFO_TITLE")"
probe post "$INFO_TITLE" TaskbarCreated 0 0
tooltip=$(poll_for_prefix 5000 "$prefix" probe tray 0 "$INFO_TITLE")
check_prefix "the icon is back with its tooltip" "$prefix" "$tooltip"
