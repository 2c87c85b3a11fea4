#!/usr/bin/env bash
# The sizes of the shipped 32-bit programs against their goals, and the size of each of
# their sections, so that a change that grows them shows. Needs only mingw's objdump.
#   scripts/sizes.sh BUILD    (a 32-bit Windows build: build/win32 or build/dist)
set -euo pipefail

build=${1:?usage: sizes.sh BUILD}
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}  # reads 32-bit and 64-bit programs alike

goal_kb() {
    case $1 in
        odrstat.exe) echo 100 ;;
        odrcfg.exe) echo 200 ;;
    esac
}

echo "== sizes of the shipped 32-bit programs against their goals ($build)"
shown=0
for exe in odrstat.exe odrcfg.exe; do
    file=$build/$exe
    [[ -f $file ]] || continue
    if ! "$objdump" -f "$file" | grep -q 'file format pei-i386'; then
        echo "$exe in $build is not a 32-bit program: no figures against the goal"
        continue
    fi
    bytes=$(stat -c %s "$file")
    kb=$(((bytes + 1023) / 1024))
    goal=$(goal_kb "$exe")
    if ((bytes > goal * 1024)); then
        verdict="$((kb - goal)) KB over"
    else
        verdict="within, $((goal - kb)) KB to spare"
    fi
    printf '%-12s %8d bytes %5d KB   goal %4d KB: %s\n' "$exe" "$bytes" "$kb" "$goal" "$verdict"
    # "  .text 300000  .rdata 27480 ...": every section's size in bytes.
    "$objdump" -h "$file" | while read -r index name size _; do
        if [[ $index =~ ^[0-9]+$ ]]; then printf '  %s %d' "$name" "$((16#$size))"; fi
    done
    echo
    shown=1
done
if ((shown == 0)); then
    echo "the 32-bit programs are not built in $build: make win32 builds them (mingw alone," \
        "no 32-bit Wine)"
fi
