#!/usr/bin/env bash
# odrcfg /simulate: "&Masters..." opens "Master List"; Search All lists the masters of domains
# 1 and 7 with their domain and channel/subchannel within one cycle, never the master with
# another security ID; "&Use Domain" on ANNEX asks "Update to Domain 7?" and "&Yes" stores
# domain 7; "&Test Link" opens "Directed Link" naming the master; Done returns to the main
# window, whose check run synchronises in domain 7.
source "$(dirname "$0")/odrcfg_lib.sh"

LIST="Master List"
ROWS=1127
seed_adapter_key master-list

start "$ODRCFG" /simulate
probe wait "$MAIN_TITLE" 15000
check "odrcfg opens its main window" 0 $?
line=$(wait_status_line 20000 "Synchronized to ")
check "the check run finds the default site's master" "Synchronized to 0020a6100001  LOBBY" "$line"

probe click "$MAIN_TITLE" 1000 >/dev/null
probe wait "$LIST" 10000
check "\"&Masters...\" opens \"$LIST\"" 0 $?
# (0 is the list's column header.)
check "\"$LIST\" has every control" "0 1 1014 1124 1125 1126 1127 1128 1129 1130 1131 1133" \
    "$(control_ids "$LIST")"
check "Search One on the stored domain at first" "1" "$(probe selected "$LIST" 1130)"
check "no action before a master is chosen" "0 0 0" \
    "$(probe enabled "$LIST" 1126) $(probe enabled "$LIST" 1124) $(probe enabled "$LIST" 1014)"

started_ms=$(date +%s%3N)
probe click "$LIST" 1128 >/dev/null  # Search All
check "Search All locks the domain list" 0 "$(probe enabled "$LIST" 1130)"
rows=""
for _ in $(seq 1 180); do
    rows=$(probe listview "$LIST" $ROWS)
    grep -q "|ANNEX$" <<<"$rows" && grep -q "|LOBBY$" <<<"$rows" && break
    sleep 0.25
done
took=$(($(date +%s%3N) - started_ms))
echo "figure: Search All to masters of two domains listed: ${took} ms"
check "LOBBY is listed in domain 1 on 3/1" 1 "$(grep -c '^0020a6100001|1|3/1|LOBBY$' <<<"$rows")"
check "ANNEX is listed in domain 7 on 5/1" 1 "$(grep -c '^0020a6100003|7|5/1|ANNEX$' <<<"$rows")"
check "the master with another security ID stays unheard" 0 "$(grep -c GUEST <<<"$rows")"
annex=$(($(grep -n '|ANNEX$' <<<"$rows" | cut -d: -f1) - 1))

probe clickrow "$LIST" $ROWS "$annex" >/dev/null
check "choosing ANNEX offers its actions" "1 1 1" \
    "$(probe enabled "$LIST" 1126) $(probe enabled "$LIST" 1124) $(probe enabled "$LIST" 1014)"
probe click "$LIST" 1126 >/dev/null
probe wait "Change Domain" 10000
check "\"&Use Domain\" asks" "Update to Domain 7?" "$(probe text "Change Domain" 1135)"
probe click "Change Domain" 1 >/dev/null
probe gone "Change Domain" 5000
check "\"&Yes\" closes the question" 0 $?
check "domain 7 is stored" 7 "$(stored_number Domain)"
check "the list searches domain 7 alone" "7 1" \
    "$(probe selected "$LIST" 1130) $(probe enabled "$LIST" 1130)"

probe clickrow "$LIST" $ROWS "$annex" >/dev/null
probe click "$LIST" 1124 >/dev/null
probe wait "Directed Link" 30000 >/dev/null
check "\"&Test Link\" opens \"Directed Link\"" 0 $?
check "on ANNEX" "0020a6100003" "$(probe text "Directed Link" 1081)"
line=$(poll_for_prefix 15000 "ANNEX" probe text "Directed Link" 1080)
check "\"Master Name\" shows ANNEX" "ANNEX" "$line"
probe click "Directed Link" 1 >/dev/null
probe gone "Directed Link" 10000
check "Done closes the link test" 0 $?

probe click "$LIST" 1 >/dev/null
probe gone "$LIST" 5000
check "Done closes the list" 0 $?
# The status shows the last check run until the next one ends.
line=$(wait_status_line 30000 "Synchronized to 0020a6100003")
check "the next check run synchronises in domain 7" "Synchronized to 0020a6100003  ANNEX" "$line"
exit_odrcfg
check "Exit ends odrcfg" 0 "$(probe count "$MAIN_TITLE")"
