#!/usr/bin/env bash
# The Master List on a PC card under scenarios/faults.ini without the refused ROM version,
# open from about 15 s to 60 s of odrcfg's life: LOBBY is listed, Search All steps through
# the domains before the driver is lost at 40 s and again after it is back (45 s), LOBBY
# keeps its one row, the window still answers, the main window synchronises again after
# Done, and the stored settings are untouched.
source "$(dirname "$0")/faults_lib.sh"
LIST="Master List"
ROWS=1127
SEARCHING=1133

# The number of distinct domains "Searching Domain:" shows from now until SECONDS.
domains_until() {  # domains_until SECONDS
    while (($(run_elapsed) < $1)); do
        probe text "$LIST" $SEARCHING
        sleep 0.5
    done | sort -u | wc -l
}

start_odrcfg_synchronised "$(faults_synchronising)"
probe click "$MAIN_TITLE" 1000 >/dev/null
probe wait "$LIST" 10000 >/dev/null
check "\"&Masters...\" opens \"$LIST\"" 0 $?
echo "      list opened after $(run_elapsed) s"
rows=""
for _ in $(seq 1 40); do
    rows=$(probe listview "$LIST" $ROWS)
    grep -q '|LOBBY$' <<<"$rows" && break
    sleep 0.25
done
check "LOBBY is listed in domain 1" "0020a6100001|1|3/1|LOBBY" "$rows"

probe click "$LIST" 1128 >/dev/null  # Search All
sleep_until 28
check "Search All steps through the domains before the driver is lost" 1 \
    "$(($(domains_until 39) > 2))"
sleep_until 47
check "and again after the driver is back" 1 "$(($(domains_until "$RUN_SECONDS") > 2))"
check "LOBBY keeps its one row" 1 "$(probe listview "$LIST" $ROWS | grep -c 'LOBBY$')"

probe click "$LIST" 1 >/dev/null
probe gone "$LIST" 5000
check "Done closes the list" 0 $?
resynchronised_and_exit
stored_unchanged
