#!/usr/bin/env bash
# Screenshots for the README, saved in this folder: odrstat's information window; odrcfg's
# main window in each state:
# synchronised, no master found, checking (with the Status window), no driver, the Error
# window of a refused driver version; and the tools' windows on the default site (the
# Master List on the many-masters site, the Coverage Map on the office site).
# Usage: docs/odrcfg_screenshots.sh BUILD_DIR   (BUILD_DIR: a Windows build)
set -euo pipefail
build=$(cd "${1:?usage: odrcfg_screenshots.sh BUILD_DIR}" && pwd)
docs=$(cd "$(dirname "$0")" && pwd)

exec "$docs/../scripts/winesession.sh" "$build" -- \
    bash -c '
set -uo pipefail
build=$1 docs=$2
source "$docs/../scripts/probe_lib.sh"
title="Ondrel Site Survey & Configuration Tool"

# Saves the window titled $1 (and what lies on it) as docs/$2.png.
shot() {
    local id geometry
    id=$(xdotool search --name "^$1\$" | head -1)
    eval "$(xdotool getwindowgeometry --shell "$id")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$docs/$2.png"
    echo "saved $docs/$2.png"
}
# status_is PREFIX: waits for the main window to show a status that begins with PREFIX.
status_is() { wait_text "$title" 1002 "$1"; }
quit() { probe click "$title" 1 >/dev/null; probe gone "$title" 10000 >/dev/null; }
scenario() {
    printf "%s\n" "$2" >"$build/screens-$1.ini"
    winepath -w "$build/screens-$1.ini" 2>/dev/null
}

# odrstat'"'"'s information window as a right click on its icon shows it, taken before odrcfg
# starts (the monitor'"'"'s data turns static while the tool runs); "&Remove" ends it.
info="Ondrel Status Monitor Information"
wine "$build/odrstat.exe" /simulate </dev/null >/dev/null 2>&1 &
probe wait "$info" 15000 >/dev/null && sleep 4
probe post "$info" 1124 0 516 >/dev/null
sleep 0.5 && shot "$info" odrstat-information
probe click "$info" 1 >/dev/null
probe gone "$info" 10000 >/dev/null

wine "$build/odrcfg.exe" /simulate </dev/null >/dev/null 2>&1 &
probe wait "$title" 15000 >/dev/null && status_is "Synchronized to" && shot "$title" odrcfg-synchronized
# The Snoop window after a little more than one sweep at Medium.
probe click "$title" 1010 >/dev/null
probe wait "Snoop" 10000 >/dev/null && sleep 12 && shot "Snoop" odrcfg-snoop
probe click "Snoop" 1 >/dev/null
probe gone "Snoop" 5000 >/dev/null
status_is "Synchronized to"
# The Site Survey after a few rounds, then the Directed Link test on its first node.
probe click "$title" 1001 >/dev/null
probe wait "Site Survey" 10000 >/dev/null && sleep 8 && shot "Site Survey" odrcfg-site-survey
probe click "Site Survey" 1086 >/dev/null
probe wait "Directed Link" 10000 >/dev/null && sleep 6 && shot "Directed Link" odrcfg-directed-link
# Its history after half a minute more.
probe click "Directed Link" 1164 >/dev/null
sleep 30 && shot "Directed Link" odrcfg-link-history
probe click "Directed Link" 1 >/dev/null
probe gone "Directed Link" 10000 >/dev/null
probe click "Site Survey" 1 >/dev/null
probe gone "Site Survey" 5000 >/dev/null
status_is "Synchronized to"
# The Configuration window as the stored settings fill it; Cancel changes nothing.
probe click "$title" 1051 >/dev/null
probe wait "Configuration" 10000 >/dev/null && sleep 1 && shot "Configuration" odrcfg-configuration
probe click "Configuration" 2 >/dev/null
probe gone "Configuration" 5000 >/dev/null
status_is "Synchronized to"
quit

# The Master List on a site with masters in every domain, after most of one Search All
# cycle, with a master chosen.
many=$(winepath -w "$docs/../scenarios/many-masters.ini" 2>/dev/null)
wine "$build/odrcfg.exe" "/simulate:$many" </dev/null >/dev/null 2>&1 &
probe wait "$title" 15000 >/dev/null && status_is "Synchronized to"
probe click "$title" 1000 >/dev/null
probe wait "Master List" 10000 >/dev/null
probe click "Master List" 1128 >/dev/null
sleep 26
probe clickrow "Master List" 1127 4 >/dev/null
sleep 0.5 && shot "Master List" odrcfg-master-list
probe click "Master List" 1 >/dev/null
probe gone "Master List" 5000 >/dev/null
status_is "Synchronized to"
quit

# The Coverage Map of the office site after a walk of a dozen points (clicks at places of
# the picture), showing the signal of the master, then which master serves where.
office=$(winepath -w "$docs/../scenarios/office.ini" 2>/dev/null)
wine "$build/odrcfg.exe" "/simulate:$office" </dev/null >/dev/null 2>&1 &
walker=$!
probe wait "$title" 15000 >/dev/null && status_is "Synchronized to"
probe click "$title" 1001 >/dev/null
probe wait "Site Survey" 10000 >/dev/null
probe click "Site Survey" 1170 >/dev/null
probe wait "Coverage Map" 10000 >/dev/null
read -r _ _ w h < <(probe rect "Coverage Map" 1200)
for at in "15 17" "30 22" "45 17" "60 24" "75 19" "86 30" "25 46" "45 48" "62 54" "80 60" \
    "15 32" "38 35"; do
    set -- $at
    before=$(probe text "Coverage Map" 1216)
    probe clickat "Coverage Map" 1200 $((w * $1 / 100)) $((h * $2 / 100)) >/dev/null
    for _ in $(seq 1 60); do
        now=$(probe text "Coverage Map" 1216)
        [[ $now == Point* && $now != "$before" ]] && break
        sleep 0.2
    done
done
shot "Coverage Map" odrcfg-coverage-map
probe select "Coverage Map" 1217 4 >/dev/null
sleep 1 && shot "Coverage Map" odrcfg-coverage-masters
# The walk is not kept: the program ends without the question about unsaved points.
kill "$walker" 2>/dev/null
probe gone "$title" 10000 >/dev/null

lonely=$(scenario lonely $'"'"'[adapter]\nacquire_ms = 300'"'"')
wine "$build/odrcfg.exe" "/simulate:$lonely" </dev/null >/dev/null 2>&1 &
probe wait "Status" 15000 >/dev/null && sleep 1 && shot "$title" odrcfg-checking
status_is "Could not find a Master" && shot "$title" odrcfg-no-master
quit

env -u ODR_SIMULATE wine "$build/odrcfg.exe" </dev/null >/dev/null 2>&1 &
probe wait "$title" 15000 >/dev/null && status_is "Unable to access" && shot "$title" odrcfg-no-driver
quit

old=$(scenario old $'"'"'[adapter]\ndriver_version = 1.0'"'"')
wine "$build/odrcfg.exe" "/simulate:$old" </dev/null >/dev/null 2>&1 &
probe wait "Error" 15000 >/dev/null && sleep 0.5 && shot "Error" odrcfg-old-driver
probe click "Error" 1 >/dev/null
wait
' screenshots "$build" "$docs"
