#!/usr/bin/env bash
# Start-up of the real program under Xvfb with a PulseAudio null sink: time from exec to the
# main window on screen, to the first clock tick (the caption turns into the clock; the tick
# timer runs 1000 ms after start-up by design, so that interval is also shown subtracted), and
# the resident memory once the first tick has run. Median of RUNS first runs (default 10).
# Usage: bench/startup.sh BUILD_DIR
BUILD=${1:-build}
RUNS=${RUNS:-10}
. "$(dirname "$0")/../tests/e2e/e2e_common.sh"
HORAVOX="$BUILD/horavox"
start_x
start_pulse

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }

for run in $(seq "$RUNS"); do
    app="$E2E_WORK/run$run"
    install_app "$app" "$BUILD/chars"
    t0=$(date +%s%N)
    LC_ALL=en_US.UTF-8 "$app/horavox" >/dev/null 2>&1 &
    pid=$!
    until xdotool search --onlyvisible --name '^Horavox' >/dev/null 2>&1; do :; done
    t1=$(date +%s%N)
    until xdotool search --onlyvisible --name '^Horavox - ' >/dev/null 2>&1; do :; done
    t2=$(date +%s%N)
    rss=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status")
    kill "$pid"; wait "$pid" 2>/dev/null || true
    echo "$(((t1 - t0) / 1000000)) $(((t2 - t0) / 1000000)) $((rss / 1024))"
done >"$E2E_WORK/results"

shown=$(awk '{print $1}' "$E2E_WORK/results" | median)
tick=$(awk '{print $2}' "$E2E_WORK/results" | median)
rss=$(awk '{print $3}' "$E2E_WORK/results" | median)
echo "runs: $RUNS (first runs, each from a folder of its own)"
echo "exec to window shown:        ${shown} ms (median)"
echo "exec to first clock tick:    ${tick} ms (median), $(awk -v t="$tick" "BEGIN {print t - 1000}") ms without the 1000 ms tick interval"
echo "resident memory after start: ${rss} MB (median)"
