#!/usr/bin/env bash
# odrstat on a PC card under scenarios/faults.ini for a minute: the Error window of the
# absent driver is OK'd and odrstat keeps polling; the tray icon appears synchronised once
# the driver is there, survives the driver lost from 40 to 45 s and is synchronised again
# afterwards; the window still answers, and the stored settings are untouched.
source "$(dirname "$0")/faults_lib.sh"
tip="Coverage: Normal.  Master Name: LOBBY"

store_pc_card
start "$ODRSTAT" "/simulate:$(winepath -w "$FAULTS_INI" 2>/dev/null)"
run_started
probe wait "Error" 15000 >/dev/null
check "the absent driver is reported in the Error window" 0 $?
probe click "Error" 1 >/dev/null
probe gone "Error" 5000 >/dev/null
check "OK closes it" 0 $?
probe wait "$INFO_TITLE" 5000 >/dev/null
check "a PC card's odrstat goes on running" 0 $?

line=$(poll_for_prefix 35000 "$tip" probe tray 0 "$INFO_TITLE")
check "the icon shows the master once the driver is there" "$tip" "$line"
echo "      synchronised after $(run_elapsed) s"

sleep_until 44
line=$(probe tray 0 "$INFO_TITLE")
check "while the driver is lost no synchronised icon is shown" 0 \
    "$(grep -c "^$tip" <<<"$line")"

line=$(poll_for_prefix $(((RUN_SECONDS - $(run_elapsed)) * 1000)) "$tip" \
    probe tray 0 "$INFO_TITLE")
check "after the driver is back the icon shows the master again" "$tip" "$line"
echo "      synchronised again after $(run_elapsed) s"
sleep_until "$RUN_SECONDS"

probe post "$INFO_TITLE" $TRAY_MESSAGE 0 $WM_RBUTTONDOWN >/dev/null
text=$(poll_for_prefix 5000 $'\n\nSynchronized to' probe text "$INFO_TITLE" 1001 | tail -n 1)
check "a right click shows the information window" 1 "$(probe visible "$INFO_TITLE")"
check "its text is synchronised to the master" "Synchronized to 0020a6100001  LOBBY" \
    "$(probe text "$INFO_TITLE" 1001 | grep '^Synchronized to')"
probe click "$INFO_TITLE" 1 >/dev/null
probe gone "$INFO_TITLE" 5000
check "\"&Remove\" ends odrstat" 0 $?
stored_unchanged
