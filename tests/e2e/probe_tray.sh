#!/usr/bin/env bash
# The probe reads the tooltip of a notification-area icon, and sees it go with its owner.
source "$(dirname "$0")/lib.sh"
title="odrprobe tray window"
tip="Probe tray tip 1"

start "$PROBE" window "$title" 30000 "$tip"
probe wait "$title" 10000
tooltip=$(poll_for_prefix 10000 "$tip" probe tray)
check "the icon's tooltip is read from the tray" "$tip" "$tooltip"
probe close "$title"
probe gone "$title" 5000
sleep 0.5
remaining=$(probe tray 0 | grep -c "^$tip" || true)
check "the tooltip is gone with the icon" 0 "$remaining"
