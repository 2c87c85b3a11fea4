#!/usr/bin/env bash
# odrcfg /simulate reaches the default site's master, enables every button, and its Help
# shows the main window's section.
source "$(dirname "$0")/odrcfg_lib.sh"

start "$ODRCFG" /simulate
probe wait "$MAIN_TITLE" 15000
check "odrcfg opens its main window" 0 $?
line=$(wait_status_line 20000 "Synchronized to ")
check "the status text names the default site's master" "Synchronized to 0020a6100001  LOBBY" "$line"
status=$(probe text "$MAIN_TITLE" $STATUS_TEXT)
check_prefix "the status text starts with the checking line" "Checking for Ondrel driver..." "$status"
check "every button is enabled" "1000=1 1001=1 1010=1 1051=1 57670=1 1=1" "$(buttons)"

probe click "$MAIN_TITLE" 57670 >/dev/null
probe wait "Main Help" 10000
check "Help opens \"Main Help\"" 0 $?
check "the help list starts with the main section" "MAIN WINDOW" "$(probe listbox "Main Help" 1037 | head -1)"
probe click "Main Help" 1 >/dev/null
probe gone "Main Help" 5000
check "OK closes the help" 0 $?

exit_odrcfg
check "Exit ends odrcfg" 0 "$(probe count "$MAIN_TITLE")"
