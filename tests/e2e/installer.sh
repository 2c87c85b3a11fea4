#!/usr/bin/env bash
# The installer in a fresh prefix: a silent install puts the programs, the help file, the
# shortcuts, the Run value and the uninstall entry in place; the installed odrstat finds
# odrcfg beside it; installing again while odrstat runs leaves one monitor running; the
# silent uninstall removes all of it and leaves the adapter's stored settings alone.
source "$(dirname "$0")/lib.sh"

SETUP=$(ls "$ODR_BUILD_DIR"/ondrel-utilities-*-setup.exe 2>/dev/null | head -1)
[[ -n $SETUP ]] || { echo "FAIL: no installer in $ODR_BUILD_DIR"; exit 1; }
UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ondrel'
RUN_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
ADAPTER_KEY='HKLM\System\CurrentControlSet\Services\odrwinnt1\Parameters'
WM_LBUTTONDBLCLK=515

# A prefix of its own, made afresh, with its own wineserver stopped at the end.
export WINEPREFIX="$ODR_BUILD_DIR/installer-prefix"
"$WINESERVER" -k 2>/dev/null
rm -rf "$WINEPREFIX"
end_prefix() {
    (finish)
    local status=$?
    "$WINESERVER" -k 2>/dev/null
    exit $status
}
trap end_prefix EXIT
# Everything started from here (also by the installer) runs on the simulated adapter.
export ODR_SIMULATE=1
wine reg add "$ADAPTER_KEY" /v Master_Name /d KEEPME /f >/dev/null 2>&1
check "the fresh prefix holds the seeded adapter settings" 0 $?

value() {  # value KEY NAME: the data of a registry value, empty when absent
    wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        awk -v n="    $2    REG_" 'index($0, n) == 1 {
            sub(/^    .*    REG_[A-Z_]*    /, ""); print }'
}
seconds() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(seconds)" 'BEGIN { printf "%.1f", b - a }'; }

t0=$(seconds)
wine "$SETUP" /S
check "the silent install succeeds" 0 $?
echo "      silent install: $(since "$t0") s"
location=$(value "$UNINSTALL_KEY" InstallLocation)
check_prefix "it installs into Program Files\\Ondrel" 'C:\Program Files' "$location"
dir=$(winepath -u "$location" 2>/dev/null)
check "odrcfg.exe, odrstat.exe, odrcfg.hlp and the uninstaller are there" \
    "odrcfg.exe odrcfg.hlp odrstat.exe uninstall.exe" "$(cd "$dir" 2>/dev/null && echo *)"
cmp -s "$dir/odrcfg.exe" "$ODR_BUILD_DIR/odrcfg.exe"
check "the installed odrcfg.exe is the one built" 0 $?
menu=$(find "$WINEPREFIX/drive_c" -type d -path '*Start Menu/Programs/Ondrel' | head -1)
check "the Start menu has its three shortcuts" \
    "Site Survey & Configuration Tool.lnk Status Monitor.lnk Uninstall.lnk" \
    "$(cd "$menu" 2>/dev/null && echo *)"
check "the status monitor starts with Windows" "\"$location\\odrstat.exe\"" \
    "$(value "$RUN_KEY" "Ondrel Status Monitor")"
version=$(basename "$SETUP" | sed 's/ondrel-utilities-\(.*\)-setup.exe/\1/')
entry=""
for name in DisplayName DisplayVersion Publisher UninstallString QuietUninstallString \
    DisplayIcon; do
    entry+="$name=$(value "$UNINSTALL_KEY" $name);"
done
check "Add/Remove Programs lists it" \
    "DisplayName=Ondrel Utilities;DisplayVersion=$version;Publisher=Ondrel;UninstallString=\"$location\\uninstall.exe\";QuietUninstallString=\"$location\\uninstall.exe\" /S;DisplayIcon=$location\\odrcfg.exe,0;" \
    "$entry"
size=$(value "$UNINSTALL_KEY" EstimatedSize)
check "with its size in KB" 1 "$(((size) > 500 && (size) < 5000))"

# The installed monitor, started by hand, opens the installed tool on a double click.
start "$dir/odrstat.exe" /simulate
probe wait "$INFO_TITLE" 15000 >/dev/null
check "the installed odrstat runs" 0 $?
probe tray 15000 "$INFO_TITLE" >/dev/null
probe post "$INFO_TITLE" $TRAY_MESSAGE 0 $WM_LBUTTONDBLCLK
probe wait "$TOOL_TITLE" 15000 >/dev/null
check "its double click opens odrcfg" 0 $?
pgrep -f 'Ondrel.odrcfg\.exe' >/dev/null
check "from the installed folder" 0 $?
probe click "$TOOL_TITLE" 1 >/dev/null
probe gone "$TOOL_TITLE" 10000 >/dev/null

# An upgrade over the running monitor: it is asked to close and started again. The user
# had chosen not to start the monitor with Windows (as the installer remembers it), and
# that choice stands.
wine reg add "$UNINSTALL_KEY" /v StartMonitor /t REG_DWORD /d 0 /f >/dev/null 2>&1
before=$(pgrep -f 'Ondrel.odrstat\.exe')
wine "$SETUP" /S
check "installing again while odrstat runs succeeds" 0 $?
probe wait "$INFO_TITLE" 15000 >/dev/null
sleep 2
check "one monitor runs afterwards" 1 "$(probe count "$INFO_TITLE")"
after=$(pgrep -f 'Ondrel.odrstat\.exe')
check "the old one was closed and the new one started" yes \
    "$([[ -n $before && -n $after && $before != "$after" ]] && echo yes || echo "no ($before, $after)")"
check "the monitor is no longer started with Windows" "" \
    "$(value "$RUN_KEY" "Ondrel Status Monitor")"
check "and the choice is still remembered" 0x0 "$(value "$UNINSTALL_KEY" StartMonitor)"

t0=$(seconds)
wine "$dir/uninstall.exe" /S
# The uninstaller runs on from a copy of itself: wait for its work to show.
for _ in $(seq 1 150); do
    [[ -e $dir ]] || break
    sleep 0.2
done
echo "      silent uninstall: $(since "$t0") s"
check "the uninstaller removes the folder" no "$([[ -e $dir ]] && echo yes || echo no)"
check "and the Start menu folder" no "$([[ -e $menu ]] && echo yes || echo no)"
check "and the Run value" "" "$(value "$RUN_KEY" "Ondrel Status Monitor")"
wine reg query "$UNINSTALL_KEY" >/dev/null 2>&1
check "and its Add/Remove Programs entry" 1 $?
check "the monitor it closed is gone" 0 "$(probe count "$INFO_TITLE")"
check "the adapter's stored settings stay" KEEPME "$(value "$ADAPTER_KEY" Master_Name)"
