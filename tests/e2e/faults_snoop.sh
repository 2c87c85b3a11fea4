#!/usr/bin/env bash
# The Snoop window on a PC card under scenarios/faults.ini without the refused ROM version
# and with a signal calibration (else the tools' signal table stays all zeros: no bars),
# open from about 12 s to 60 s of odrcfg's life: its graph fills at the Medium rate before
# the driver is lost at 40 s; choosing the rate again after the driver is back (45 s)
# clears the graph, and the bars are drawn again; the window still answers, the main
# window synchronises again after Done, and the stored settings are untouched.
source "$(dirname "$0")/faults_lib.sh"

# Waits up to MS for navy in at least three tenths of the graph's columns; prints the
# tenths seen last.
wait_graph_filled() {  # wait_graph_filled MS
    local deadline=$((SECONDS * 1000 + $1)) tenths=0
    while :; do
        tenths=$(snoop_column_counts | snoop_filled_tenths)
        ((tenths >= 3 || SECONDS * 1000 > deadline)) && break
        sleep 1
    done
    echo "$tenths"
}

start_odrcfg_synchronised "$(faults_calibrated)"
probe click "$MAIN_TITLE" 1010 >/dev/null
probe wait Snoop 20000 >/dev/null
check "S&noop... opens \"Snoop\"" 0 $?
echo "      Snoop opened after $(run_elapsed) s"

tenths=$(wait_graph_filled $(((38 - $(run_elapsed)) * 1000)))
echo "      navy in $tenths tenths of the columns after $(run_elapsed) s"
check "the graph fills before the driver is lost" 1 "$((tenths >= 3))"

sleep_until 46
probe click Snoop 1149 >/dev/null  # the rate again: the graph starts afresh
deadline=$((SECONDS + 5))
until (($(snoop_column_counts | snoop_filled_tenths) < 2 || SECONDS > deadline)); do
    sleep 0.3
done
check "choosing the rate again clears the graph" 1 \
    "$(($(snoop_column_counts | snoop_filled_tenths) < 2))"
# Up to 15 s past the run on a loaded machine (two cores shared by four Wine lanes): the
# wait ends as soon as the bars are there, and nothing in the scenario happens after 45 s.
tenths=$(wait_graph_filled $(((RUN_SECONDS + 15 - $(run_elapsed)) * 1000)))
echo "      navy in $tenths tenths of the columns after $(run_elapsed) s"
check "after the driver is back the bars are drawn again" 1 "$((tenths >= 3))"
sleep_until "$RUN_SECONDS"

check "the window still answers: its labels read" "2.402 2.480" \
    "$(probe text Snoop 1031) $(probe text Snoop 1032)"
probe click Snoop 1 >/dev/null
probe gone Snoop 5000
check "Done closes the Snoop window" 0 $?
resynchronised_and_exit
stored_unchanged
