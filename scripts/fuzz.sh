#!/usr/bin/env bash
# Runs every fuzz target of a libFuzzer build for SECONDS each, starting from the corpus in
# the tree (new finds go to BUILD/corpus, not into the tree), and prints per target the
# executions, the final coverage and whether it found a crash, a hang or a broken invariant.
# Usage: scripts/fuzz.sh BUILD SECONDS [TARGET...]  (all targets when none is named)
set -uo pipefail
build=$(cd "${1:?usage: fuzz.sh BUILD SECONDS}" && pwd)
seconds=${2:-60}
shift 2 2>/dev/null || shift $#
root=$(cd "$(dirname "$0")/.." && pwd)
found=0
printf '%-18s %12s %8s %8s  %s\n' target executions coverage features result
programs=("$build"/fuzz/fuzz_*)
(($# > 0)) && programs=("${@/#/$build/fuzz/}")
for program in "${programs[@]}"; do
    name=$(basename "$program")
    [[ -x $program ]] || { echo "fuzz: no target $name in $build/fuzz" >&2; exit 2; }
    work="$build/corpus/$name"
    artifacts="$build/artifacts/$name/"
    mkdir -p "$work" "$artifacts"
    seeds=("$root/tests/fuzz/corpus/$name")
    [[ $name == fuzz_scenario ]] && seeds+=("$root/scenarios")
    log="$build/$name.log"
    "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$artifacts" "$work" "${seeds[@]}" >"$log" 2>&1
    status=$?
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    result=clean
    if ((status != 0)); then
        result="FOUND: $(ls "$artifacts" | head -1) (see $log)"
        found=1
    fi
    printf '%-18s %12s %8s %8s  %s\n' "$name" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$result"
done
exit $found
