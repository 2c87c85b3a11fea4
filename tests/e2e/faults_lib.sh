# Helpers of the fault runs (scenarios/faults.ini played for about a minute against one
# window), on top of odrcfg_lib.sh. The simulated driver is absent for the first 5 s of the
# program's life and lost from 40 to 45 s.
source "$(dirname "$0")/odrcfg_lib.sh"

FAULTS_INI="$ODR_SOURCE_DIR/scenarios/faults.ini"
# The seconds of the program's life a run lasts; the lost span ends well inside it.
RUN_SECONDS=${ODR_FAULTS_SECONDS:-60}

ADAPTER_KEY=$KEY
# The whole tree the programs may read or write.
if windows95_family; then
    STORED_TREE=$ADAPTER_KEY
else
    STORED_TREE='HKLM\System\CurrentControlSet\Services\odrwinnt1'
fi

# The stored tree as a text, kept in FILE (under the build folder).
export_tree() {  # export_tree FILE
    rm -f "$1"
    wine reg export "$STORED_TREE" "$(winepath -w "$1" 2>/dev/null)" /y >/dev/null 2>&1
}

# Stores a PC card's settings (so that both programs keep trying while the driver is
# absent), puts the tree as it was back when the script ends, and exports the stored tree
# for stored_unchanged.
had_tree=0
saved_tree="$ODR_FILES/e2e-faults-saved.reg"
before_tree="$ODR_FILES/e2e-faults-before.reg"
store_pc_card() {
    export_tree "$saved_tree" && had_tree=1
    trap 'restore_tree; finish' EXIT
    wine reg delete "$STORED_TREE" /f >/dev/null 2>&1
    # On NT odrstat finds the key below the one whose DeviceVxDs holds "MASTER".
    windows95_family || wine reg add "$STORED_TREE" /v DeviceVxDs /d MASTER /f >/dev/null
    write_installed_values
    wine reg add "$ADAPTER_KEY" /v CardType /d PCMCIA /f >/dev/null
    export_tree "$before_tree"
}
restore_tree() {
    wine reg delete "$STORED_TREE" /f >/dev/null 2>&1
    ((had_tree)) && wine reg import "$(winepath -w "$saved_tree" 2>/dev/null)" >/dev/null 2>&1
}

# Checks that the stored tree is byte for byte what store_pc_card exported.
stored_unchanged() {
    local after="$ODR_FILES/e2e-faults-after.reg"
    export_tree "$after"
    if cmp -s "$before_tree" "$after"; then
        check "the stored settings are byte for byte as before" same same
    else
        check "the stored settings are byte for byte as before" same differ
        diff <(iconv -f UTF-16LE -t UTF-8 "$before_tree" 2>/dev/null) \
            <(iconv -f UTF-16LE -t UTF-8 "$after" 2>/dev/null) | sed 's/^/      /'
    fi
}

# faults.ini without the refused ROM version, so that odrcfg's check synchronises and the
# Site Survey can be opened; prints its Windows path.
faults_synchronising() {
    scenario_file faults-sync "$(grep -v '^refuse_items' "$FAULTS_INI")"
}
# faults.ini with only the driver's absence and loss: any other fault (a refused or
# pending transmission, a stuck ping) restarts the Directed Link test's measurement
# without figures for that pass, and at faults.ini's rates hardly a pass shows its figures.
faults_driver_only() {
    scenario_file faults-driver-only "$(grep -v -e '^refuse_items' -e '^transmit_' \
        -e '^poll_stuck' -e '^io_pending' "$FAULTS_INI")"
}
# faults.ini without the refused ROM version, with the adapter's signal calibration: a refused calibration leaves the tools'
# signal table all zeros, and the Snoop window would draw no bars.
faults_calibrated() {
    scenario_file faults-calibrated "$(grep -v -e '^refuse_items' -e '^calibration' "$FAULTS_INI")"
}

# What odrcfg's check shows once it is synchronised to faults.ini's master.
SYNCHRONISED="Synchronized to 0020a6100001  LOBBY"

# Stores a PC card, starts odrcfg on SCENARIO (a Windows path) and checks that its check
# synchronises to the master once the driver is there.
start_odrcfg_synchronised() {  # start_odrcfg_synchronised SCENARIO
    local line
    store_pc_card
    start "$ODRCFG" "/simulate:$1"
    run_started
    probe wait "$MAIN_TITLE" 15000 >/dev/null
    line=$(wait_status_line 30000 "Synchronized to ")
    check "the check synchronises to the master once the driver is there" "$SYNCHRONISED" "$line"
}
# After the tool under test closed: the main window synchronises again, Exit ends odrcfg.
resynchronised_and_exit() {  # resynchronised_and_exit [WHAT]
    local line
    line=$(wait_status_line 20000 "Synchronized to ")
    check "the main window synchronises again${1:+ $1}" "$SYNCHRONISED" "$line"
    exit_odrcfg
    check "Exit ends odrcfg" 0 "$(probe count "$MAIN_TITLE")"
}

# Seconds since the program under test started (run_started).
run_started() { run_start=$SECONDS; }
run_elapsed() { echo $((SECONDS - run_start)); }
# Sleeps until the program has lived SECONDS.
sleep_until() {  # sleep_until SECONDS
    local left=$(($1 - (SECONDS - run_start)))
    ((left > 0)) && sleep "$left"
    return 0
}
