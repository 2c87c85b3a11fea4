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

# Saves as FILE through the system's Save As dialog titled DIALOG that button BUTTON of window
# WINDOW opens. A click sent while the window is still settling can be lost, so it is
# repeated while no dialog shows; the dialog can be found by its title before it has filled
# its controls (and then fills the suggested name over ours), so the name is read back and
# Save repeated until the dialog closes.
save_through_dialog() {  # save_through_dialog WINDOW BUTTON DIALOG FILE
    local path try
    rm -f "$4"
    path=$(winepath -w "$4" 2>/dev/null)
    for try in 1 2 3; do
        probe click "$1" "$2" >/dev/null
        probe wait "$3" 10000 >/dev/null && break
        echo "note: no \"$3\" dialog after click $try on \"$1\""
        ((try < 3)) || return 1
    done
    for try in 1 2 3 4 5; do
        # The file name box of the system's dialog, then Save.
        probe settext "$3" 1148 "$path" >/dev/null
        if [[ $(probe text "$3" 1148) == "$path" ]]; then
            probe click "$3" 1 >/dev/null
            probe gone "$3" 3000 >/dev/null && return 0
        fi
        echo "note: the \"$3\" dialog is still open after try $try"
        sleep 0.5
    done
    return 1
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
    local path="$ODR_FILES/e2e-$1.ini"
    printf '%s\n' "$2" >"$path"
    winepath -w "$path" 2>/dev/null
}

# The adapter's settings key in the prefix, where the Windows version puts it.
if windows95_family; then
    KEY='HKLM\System\CurrentControlSet\Services\Class\Net\0001'
else
    KEY='HKLM\System\CurrentControlSet\Services\odrwinnt1\Parameters'
fi

# The value's data as reg shows it: a decimal text, or 0x... for a number.
stored() {  # stored NAME
    wine reg query "$KEY" /v "$1" 2>/dev/null | tr -d '\r' |
        awk -v name="$1" '$1 == name { $1 = ""; $2 = ""; sub(/^ +/, ""); print; exit }'
}
# A stored number in decimal, whichever type it has.
stored_number() {  # stored_number NAME
    local value
    value=$(stored "$1")
    if [[ $value == 0x* ]]; then echo $((value)); else echo "$value"; fi
}

# Saves the key as it is and puts it back, value for value, when the script ends; meanwhile
# the key is as the driver's installation leaves it: a Station in domain 1.
seed_adapter_key() {  # seed_adapter_key NAME
    SAVED_KEY="$ODR_FILES/e2e-$1-key.reg"
    HAD_KEY=0
    wine reg export "$KEY" "$(winepath -w "$SAVED_KEY" 2>/dev/null)" /y >/dev/null 2>&1 &&
        HAD_KEY=1
    trap 'restore_adapter_key; finish' EXIT
    write_installed_values
}
# Writes the values the driver's installation leaves in the key: a Station in domain 1.
write_installed_values() {
    local name type=()
    windows95_family || type=(/t REG_DWORD)
    wine reg add "$KEY" /v Master_Name /d MASTER /f >/dev/null
    windows95_family && wine reg add "$KEY" /v DeviceVxDs /d odrwin95.sys /f >/dev/null
    for name in Station_Type:0 Domain:1 Channel:1 Subchannel:1 Roam_Config:1; do
        wine reg add "$KEY" /v "${name%%:*}" "${type[@]}" /d "${name#*:}" /f >/dev/null
    done
}
restore_adapter_key() {
    wine reg delete "$KEY" /f >/dev/null 2>&1
    if ((HAD_KEY)); then
        wine reg import "$(winepath -w "$SAVED_KEY" 2>/dev/null)" >/dev/null 2>&1
    fi
}

# The control ids of a window, in order, without its unnamed labels.
control_ids() {  # control_ids TITLE
    probe dump "$1" | awk 'NR > 1 && $1 != -1 { print $1 }' | sort -n | uniq | tr '\n' ' ' |
        sed 's/ $//'
}

# Per pixel column of the Snoop window's graph: how many navy (average) and green (peak)
# pixels it holds.
snoop_column_counts() {
    local graph=$ODR_FILES/e2e-snoop.png x y w h
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
