#!/usr/bin/env bash
# odrcfg /simulate: "&Site Survey..." lists the default site's master in row 0 and its
# nodes below, the number of nodes matches the cell, a node that always answers reaches
# link quality 5; a row's "Dl" opens "Directed Link" on that node, whose packets per second
# become non-zero; Done returns to the survey, and its Done to the main window, which
# checks again.
source "$(dirname "$0")/odrcfg_lib.sh"

SURVEY="Site Survey"
ADDRESS=1009      # address cells of rows 0-6: 1009-1015
MASTER_NAME=1075  # master-name cell of row 0
QUALITY=1049      # link quality cells: 1049-1055
NODE_COUNT=1020

start "$ODRCFG" /simulate
probe wait "$MAIN_TITLE" 15000
check "odrcfg opens its main window" 0 $?
line=$(wait_status_line 20000 "Synchronized to ")
check "the adapter is synchronised to the default site's master" "Synchronized to 0020a6100001  LOBBY" "$line"

probe click "$MAIN_TITLE" 1001 >/dev/null
probe wait "$SURVEY" 10000
check "\"&Site Survey...\" opens \"$SURVEY\"" 0 $?
probe click "$SURVEY" 1017 >/dev/null  # sort by address

line=$(poll_for_prefix 30000 "0020a6100001" probe text "$SURVEY" $ADDRESS)
check "row 0 shows the master" "0020a6100001" "$line"
check "row 0 names the master" "LOBBY" "$(probe text "$SURVEY" $MASTER_NAME)"
line=$(poll_for_prefix 30000 "5" probe text "$SURVEY" $((QUALITY + 1)))
check "the node that always answers reaches link quality 5" "5" "$line"

rows=""
for r in 0 1 2 3 4 5 6; do
    rows+="$(probe text "$SURVEY" $((ADDRESS + r))) "
done
check "the rows list the master and its nodes by address" \
    "0020a6100001 0020a6200001 0020a6200002 0020a6200003 0020a6200004 0020a6200005 0020a6200006 " \
    "$rows"
# The master and seven nodes; the eighth walks into range about 23 s after the start.
count=$(probe text "$SURVEY" $NODE_COUNT)
[[ $count == 8 || $count == 9 ]]
check "\"Number of Nodes:\" counts the master and its nodes (8, or 9 with the walking one)" 0 $?

LINK="Directed Link"
probe click "$SURVEY" $((1085 + 1)) >/dev/null  # row 1's "Dl"
probe wait "$LINK" 10000 >/dev/null
check "row 1's \"Dl\" opens \"$LINK\"" 0 $?
check "on row 1's node" "0020a6200001" "$(probe text "$LINK" 1081)"
packets=0
for _ in $(seq 1 60); do
    packets=$(probe text "$LINK" 1079)
    [[ -n $packets && $packets != 0 ]] && break
    sleep 0.25
done
check "packets per second become non-zero" 1 "$([[ -n $packets && $packets != 0 ]] && echo 1 || echo 0)"
probe click "$LINK" 1 >/dev/null
probe gone "$LINK" 10000
check "Done closes the link test" 0 $?
check "and the survey is still open" 1 "$(probe count "$SURVEY")"

probe click "$SURVEY" 1 >/dev/null
probe gone "$SURVEY" 5000
check "Done closes the survey" 0 $?
line=$(wait_status_line 20000 "Synchronized to ")
check "the main window checks the adapter again" "Synchronized to 0020a6100001  LOBBY" "$line"

exit_odrcfg
check "Exit ends odrcfg" 0 "$(probe count "$MAIN_TITLE")"
