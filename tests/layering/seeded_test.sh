#!/usr/bin/env bash
# The layering check on a copy of the tree with three wrong includes seeded: it must fail
# and name each one by file and line, and pass on the copy once they are taken out.
#   seeded_test.sh ROOT
set -euo pipefail

root=${1:?usage: seeded_test.sh ROOT}
check=$root/tests/layering/check_layering.sh
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
(cd "$root" && tar -cf - --exclude=./build --exclude=./.git --exclude=./tests --exclude=./bench .) |
    tar -xf - -C "$copy"

seed() {  # FILE TEXT: appends an include line to an existing file, prints FILE:LINE
    [[ -f $copy/$1 ]] || { echo "FAIL: no $1 to seed" >&2; exit 1; }
    echo "$2" >>"$copy/$1"
    echo "$1:$(wc -l <"$copy/$1")"
}
tool=$(seed survey/SurveyScroll.h '#include "shell/MainDlg.h"')
sim=$(seed shell/kit/HelpFile.cpp '#include "sim/Scenario.h"')
windows=$(seed driver/Queries.cpp '#include <windows.h>')

if out=$(bash "$check" "$copy"); then
    echo "FAIL: the check passed with wrong includes seeded"
    exit 1
fi
for where in "$tool" "$sim" "$windows"; do
    grep -q "^$where: " <<<"$out" || { echo "FAIL: $where not named:"; echo "$out"; exit 1; }
done
[[ $(wc -l <<<"$out") == 3 ]] || { echo "FAIL: more than the seeded includes reported:"; echo "$out"; exit 1; }
echo "$out"

for file in survey/SurveyScroll.h shell/kit/HelpFile.cpp driver/Queries.cpp; do
    sed -i '$d' "$copy/$file"
done
bash "$check" "$copy"
