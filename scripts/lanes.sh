#!/usr/bin/env bash
# Runs lanes of Windows-side tests side by side: each lane is a Wine session of its own (a
# copy of its build's prefix, its own wineserver and display), so lanes never meet. The
# tests mostly wait on the programs they drive, so a few lanes share two cores well.
#   scripts/lanes.sh [-j JOBS] LANE...
# A LANE is "NAME;BUILD;VERSION;COMMAND": the session's build folder, the Windows version the
# programs see (empty: Wine's default) and the command run in the session. A lane's output
# is printed when it ends; the last lines give each lane's time. Fails when a lane fails.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
jobs=4
if [[ ${1:-} == -j ]]; then
    jobs=$2
    shift 2
fi
(($# > 0)) || { echo "usage: lanes.sh [-j JOBS] NAME;BUILD;VERSION;COMMAND..." >&2; exit 2; }

logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

# Each build's own prefix is made (or checked) first, one session at a time: the lanes copy it.
declare -A prepared=()
for lane in "$@"; do
    IFS=';' read -r _ build _ _ <<<"$lane"
    [[ -n ${prepared[$build]:-} ]] && continue
    prepared[$build]=1
    bash "$root/scripts/winesession.sh" "$build" -- true >/dev/null ||
        { echo "lanes: the Wine prefix of $build could not be made" >&2; exit 1; }
done

declare -A names=() started=()
results=()
failed=0
# Waits for one lane to end and prints it.
reap() {
    local pid status name took
    wait -n -p pid
    status=$?
    name=${names[$pid]}
    took=$((SECONDS - ${started[$pid]}))
    unset "names[$pid]"
    echo "== lane $name: $([[ $status == 0 ]] && echo passed || echo FAILED) in ${took} s"
    cat "$logs/$name.log"
    results+=("$(printf '%-20s %4d s  %s' "$name" "$took" "$([[ $status == 0 ]] && echo passed || echo FAILED)")")
    [[ $status == 0 ]] || failed=1
}

for lane in "$@"; do
    IFS=';' read -r name build version command <<<"$lane"
    while ((${#names[@]} >= jobs)); do reap; done
    echo "== lane $name: started ($build${version:+, Windows $version})"
    ODR_LANE=$name ODR_WINE_VERSION=$version \
        bash "$root/scripts/winesession.sh" "$build" -- bash -c "$command" \
        >"$logs/$name.log" 2>&1 </dev/null &
    names[$!]=$name
    started[$!]=$SECONDS
done
while ((${#names[@]} > 0)); do reap; done

echo "== lanes (${jobs} at a time), $SECONDS s in all:"
printf '   %s\n' "${results[@]}"
exit $failed
