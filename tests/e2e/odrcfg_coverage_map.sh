#!/usr/bin/env bash
# odrcfg on the simulated office site: the Site Survey's "&Map..." opens "Coverage Map" on
# the site's plan; clicks near NORTH-WING, near SOUTH-WING and in the archive behind the
# concrete measure there (the simulated laptop moves to each); the survey is saved and the
# next point lands in the file at once; the CSV and the heat map's bitmap are exported: the
# signal falls where the walls say, and the markers take the legend's colours.
source "$(dirname "$0")/odrcfg_lib.sh"

SURVEY="Site Survey"
MAP="Coverage Map"
VIEW=1200
FLOOR_TEXT=1210
STATUS=1216
PLAN_W=800 PLAN_H=500 FLOOR_W=40 FLOOR_H=25

# Clicks the floor at metres X, Y: the plan fills the frame's inside (one pixel of frame)
# with its aspect kept, centred.
click_floor() {  # click_floor X_M Y_M
    local x y w h fw fh
    read -r x y w h < <(probe rect "$MAP" $VIEW)
    w=$((w - 2))
    h=$((h - 2))
    if ((w * PLAN_H <= h * PLAN_W)); then
        fw=$w fh=$((w * PLAN_H / PLAN_W))
    else
        fh=$h fw=$((h * PLAN_W / PLAN_H))
    fi
    probe clickat "$MAP" $VIEW \
        "$(awk -v o=$(((w - fw) / 2)) -v f=$fw -v m="$1" -v s=$FLOOR_W 'BEGIN { printf "%d", 1 + o + m * f / s }')" \
        "$(awk -v o=$(((h - fh) / 2)) -v f=$fh -v m="$2" -v s=$FLOOR_H 'BEGIN { printf "%d", 1 + o + m * f / s }')" \
        >/dev/null
}

# Measures at X, Y; prints the status line that reports point N.
measure() {  # measure N X_M Y_M
    click_floor "$2" "$3"
    poll_for_prefix 30000 "Point $1: " probe text "$MAP" $STATUS
}

# The colour of pixel X, Y of bitmap FILE, as "R,G,B".
pixel() {  # pixel FILE X Y
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info: 2>/dev/null
}

start "$ODRCFG" "/simulate:$(winepath -w "$ODR_SOURCE_DIR/scenarios/office.ini" 2>/dev/null)"
probe wait "$MAIN_TITLE" 15000
line=$(wait_status_line 20000 "Synchronized to ")
check "the laptop at the reception is synchronised to SOUTH-WING" \
    "Synchronized to 0020a6120002  SOUTH-WING" "$line"
probe click "$MAIN_TITLE" 1001 >/dev/null
probe wait "$SURVEY" 10000 >/dev/null
check "\"&Site Survey...\" opens \"$SURVEY\"" 0 $?
probe click "$SURVEY" 1170 >/dev/null
probe wait "$MAP" 10000 >/dev/null
check "\"&Map...\" opens \"$MAP\"" 0 $?
check "on the site's plan and scale" "office.bmp, 40 x 25 m" "$(probe text "$MAP" $FLOOR_TEXT)"

line=$(measure 1 18 7)
check_prefix "a click in the open plan measures NORTH-WING there" "Point 1: NORTH-WING, signal " "$line"
line=$(measure 2 39 24)
check "the archive's far corner, behind the concrete, hears no master" "Point 2: no master." "$line"
survey_file="$ODR_FILES/e2e-office.cov"
save_through_dialog "$MAP" 1225 "Save Survey" "$survey_file"
check "the survey is saved" "Ondrel coverage survey 1" "$(head -1 "$survey_file" | tr -d '\r')"
line=$(measure 3 14 18)
check_prefix "a click in SUPPORT measures SOUTH-WING" "Point 3: SOUTH-WING, signal " "$line"
check "and the saved survey has it at once" 3 "$(grep -c '^point ' "$survey_file")"

csv="$ODR_FILES/e2e-office.csv"
save_through_dialog "$MAP" 1227 "Export CSV" "$csv"
rows=$(tr -d '\r' <"$csv")
check_prefix "the CSV's header" "time,x_m,y_m,station,address,role,signal,link_quality,synchronised_master" \
    "$(head -1 <<<"$rows")"
# The signal of each point's own master: strong next to it, nothing behind the concrete.
north=$(awk -F, '$5 == "0020a6120001" && $6 == "master" { print $7; exit }' <<<"$rows")
south=$(awk -F, '$5 == "0020a6120002" && $6 == "master" { print $7; exit }' <<<"$rows")
check "NORTH-WING is good (70 % or more) four metres from it" 1 "$((north >= 70))"
check "SOUTH-WING is good next to it" 1 "$((south >= 70))"
check "the archive's corner is one row with no station and no master" 1 \
    "$(awk -F, 'NR > 1 && $4 == "" && $5 == "" && $9 == ""' <<<"$rows" | grep -c .)"

image="$ODR_FILES/e2e-office.bmp"
save_through_dialog "$MAP" 1226 "Export Image" "$image"
size=$(identify -format '%w %h' "$image" 2>/dev/null)
check "the exported map is the plan's width, with the legend below" 1 \
    "$([[ ${size% *} == "$PLAN_W" && ${size#* } -gt $PLAN_H ]] && echo 1 || echo 0)"
# Markers take the band colour of their value: good green near the masters, poor red where
# nothing was heard.
check "the marker near NORTH-WING is good green" "0,192,0" "$(pixel "$image" 360 140)"
check "the marker in the archive's corner is poor red" "230,0,0" "$(pixel "$image" 780 480)"

probe click "$MAP" 1229 >/dev/null
probe gone "$MAP" 10000
check "Done closes the map (everything is saved)" 0 $?
probe click "$SURVEY" 1 >/dev/null
probe gone "$SURVEY" 5000
exit_odrcfg
finish
