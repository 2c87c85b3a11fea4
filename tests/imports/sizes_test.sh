#!/usr/bin/env bash
# scripts/sizes.sh on the built 32-bit programs: each one's exact size and the right verdict
# against its goal; on a build without them (a 64-bit host's), a note and success, so that
# make bench goes on.
#   sizes_test.sh SIZES_SCRIPT BUILD
set -euo pipefail

sizes=${1:?usage: sizes_test.sh SIZES_SCRIPT BUILD}
build=${2:?}
status=0

out=$(bash "$sizes" "$build")
for entry in odrstat.exe:100 odrcfg.exe:200; do
    exe=${entry%:*} goal=${entry#*:}
    bytes=$(stat -c %s "$build/$exe")
    verdict="KB to spare"
    ((bytes > goal * 1024)) && verdict="KB over"
    if ! grep -Eq "^$exe +$bytes bytes .* goal +$goal KB: .*$verdict\$" <<<"$out"; then
        echo "FAIL: no line \"$exe $bytes bytes ... goal $goal KB: ... $verdict\" in:"
        echo "$out"
        status=1
    fi
done

empty=$(mktemp -d)
trap 'rm -rf "$empty"' EXIT
if ! out=$(bash "$sizes" "$empty") || [[ $out != *"32-bit programs are not built"* ]]; then
    echo "FAIL: a build without the programs: $out"
    status=1
fi
exit "$status"
