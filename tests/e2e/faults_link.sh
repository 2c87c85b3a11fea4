#!/usr/bin/env bash
# The Directed Link test on a PC card under scenarios/faults.ini with only the driver's
# absence and loss (every other fault restarts the measurement without figures for that
# pass, and at faults.ini's rates hardly a pass would show any), open from
# about 12 s to 60 s of odrcfg's life on the node that always answers: packets per second
# count before the driver is lost at 40 s, "Out of Range of Master" shows while it is
# lost, and they count again after it is back (45 s); the window still answers, Done
# returns to the survey and the survey's Done to the main window, which synchronises
# again, and the stored settings are untouched.
source "$(dirname "$0")/faults_lib.sh"
SURVEY="Site Survey"
LINK="Directed Link"
PACKETS=1079  # packets per second over the last five seconds
OUT_OF_RANGE=1024
SECONDS_RUN=1086  # seconds the measurement has run, set with each pass's figures

# Waits up to MS for a non-zero packet count; prints the last one read.
wait_packets() {  # wait_packets MS
    local deadline=$((SECONDS * 1000 + $1)) packets=""
    while :; do
        packets=$(probe text "$LINK" $PACKETS)
        [[ -n $packets && $packets != 0 ]] && break
        ((SECONDS * 1000 > deadline)) && break
        sleep 0.5
    done
    echo "$packets"
}
out_of_range_shown() {
    probe dump "$LINK" | grep -c "^ *$OUT_OF_RANGE .* visible"
}

start_odrcfg_synchronised "$(faults_driver_only)"
probe click "$MAIN_TITLE" 1001 >/dev/null
probe wait "$SURVEY" 10000 >/dev/null
probe click "$SURVEY" 1017 >/dev/null  # sort by address
line=$(poll_for_prefix 15000 "0020a6200001" probe text "$SURVEY" 1010)
check "the survey lists the node that always answers in row 1" "0020a6200001" "$line"
probe click "$SURVEY" 1086 >/dev/null  # row 1's "Dl"
probe wait "$LINK" 10000 >/dev/null
check "row 1's \"Dl\" opens \"$LINK\"" 0 $?
echo "      link test opened after $(run_elapsed) s"

packets=$(wait_packets $(((38 - $(run_elapsed)) * 1000)))
check "packets per second count before the driver is lost" 1 \
    "$([[ -n $packets && $packets != 0 ]] && echo 1 || echo 0)"
[[ -n $packets && $packets != 0 ]] || probe dump "$LINK" | sed 's/^/      /'
echo "      packets after $(run_elapsed) s: $packets"
check "\"Out of Range of Master\" is hidden meanwhile" 0 "$(out_of_range_shown)"
sleep_until 40
shown=$(poll_for_prefix 5000 1 out_of_range_shown)
check "while the driver is lost \"Out of Range of Master\" shows" 1 "$shown"
echo "      out of range after $(run_elapsed) s"
sleep_until 46
seconds_back=$(probe text "$LINK" $SECONDS_RUN)
packets=$(wait_packets $(((RUN_SECONDS - $(run_elapsed)) * 1000)))
check "after the driver is back they count again" 1 \
    "$([[ -n $packets && $packets != 0 ]] && echo 1 || echo 0)"
echo "      packets again after $(run_elapsed) s"
shown=$(poll_for_prefix 5000 0 out_of_range_shown)
check "and \"Out of Range of Master\" is hidden again" 0 "$shown"
sleep_until "$RUN_SECONDS"

seconds_end=$(probe text "$LINK" $SECONDS_RUN)
check "and its figures are set again (seconds run: $seconds_back, then $seconds_end)" 1 \
    "$(((${seconds_end:-0} > ${seconds_back:-0})))"
check "the window still answers: it names its node" "0020a6200001" "$(probe text "$LINK" 1081)"
probe click "$LINK" 1 >/dev/null
probe gone "$LINK" 10000
check "Done closes the link test" 0 $?
probe click "$SURVEY" 1 >/dev/null
probe gone "$SURVEY" 5000
check "and the survey's Done the survey" 0 $?
resynchronised_and_exit
stored_unchanged
