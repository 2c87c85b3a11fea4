#!/usr/bin/env bash
# The Site Survey on a PC card under scenarios/faults.ini without the refused ROM version
# (so that the check synchronises and the survey can be opened), open from about 15 s to
# 60 s of odrcfg's life: the master and its nodes are listed, and the row of the node that
# answers half the pings changes from round to round before the driver is lost at 40 s and
# again after it is back (45 s); the window still answers, the main window synchronises
# again after Done, and the stored settings are untouched.
source "$(dirname "$0")/faults_lib.sh"
SURVEY="Site Survey"
ADDRESS=1009  # address cells of rows 0-6: 1009-1015
QUALITY=1049  # link quality cells: 1049-1055
ACTIVITY=1056 # "(*)" when the node answered the latest round

# "ADDRESS QUALITY ACTIVITY" of row R.
row() {  # row R
    echo "$(probe text "$SURVEY" $((ADDRESS + $1))) $(probe text "$SURVEY" $((QUALITY + $1)))" \
        "$(probe text "$SURVEY" $((ACTIVITY + $1)))"
}

start_odrcfg_synchronised "$(faults_synchronising)"
probe click "$MAIN_TITLE" 1001 >/dev/null
probe wait "$SURVEY" 10000 >/dev/null
check "\"&Site Survey...\" opens \"$SURVEY\"" 0 $?
echo "      survey opened after $(run_elapsed) s"
probe click "$SURVEY" 1017 >/dev/null  # sort by address

line=$(poll_for_prefix 15000 "0020a6200002" probe text "$SURVEY" $((ADDRESS + 2)))
check "rows 0-2 list the master and its two nodes by address" \
    "0020a6100001 0020a6200001 0020a6200002" \
    "$(probe text "$SURVEY" $ADDRESS) $(probe text "$SURVEY" $((ADDRESS + 1))) $line"

# The node that answers half the pings changes its row from round to round while the
# driver answers.
states_until() {  # states_until SECONDS: the distinct states of row 2 seen until then
    while (($(run_elapsed) < $1)); do
        row 2
        sleep 0.5
    done | sort -u | wc -l
}
sleep_until 30
check "row 2 changes from round to round before the driver is lost" 1 \
    "$(($(states_until 39) > 1))"
sleep_until 46
states=$(states_until "$RUN_SECONDS")
check "and again after the driver is back" 1 "$((states > 1))"
check "the master and its nodes are still listed" "0020a6100001 0020a6200001 0020a6200002" \
    "$(for r in 0 1 2; do probe text "$SURVEY" $((ADDRESS + r)); done | tr '\n' ' ' | sed 's/ $//')"
check "the window still answers: \"Number of Nodes:\" reads" 1 \
    "$([[ $(probe text "$SURVEY" 1020) =~ ^[0-9]+$ ]] && echo 1 || echo 0)"

probe click "$SURVEY" 1 >/dev/null
probe gone "$SURVEY" 5000
check "Done closes the survey" 0 $?
resynchronised_and_exit
stored_unchanged
