#!/usr/bin/env bash
# The runtime library members the shipped programs do without, each tens of KB: links each
# program again with a map (into a scratch folder) and fails, naming the member and what
# stands in for it, when a change has linked one of them again. Where the rest of the bytes
# go: scripts/linkmap.py.
#   runtime_test.sh BUILD PROGRAM...
set -euo pipefail

build=${1:?usage: runtime_test.sh BUILD PROGRAM...}
shift
kept_out=(
    "mingw_pformat.o:the C99 printf; format through platform/Format.h"
    "strtodg.o:the C library's strtod; the readers read their own decimals"
    "functexcept.o:the C++ library's error raisers; main/LibraryErrors.cpp defines them"
    "cow-stdexcept.o:the copy-on-write exception strings; main/LibraryErrors.cpp"
    "cp-demangle.o:the name demangler; main/TerminateHandler.cpp"
)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
for program; do
    link=$(grep -F -- " -o $program.exe" "$build/CMakeFiles/$program.dir/link.txt")
    map=$scratch/$program.map
    (cd "$build" && eval "${link/ -o $program.exe/ -o $scratch/$program.exe -Wl,-Map,$map}")
    for entry in "${kept_out[@]}"; do
        member=${entry%%:*}
        if grep -Eq "[(-]${member//./\\.}\)" "$map"; then
            echo "FAIL: $program.exe links $member again: ${entry#*:}"
            status=1
        fi
    done
    [[ $status == 0 ]] && echo "$program.exe: none of the ${#kept_out[@]} members kept out is linked"
done
exit "$status"
