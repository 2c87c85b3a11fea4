#!/usr/bin/env bash
# odrcfg's main window on a PC card under scenarios/faults.ini for a minute: it waits out
# the absent driver with its 10-second retry and then ends "Could not find a Master" (the
# ROM version is refused, so the card start stops there); the Snoop window is closed while
# the driver is lost, so a check run meets the lost driver, and it completes again once the
# driver is back; the window still answers, and the stored settings are untouched.
source "$(dirname "$0")/faults_lib.sh"
no_master="Could not find a Master to synchronize with.  Verify that your Domain and Security ID match those of a Master."

store_pc_card
start "$ODRCFG" "/simulate:$(winepath -w "$FAULTS_INI" 2>/dev/null)"
run_started
probe wait "$MAIN_TITLE" 15000 >/dev/null
check "odrcfg opens its main window" 0 $?
line=$(wait_status_line 5000 "Unable to access Ondrel driver")
check_prefix "the absent driver is reported" "Unable to access Ondrel driver" "$line"
line=$(wait_status_line 30000 "$no_master")
check "the retry finds the driver, the card start stops at the refused item" "$no_master" \
    "$line"
echo "      checked after $(run_elapsed) s"
check "Site Survey stays disabled, Masters and Snoop are enabled" "1000=1 1001=0 1010=1" \
    "$(buttons | cut -d' ' -f1-3)"

# Snoop from 35 s to 41 s: its Done starts a check run inside the lost span.
sleep_until 35
probe click "$MAIN_TITLE" 1010 >/dev/null
probe wait Snoop 10000 >/dev/null
check "S&noop... opens \"Snoop\"" 0 $?
sleep_until 41
probe click Snoop 1 >/dev/null
probe gone Snoop 5000 >/dev/null
check "Done closes it while the driver is lost" 0 $?
disabled=$(poll_for_prefix 3000 0 probe enabled "$MAIN_TITLE" 1010)
check "the main window checks again, its tools disabled meanwhile" 0 "$disabled"

line=$(wait_status_line $(((RUN_SECONDS - $(run_elapsed)) * 1000)) "$no_master")
check "once the driver is back the check run completes again" "$no_master" "$line"
echo "      checked again after $(run_elapsed) s"
check "with Masters and Snoop enabled" "1000=1 1001=0 1010=1" "$(buttons | cut -d' ' -f1-3)"
sleep_until "$RUN_SECONDS"

check "the window still answers: its status text reads" 1 \
    "$(probe text "$MAIN_TITLE" $STATUS_TEXT | grep -c "^$no_master")"
exit_odrcfg
check "and Exit ends odrcfg" 0 "$(probe count "$MAIN_TITLE")"
stored_unchanged
