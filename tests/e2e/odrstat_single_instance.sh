#!/usr/bin/env bash
# A second odrstat exits with status 0 and leaves the first one's window alone.
source "$(dirname "$0")/lib.sh"

start "$ODRSTAT" /simulate
probe wait "$INFO_TITLE" 15000
check "the first odrstat opens its window" 0 $?
timeout 30 wine "$ODRSTAT" /simulate </dev/null >/dev/null 2>&1
check "the second odrstat exits with status 0" 0 $?
check "one window is titled \"$INFO_TITLE\"" 1 "$(probe count "$INFO_TITLE")"
