#!/usr/bin/env bash
# The probe reads the tooltips of notification-area icons, tells apart the programs that
# added them, and sees an icon go with its owner.
source "$(dirname "$0")/lib.sh"
first="odrprobe tray window 1"
second="odrprobe tray window 2"

start "$PROBE" window "$first" 30000 "Probe tray tip 1"
start "$PROBE" window "$second" 30000 "Probe tray tip 2"
probe wait "$first" 10000 && probe wait "$second" 10000
poll_for_prefix 10000 "Probe tray tip 1" probe tray 0 "$first" >/dev/null
poll_for_prefix 10000 "Probe tray tip 2" probe tray 0 "$second" >/dev/null
check "the first program's tooltip alone" "Probe tray tip 1" "$(probe tray 0 "$first")"
check "the second program's tooltip alone" "Probe tray tip 2" "$(probe tray 0 "$second")"
check "all tooltips" $'Probe tray tip 1\nProbe tray tip 2' "$(probe tray 0 | grep '^Probe tray tip' | sort)"

probe close "$first"
probe gone "$first" 5000
sleep 0.5
check "the tooltip is gone with its icon" "Probe tray tip 2" \
    "$(probe tray 0 | grep '^Probe tray tip')"
probe close "$second"
