#!/usr/bin/env bash
# Reads a program's import table and fails, naming each function, on any import that the
# allowlist does not hold; prints the PE header's OS and subsystem versions and fails when
# they are above 4.0 (Windows 95 and NT 4 refuse to load such a program).
#   check_imports.sh OBJDUMP ALLOWLIST PROGRAM.exe
# The allowlist has a "[dll]" line before the functions of each DLL, one name a line.
set -euo pipefail

objdump=${1:?usage: check_imports.sh OBJDUMP ALLOWLIST PROGRAM}
allowlist=${2:?}
program=${3:?}

dump=$("$objdump" -p "$program")
version() { awk -v key="$1" '$1 == key { print $2; exit }' <<<"$dump"; }
os="$(version MajorOSystemVersion).$(version MinorOSystemVersion)"
subsystem="$(version MajorSubsystemVersion).$(version MinorSubsystemVersion)"
echo "$(basename "$program"): OS version $os, subsystem version $subsystem"

# "dll function" pairs, DLL names in lower case.
imports=$(awk '
    /^[ \t]*DLL Name:/ { dll = tolower($3); next }
    dll != "" && /^[ \t]*$/ { next }
    dll != "" && /^[ \t]*[0-9a-f]+[ \t]+[0-9]+[ \t]+[A-Za-z_]/ { print dll, $3; next }
    /^[ \t]*vma:/ { next }
    /^There is|^The Import Tables/ { next }
' <<<"$dump" | sort -u)
allowed=$(awk '
    /^[ \t]*(#|$)/ { next }
    /^\[.*\]$/ { dll = tolower(substr($0, 2, length($0) - 2)); next }
    { print dll, $1 }
' "$allowlist" | sort -u)

outside=$(comm -23 <(echo "$imports") <(echo "$allowed"))
count=$(grep -c . <<<"$imports" || true)
status=0
if [[ -n $outside ]]; then
    while read -r dll function; do
        echo "FAIL: $(basename "$program") imports $function from $dll, which Windows 95 or NT 4 lacks (not in $(basename "$allowlist"))"
    done <<<"$outside"
    status=1
fi
for v in "$os" "$subsystem"; do
    if [[ ! $v =~ ^[0-9]+\.[0-9]+$ ]] || ((${v%.*} > 4 || (${v%.*} == 4 && ${v#*.} > 0))); then
        echo "FAIL: $(basename "$program") asks for Windows $v (above 4.0) in its PE header"
        status=1
    fi
done
((status == 0)) && echo "$(basename "$program"): $count imports, all in $(basename "$allowlist")"
exit "$status"
