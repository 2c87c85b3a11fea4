#!/usr/bin/env bash
# odrcfg /simulate: "S&noop..." opens the Snoop window over the default site's band; after a
# sweep the graph shows navy average bars, tallest over the interference on channels 30-36,
# and green peak marks; Escape returns to the main window, which checks the adapter again.
source "$(dirname "$0")/odrcfg_lib.sh"

# The default site with a slow acquisition, so that the check run after the Snoop window
# can be seen.
slow=$(scenario_file snoop-slow "$(sed 's/^acquire_ms *=.*/acquire_ms = 2500/' \
    "$ODR_SOURCE_DIR/scenarios/default.ini")")
start "$ODRCFG" "/simulate:$slow"
probe wait "$MAIN_TITLE" 15000 >/dev/null
line=$(wait_status_line 20000 "Synchronized to ")
check "odrcfg synchronises to the default site's master" "Synchronized to 0020a6100001  LOBBY" "$line"

probe click "$MAIN_TITLE" 1010 >/dev/null
probe wait "Snoop" 10000 >/dev/null
check "S&noop... opens \"Snoop\"" 0 $?
check "the first frequency label" "2.402" "$(probe text Snoop 1031)"
check "the last frequency label" "2.480" "$(probe text Snoop 1032)"

# "LOUD QUIET GREEN": mean navy height over channels 30-36 (a fifth inside the band's
# 79 columns from channel 2, margins left out), over the far ends of the band, and the
# number of green pixels.
summary() {
    awk '{ n[NR] = $2; g += $3 } END {
        w = NR; for (i = 0; i < w; i++) {
            f = i / w
            if (f > 0.37 && f < 0.42) { l += n[i + 1]; nl++ }
            if (f < 0.30 || f > 0.52) { q += n[i + 1]; nq++ }
        }
        printf "%d %d %d\n", l / (nl ? nl : 1), q / (nq ? nq : 1), g }'
}
# Wait for a sweep: navy fills the inside of each bar (three pixels in seven) when the band
# has its averages.
deadline=$((SECONDS + 40))
while :; do
    counts=$(snoop_column_counts)
    (($(snoop_filled_tenths <<<"$counts") >= 3 || SECONDS > deadline)) && break
    sleep 1
done
echo "      graph filled after $((SECONDS - deadline + 40)) s"
read -r loud quiet green < <(summary <<<"$counts")
echo "      navy height over channels 30-36: $loud px, elsewhere: $quiet px; green pixels: $green"
check "the bars over channels 30-36 stand out" 1 "$((loud > 2 * quiet + 3))"
check "peak marks are drawn in green" 1 "$((green > 100))"

# Escape pressed while a dwell runs (they follow each other back to back) stays queued and
# closes the window once the dwell is over: at most 5 s at the Medium rate.
probe post Snoop 0x100 0x1B 0 >/dev/null
probe gone Snoop 12000
check "Escape during a dwell closes the Snoop window" 0 $?
disabled=$(poll_for_prefix 3000 0 probe enabled "$MAIN_TITLE" 1010)
check "the main window checks the adapter again, its buttons disabled meanwhile" 0 "$disabled"
line=$(wait_status_line 20000 "Synchronized to ")
check "and synchronises to the master again" "Synchronized to 0020a6100001  LOBBY" "$line"
check "every button is enabled again" "1000=1 1001=1 1010=1 1051=1 57670=1 1=1" "$(buttons)"

exit_odrcfg
