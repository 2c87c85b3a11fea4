#!/usr/bin/env bash
# The probe itself, on a window of its own: lookup by title, control texts, enabled
# state, list box lines, a button click and WM_CLOSE.
source "$(dirname "$0")/lib.sh"
title="odrprobe e2e window"

start "$PROBE" window "$title" 30000
probe wait "$title" 10000
check "the probe finds a window by its exact title" 0 $?
check "no window matches a longer title" 0 "$(probe count "$title!")"
check "text of control 1001" "Probe text" "$(probe text "$title" 1001)"
check "button 1 is enabled" 1 "$(probe enabled "$title" 1)"
check "button 2 is disabled" 0 "$(probe enabled "$title" 2)"
check "list box lines" $'first line\nsecond line' "$(probe listbox "$title" 1002)"

start "$PROBE" window "$title" 30000
probe wait "$title" 10000 && sleep 0.3
check "two windows of the same title are counted" 2 "$(probe count "$title")"
probe click "$title" 1
probe close "$title"
probe gone "$title" 5000
check "a click on Close and WM_CLOSE end both windows" 0 $?
