#!/usr/bin/env bash
# A second odrcfg exits with status 0 and leaves one main window.
source "$(dirname "$0")/odrcfg_lib.sh"

start "$ODRCFG" /simulate
probe wait "$MAIN_TITLE" 15000
check "the first odrcfg opens its main window" 0 $?
timeout 30 wine "$ODRCFG" /simulate </dev/null >/dev/null 2>&1
check "the second odrcfg exits with status 0" 0 $?
check "one window is titled \"$MAIN_TITLE\"" 1 "$(probe count "$MAIN_TITLE")"
exit_odrcfg
