#!/usr/bin/env bash
# "Configuration..." on odrcfg /simulate with the adapter's key in the prefix's registry:
# an Alternate Master moved to domain 7 with a master name of its own is stored so and
# synchronises to domain 7's master at the next check run; then, in a fresh odrcfg, a
# Station stored over an Alternate Master keeps its master name, and the security ID
# "GUESTNET" sent from a Configuration window that is then cancelled reveals the GUEST
# master.
source "$(dirname "$0")/odrcfg_lib.sh"

CONFIG_TITLE="Configuration"

# The key as it was is put back afterwards, value for value; meanwhile it is a Station in
# domain 1.
seed_adapter_key configuration

start "$ODRCFG" /simulate
probe wait "$MAIN_TITLE" 15000
check "odrcfg opens its main window" 0 $?
line=$(wait_status_line 20000 "Synchronized to ")
check "the check run finds the default site's master" "Synchronized to 0020a6100001  LOBBY" "$line"

probe click "$MAIN_TITLE" 1051 >/dev/null
probe wait "$CONFIG_TITLE" 10000
check "\"&Configuration...\" opens \"Configuration\"" 0 $?
check "the stored domain is shown" "1" "$(probe selected "$CONFIG_TITLE" 1112)"
check "\"Configuration\" has every control" \
    "2 1019 1020 1021 1043 1096 1097 1098 1101 1107 1108 1110 1111 1112 1113 1114 1115 1116 1117 1118 1119 1120 1121 57670" \
    "$(control_ids "$CONFIG_TITLE")"
check "the very advanced button is hidden" 1 \
    "$(probe dump "$CONFIG_TITLE" | grep -c '^ *1107 .* hidden disabled ')"
probe click "$CONFIG_TITLE" 1097 >/dev/null
probe wait "Get Settings" 10000
check "\"&Get Settings...\" opens \"Get Settings\"" 0 $?
check "\"Get Settings\" has every control" "1 1010 1011 1013 1014 1052" \
    "$(control_ids "Get Settings")"
check "the node address is the adapter's" 0020a6f00001 "$(probe text "Get Settings" 1011)"
probe click "Get Settings" 1 >/dev/null
probe gone "Get Settings" 5000
check "Done closes it" 0 $?
check "a Station's master name is locked" "0" "$(probe enabled "$CONFIG_TITLE" 1108)"
probe select "$CONFIG_TITLE" 1101 1 >/dev/null
check "an Alternate Master's master name is open" "1" "$(probe enabled "$CONFIG_TITLE" 1108)"
probe settext "$CONFIG_TITLE" 1108 E2E-NORTH >/dev/null
probe select "$CONFIG_TITLE" 1112 7 >/dev/null
check "domain 7 is chosen" "7" "$(probe selected "$CONFIG_TITLE" 1112)"
started_ms=$(date +%s%3N)
probe click "$CONFIG_TITLE" 1021 >/dev/null
probe gone "$CONFIG_TITLE" 5000
check "OK closes the window" 0 $?
line=$(wait_status_line 30000 "Synchronized to 0020a6100003")
took=$(($(date +%s%3N) - started_ms))
check "the next check run synchronises to domain 7's master" \
    "Synchronized to 0020a6100003  ANNEX" "$line"
echo "figure: OK to the main window's new status text: ${took} ms"
check "Station_Type is stored" 1 "$(stored_number Station_Type)"
check "Domain is stored" 7 "$(stored_number Domain)"
check "Master_Name is stored" E2E-NORTH "$(stored Master_Name)"
check "Channel is stored as it was" 1 "$(stored_number Channel)"
exit_odrcfg
check "Exit ends odrcfg" 0 "$(probe count "$MAIN_TITLE")"

# A fresh odrcfg: its simulated driver starts from the stored values.
start "$ODRCFG" /simulate
probe wait "$MAIN_TITLE" 15000
line=$(wait_status_line 30000 "Synchronized to ")
check "the driver started in domain 7" "Synchronized to 0020a6100003  ANNEX" "$line"
probe click "$MAIN_TITLE" 1051 >/dev/null
probe wait "$CONFIG_TITLE" 10000
check "the stored master name is shown" E2E-NORTH "$(probe text "$CONFIG_TITLE" 1108)"
probe select "$CONFIG_TITLE" 1101 0 >/dev/null
probe select "$CONFIG_TITLE" 1112 1 >/dev/null
probe click "$CONFIG_TITLE" 1021 >/dev/null
probe gone "$CONFIG_TITLE" 5000
line=$(wait_status_line 30000 "Synchronized to 0020a6100001")
check "the check run finds domain 1's master" "Synchronized to 0020a6100001  LOBBY" "$line"
check "a Station is stored" 0 "$(stored_number Station_Type)"
check "in domain 1" 1 "$(stored_number Domain)"
check "the Alternate Master's name is kept" E2E-NORTH "$(stored Master_Name)"

probe click "$MAIN_TITLE" 1051 >/dev/null
probe wait "$CONFIG_TITLE" 10000
check "\"&Configuration...\" opens again" 0 $?
probe click "$CONFIG_TITLE" 1098 >/dev/null
probe wait "Ondrel Setup" 10000
check "\"&Set Security ID...\" opens the warning" 0 $?
check "the warning has its controls" "2 1122" "$(control_ids "Ondrel Setup")"
check "the warning's text keeps its line breaks" 1 "$(probe dump "Ondrel Setup" |
    grep -c 'Warning:  Ondrel cards communicate only with other Ondrel  cards with the same Security ID.   Be sure to set the Security ID on all Ondrel cards in the same sub-network to the same value.')"
probe click "Ondrel Setup" 1122 >/dev/null
probe wait "Security ID" 10000
check "\"&Continue\" opens the entry" 0 $?
check "the entry has its controls" "2 1027 1123" "$(control_ids "Security ID")"
probe settext "Security ID" 1123 GUESTNET >/dev/null
probe click "Security ID" 1027 >/dev/null
probe gone "Security ID" 5000
check "OK closes the entry" 0 $?
probe gone "Ondrel Setup" 5000
check "the warning closes with it" 0 $?
# Chosen, then cancelled: nothing of the window is sent or stored, but the ID stays sent.
probe select "$CONFIG_TITLE" 1112 7 >/dev/null
probe click "$CONFIG_TITLE" 2 >/dev/null
probe gone "$CONFIG_TITLE" 5000
check "\"&Cancel\" closes the window" 0 $?
line=$(wait_status_line 30000 "Synchronized to 0020a6100004")
check "the check run finds the GUEST master" "Synchronized to 0020a6100004  GUEST" "$line"
check "the domain stored stays" 1 "$(stored_number Domain)"
exit_odrcfg
check "Exit ends odrcfg" 0 "$(probe count "$MAIN_TITLE")"
