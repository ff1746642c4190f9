#!/usr/bin/env bash
# Alarms of the real program on a wall clock that libfaketime moves: one-time alarms of earlier
# days are reported in one box at start-up and removed from Alarms.dat; the alarm of the first
# minute boundary after start-up brings its character, with sound; a clock set three minutes on
# fires the alarms of the minutes it skipped; a clock set back fires nothing a second time; after
# a suspend of half an hour the alarms of the gap, from its first minute to its last, are
# reported and removed, and the alarm of the minute it wakes in fires. Then SIGTERM, SIGHUP and the X server going away each save both files.
# Usage: test_alarms.sh HORAVOX CHARACTER_FOLDER
HORAVOX=$1
CHARACTERS=$2
. "$(dirname "$0")/e2e_common.sh"

start_with_app
character=$(basename "$(ls "$app/chars"/*.acs | head -1)" .acs)
printf '"%s",0,1,2,6,#FALSE#,"%s/chars/"\r\n' "$character" "$app" >"$app/Settings.ini"
cp "$app/Settings.ini" "$E2E_WORK/expected.ini"

# The program's wall clock is the real one plus an offset read from a file; its timers keep the
# real monotonic clock, as they do when the time is set or the machine sleeps.
clock_file="$E2E_WORK/faketime"
offset=0
step_clock() {
    offset=$((offset + $1))
    printf '%+d\n' "$offset" >"$clock_file"
    sleep 1.2 # the library reads the file again after a second
}
fake_now() { echo $(($(date +%s) + offset)); }
wait_for_clock() {
    local left=$(($1 - $(fake_now)))
    [ "$left" -le 0 ] || sleep "$left"
}

ten=$(date -d "$(date +%F) 10:00:00" +%s)
offset=$((ten - 25 - $(date +%s)))
printf '%+d\n' "$offset" >"$clock_file"
day=$(date -d "@$ten" +%-m/%-d/%Y)
line() { printf '"%s","%s","%s","%s","%s"\r\n' "$1" "$2" "$3" "$character" "$4"; }
daily=$(line 10:00 Daily Daily "Wake up now")
{
    line 09:00 Once 1/2/2020 "Long ago"
    line 23:59 Once "$(date -d "$(date +%F) yesterday" +%-m/%-d/%Y)" Yesterday
    printf '%s\n' "$daily"
    line 10:02 Once "$day" "Two past"
    line 10:03 Once "$day" "Three past"
    line 10:05 Once "$day" "First of the gap"
    line 10:31 Once "$day" "Last of the gap"
    line 10:32 Once "$day" "Back from the gap"
} >"$app/Alarms.dat"
expect_alarms() {
    printf '%s\n' "$daily" >"$E2E_WORK/expected.dat"
    local time
    for time in "$@"; do grep "^\"$time\"" "$app/Alarms.dat" >>"$E2E_WORK/expected.dat" || true; done
    cmp -s "$E2E_WORK/expected.dat" "$app/Alarms.dat" ||
        fail "Alarms.dat holds '$(cat "$app/Alarms.dat")', not '$(cat "$E2E_WORK/expected.dat")'"
    echo "Alarms.dat holds the daily alarm${*:+ and those of $*}"
}

echo "-- missed alarms at start-up, the clock at $(date -d "@$(fake_now)" +%T)"
faketime_lib=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -1 || true)
[ -n "$faketime_lib" ] || fail "libfaketime is not installed"
FAKETIME_TIMESTAMP_FILE="$clock_file" FAKETIME_CACHE_DURATION=1 FAKETIME_DONT_FAKE_MONOTONIC=1 \
    LD_PRELOAD="$faketime_lib" launch_app "$app"
pid=$!
box=$(wait_for_window '^2 Missed Alarm\(s\)!$' 20) || fail "no '2 Missed Alarm(s)!' box"
echo "box: $(xdotool getwindowname "$box")"
timeout 10 xdotool windowfocus --sync "$box" || fail "the box did not take the focus"
xdotool key Return
wait_for_no_window '^2 Missed Alarm' 5 || fail "the box stayed"
expect_alarms 10:02 10:03 10:05 10:31 10:32
[ "$(fake_now)" -lt "$((ten - 1))" ] || fail "start-up took until the clock's first minute boundary"

echo "-- the first minute boundary, 10:00"
start_recording "$E2E_WORK/monitor.raw"
recorded=$(date +%s)
id=$(wait_for_character 0 $((ten - $(fake_now) + 10))) || fail "no character after 10:00"
echo "character ${id#* } at $(date -d "@$(fake_now)" +%T)"
[ "$(fake_now)" -ge "$ten" ] || fail "the character came before 10:00"
first=$((ten - offset - recorded))

echo "-- the clock set three minutes on at 10:00:50"
wait_for_clock $((ten + 50))
step_clock 180
wait_for_clock $((ten + 4 * 60 + 5))
expect_alarms 10:05 10:31 10:32
character_window 0 >/dev/null || fail "the character left"
sleep 10
second=$((ten + 240 - offset - recorded))
rms_first=$(rms_of "$E2E_WORK/monitor.raw" "$first" 15)
rms_second=$(rms_of "$E2E_WORK/monitor.raw" "$second" 10)
echo "sound RMS from 10:00: $rms_first, from 10:04: $rms_second"
awk -v a="$rms_first" -v b="$rms_second" 'BEGIN { exit !(a >= 0.01 && b >= 0.01) }' ||
    fail "the monitor did not hear the alarms"

echo "-- a double-click sends the character away"
window=${id%% *}
read -r width height < <(xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}')
xdotool mousemove --window "$window" $((width / 2)) $((height / 2)) click --repeat 2 --delay 80 1
wait_for_no_character 0 15 || fail "the character stayed after the double-click"

echo "-- the clock set back five minutes at $(date -d "@$(fake_now)" +%T)"
step_clock -300
wait_for_clock $((ten + 8))
character_window 0 >/dev/null && fail "the 10:00 alarm fired a second time"
echo "nothing fired again at $(date -d "@$(fake_now)" +%T)"

echo "-- a suspend from 10:00:57 to 10:32"
wait_for_clock $((ten + 57))
kill -STOP "$pid"
step_clock $((31 * 60))
sleep 4
kill -CONT "$pid"
for _ in $(seq 100); do [ "$(grep -c . "$app/Alarms.dat")" = 1 ] && break; sleep 0.1; done
expect_alarms
echo "at $(date -d "@$(fake_now)" +%T)"

for how in TERM HUP X; do
    echo "-- both files saved on $how"
    if [ "$how" != TERM ]; then
        launch_app "$app"
        pid=$!
        for _ in $(seq 200); do xdotool search --pid "$pid" >/dev/null 2>&1 && break; sleep 0.05; done
        xdotool search --pid "$pid" >/dev/null 2>&1 || fail "the program did not start"
        sleep 1
    fi
    rm "$app/Settings.ini" "$app/Alarms.dat"
    if [ "$how" = X ]; then kill "${E2E_PIDS[0]}"; else kill -"$how" "$pid"; fi
    status=0
    timeout 5 tail --pid="$pid" -f /dev/null || fail "the program did not end on $how"
    wait "$pid" || status=$?
    echo "ended with status $status"
    [ "$status" -lt 128 ] || fail "the program died of signal $((status - 128))"
    cmp -s "$E2E_WORK/expected.ini" "$app/Settings.ini" || fail "Settings.ini: '$(cat "$app/Settings.ini")'"
    expect_alarms
done

echo "1 passed, 0 failed"
