#!/usr/bin/env bash
# The Configuration window on a PC card under scenarios/faults.ini without the refused ROM
# version, open from about 36 s to 50 s of odrcfg's life: a security ID sent at 41 s, while
# the driver is lost, closes the entry at once and leaves the window answering with the
# stored values; Cancel after the driver is back (45 s) stores nothing, the main window
# synchronises again to the same master (the lost driver took no new security ID), and the
# stored settings are untouched.
source "$(dirname "$0")/faults_lib.sh"
CONFIG_TITLE="Configuration"
WARNING="Ondrel Setup"
ENTRY="Security ID"

start_odrcfg_synchronised "$(faults_synchronising)"
sleep_until 36
probe click "$MAIN_TITLE" 1051 >/dev/null
probe wait "$CONFIG_TITLE" 10000 >/dev/null
check "\"&Configuration...\" opens \"$CONFIG_TITLE\"" 0 $?
check "the stored domain is shown" 1 "$(probe selected "$CONFIG_TITLE" 1112)"
echo "      configuration opened after $(run_elapsed) s"

probe click "$CONFIG_TITLE" 1098 >/dev/null
probe wait "$WARNING" 10000 >/dev/null
probe click "$WARNING" 1122 >/dev/null
probe wait "$ENTRY" 10000 >/dev/null
check "the security ID entry opens" 0 $?
probe settext "$ENTRY" 1123 GUESTNET >/dev/null
sleep_until 41
probe click "$ENTRY" 1027 >/dev/null
probe gone "$ENTRY" 5000
check "OK with the driver lost closes the entry at once" 0 $?
probe gone "$WARNING" 5000
check "and the warning with it" 0 $?
echo "      security ID sent after $(run_elapsed) s"
check "the window still answers with the stored domain" 1 "$(probe selected "$CONFIG_TITLE" 1112)"

sleep_until 50
check "it still answers after the driver is back" 1 "$(probe selected "$CONFIG_TITLE" 1112)"
probe click "$CONFIG_TITLE" 2 >/dev/null
probe gone "$CONFIG_TITLE" 5000
check "Cancel closes it" 0 $?
resynchronised_and_exit "to the same master"
stored_unchanged
