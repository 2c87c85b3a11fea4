# Helpers for scripts that drive the programs under Wine with the probe: sourced inside a
# Wine session (scripts/winesession.sh), with $build the Windows build.

probe() { wine "$build/probe/odrprobe.exe" "$@" 2>/dev/null | tr -d '\r'; }

# wait_text TITLE ID PREFIX: waits up to 20 s for control ID of the window TITLE to show a
# text that begins with PREFIX; fails if it does not.
wait_text() {
    local _
    for _ in $(seq 1 100); do
        probe text "$1" "$2" | grep -q "^$3" && return 0
        sleep 0.2
    done
    return 1
}

# cpu_ticks PID: the process's user and system time, in clock ticks.
cpu_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }

# cpu_over PID SECONDS LABEL: the CPU time PID takes over SECONDS, printed as
# "LABEL: N ms CPU in SECONDS s (P % of one core)".
cpu_over() {
    local before after
    before=$(cpu_ticks "$1")
    sleep "$2"
    after=$(cpu_ticks "$1")
    awk -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" -v s="$2" -v what="$3" 'BEGIN {
        printf "%s: %.0f ms CPU in %d s (%.3f %% of one core)\n",
               what, 1000 * t / hz, s, 100 * t / hz / s }'
}
