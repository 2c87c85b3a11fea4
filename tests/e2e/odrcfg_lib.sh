# Helpers of odrcfg's end-to-end scripts, on top of lib.sh.
source "$(dirname "$0")/lib.sh"

ODRCFG="$ODR_BUILD_DIR/odrcfg.exe"
MAIN_TITLE="Ondrel Site Survey & Configuration Tool"
STATUS_TEXT=1002

# Prints "ID=0|1" for every button of the main window.
buttons() {
    local id out=""
    for id in 1000 1001 1010 1051 57670 1; do
        out+="$id=$(probe enabled "$MAIN_TITLE" "$id") "
    done
    echo "${out% }"
}

# Waits until the status text holds a line starting with PREFIX; prints that line.
wait_status_line() {  # wait_status_line MS PREFIX
    poll_for_prefix "$1" "$2" probe text "$MAIN_TITLE" "$STATUS_TEXT"
}

# Ends odrcfg with its Exit button (before lib.sh's cleanup stops what is left).
exit_odrcfg() {
    if [[ $(probe count "$MAIN_TITLE" 2>/dev/null) != 0 ]]; then
        probe click "$MAIN_TITLE" 1 >/dev/null 2>&1 || true
        probe gone "$MAIN_TITLE" 10000 >/dev/null 2>&1 || true
    fi
}

# A scenario file in the build folder; prints its Windows path.
scenario_file() {  # scenario_file NAME TEXT
    local path="$ODR_BUILD_DIR/e2e-$1.ini"
    printf '%s\n' "$2" >"$path"
    winepath -w "$path" 2>/dev/null
}

# Per pixel column of the Snoop window's graph: how many navy (average) and green (peak)
# pixels it holds.
snoop_column_counts() {
    local graph=$ODR_BUILD_DIR/e2e-snoop.png x y w h
    read -r x y w h < <(probe rect Snoop 1146)
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$graph" 2>/dev/null || return 1
    convert "$graph" -depth 8 txt:- | awk -F'[,: ]+' -v w="$w" '
        /#000080/ { navy[$1]++ } /#00FF00/ { green[$1]++ }
        END { for (i = 0; i < w; i++) print i, navy[i] + 0, green[i] + 0 }'
}
# Tenths of the graph's pixel columns that hold navy, from snoop_column_counts' output.
# Navy fills the inside of each bar (three pixels in seven) once the band has its averages.
snoop_filled_tenths() {
    awk '$2 > 0 { n++ } END { print NR ? int(n * 10 / NR) : 0 }'
}
