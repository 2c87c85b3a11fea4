#!/usr/bin/env bash
# odrcfg /simulate: the Site Survey's "&Log..." asks for a file in the Save As dialog and logs
# every round: after three rounds and "Stop &Log" the file has its header and rows of the
# default site's master and nodes for each round; the same for the Directed Link test, a
# row every pass on its node.
source "$(dirname "$0")/odrcfg_lib.sh"

SURVEY="Site Survey"
LINK="Directed Link"
SAVE="Log to"

# Starts the log of window $1 (log button $2) in file $3.
start_log() {  # start_log TITLE BUTTON FILE
    save_through_dialog "$1" "$2" "$SAVE" "$3"
}
# The number of distinct values of column $2 in the rows of file $1.
distinct() {  # distinct FILE COLUMN
    tail -n +2 "$1" | cut -d, -f"$2" | sort -u | grep -c .
}

start "$ODRCFG" /simulate
probe wait "$MAIN_TITLE" 15000
line=$(wait_status_line 20000 "Synchronized to ")
check "the adapter is synchronised to the default site's master" "Synchronized to 0020a6100001  LOBBY" "$line"
probe click "$MAIN_TITLE" 1001 >/dev/null
probe wait "$SURVEY" 10000 >/dev/null
check "\"&Site Survey...\" opens \"$SURVEY\"" 0 $?

survey_log="$ODR_FILES/e2e-survey-log.csv"
start_log "$SURVEY" 1160 "$survey_log"
check "the Save As dialog starts the survey log" "Stop &Log" "$(probe text "$SURVEY" 1160)"
for _ in $(seq 1 60); do
    [[ -f $survey_log ]] && (($(distinct "$survey_log" 2) >= 3)) && break
    sleep 0.25
done
probe click "$SURVEY" 1160 >/dev/null
check "\"Stop &Log\" stops it" "&Log..." "$(probe text "$SURVEY" 1160)"
rows=$(tr -d '\r' <"$survey_log")
check "the survey log's header" "time,round,address,master,link quality,activity,strength %,replies" \
    "$(head -1 <<<"$rows")"
check "three rounds or more are logged" 1 "$(($(distinct "$survey_log" 2) >= 3))"
check "the master is logged by name in each" 1 \
    "$(($(grep -c ',0020a6100001,LOBBY,' <<<"$rows") >= 3))"
check "and its nodes" 1 "$(($(grep -c ',0020a6200001,,' <<<"$rows") >= 3))"
check "each row starts with its time" 0 \
    "$(tail -n +2 <<<"$rows" | grep -vc '^[0-9]\{4\}-[0-9][0-9]-[0-9][0-9]T[0-9:]\{8\},')"
echo "figure: survey log of $(distinct "$survey_log" 2) rounds: $(wc -c <"$survey_log") bytes"

probe click "$SURVEY" 1086 >/dev/null  # row 1's "Dl"
probe wait "$LINK" 10000 >/dev/null
check "row 1's \"Dl\" opens \"$LINK\"" 0 $?
link_log="$ODR_FILES/e2e-link-log.csv"
start_log "$LINK" 1161 "$link_log"
check "the Save As dialog starts the link log" "Stop &Log" "$(probe text "$LINK" 1161)"
for _ in $(seq 1 60); do
    [[ -f $link_log ]] && (($(wc -l <"$link_log") >= 5)) && break
    sleep 0.25
done
probe click "$LINK" 1161 >/dev/null
rows=$(tr -d '\r' <"$link_log")
check "the link log's header" \
    "time,target,packets/s,bytes/s,signal %,latency ms,maximum ms,deviation ms,average packets/s,average bytes/s,average latency ms" \
    "$(head -1 <<<"$rows")"
check "a row a pass on the node" 1 "$(($(grep -c '^[^,]*,0020a6200001,' <<<"$rows") >= 4))"
check "with packets per second" 1 "$(($(grep -c '^[^,]*,0020a6200001,[1-9]' <<<"$rows") >= 1))"

probe click "$LINK" 1 >/dev/null
probe gone "$LINK" 10000 >/dev/null
probe click "$SURVEY" 1 >/dev/null
probe gone "$SURVEY" 5000 >/dev/null
check "Done closes the survey" 0 $?
exit_odrcfg
check "Exit ends odrcfg" 0 "$(probe count "$MAIN_TITLE")"
