#!/usr/bin/env bash
# Alarms of the real program: one-time alarms of earlier days are reported in one box at
# start-up and removed from Alarms.dat; a daily alarm brings its character when its minute
# comes, the character stays and repeats the message the minute after, with sound both times,
# and a double-click sends it away.
# Usage: test_alarms.sh HORAVOX CHARACTER_FOLDER
HORAVOX=$1
CHARACTERS=$2
. "$(dirname "$0")/e2e_common.sh"

start_with_app
character=$(basename "$(ls "$app/chars"/*.acs | head -1)" .acs)
printf '"%s",0,1,2,6,#FALSE#,"%s/chars/"\r\n' "$character" "$app" >"$app/Settings.ini"

# The clock's first minute boundary after start-up only puts it on the minute; the alarm is for
# the boundary after that. A start close to a boundary moves both a minute on.
now=$(date +%s)
sync=$((now - now % 60 + 60))
[ $((sync - now)) -ge 20 ] || sync=$((sync + 60))
due=$((sync + 60))
daily=$(printf '"%s","Daily","Daily","%s","Wake up now"' "$(date -d "@$due" +%H:%M)" "$character")
{
    printf '"09:00","Once","1/2/2020","%s","Long ago"\r\n' "$character"
    printf '%s\r\n' "$daily"
    printf '"23:59","Once","%s","%s","Yesterday"\r\n' "$(date -d yesterday +%-m/%-d/%Y)" "$character"
} >"$app/Alarms.dat"
echo "daily alarm: $daily"

echo "-- missed alarms at start-up"
launch_app "$app"
box=$(wait_for_window '^2 Missed Alarm\(s\)!$' 20) || fail "no '2 Missed Alarm(s)!' box"
echo "box: $(xdotool getwindowname "$box")"
timeout 10 xdotool windowfocus --sync "$box" || fail "the box did not take the focus"
xdotool key Return
for _ in $(seq 100); do
    xdotool search --onlyvisible --name '^2 Missed Alarm' >/dev/null 2>&1 || break
    sleep 0.05
done
xdotool search --onlyvisible --name '^2 Missed Alarm' >/dev/null 2>&1 && fail "the box stayed"
printf '%s\r\n' "$daily" >"$E2E_WORK/expected.dat"
cmp -s "$E2E_WORK/expected.dat" "$app/Alarms.dat" || fail "Alarms.dat holds '$(cat "$app/Alarms.dat")'"
echo "Alarms.dat holds the daily alarm only"
[ "$(date +%s)" -lt "$((sync - 1))" ] || fail "start-up took until the clock's first minute boundary"

echo "-- the daily alarm at $(date -d "@$due" +%H:%M:%S)"
start_recording "$E2E_WORK/monitor.raw"
recorded=$(date +%s)
seconds_to() { echo $(($1 - $(date +%s))); }
sleep_until() {
    local left
    left=$(seconds_to "$1")
    [ "$left" -le 0 ] || sleep "$left"
}
id=$(wait_for_character 0 $(($(seconds_to "$due") + 10))) || fail "no character after the alarm minute"
echo "character ${id#* } after $(($(date +%s) - due)) s past the minute"
[ "$(date +%s)" -ge "$due" ] || fail "the character came before the alarm minute"
# An announcement hides its character within seconds; the alarm's stays until the next minute.
sleep_until $((due + 50))
character_window 0 >/dev/null || fail "the character left before the next minute"
sleep_until $((due + 80))
character_window 0 >/dev/null || fail "the character left after repeating"
first=$(rms_of "$E2E_WORK/monitor.raw" $((due - recorded)) 20)
second=$(rms_of "$E2E_WORK/monitor.raw" $((due + 60 - recorded)) 20)
echo "sound RMS in the alarm minute: $first, in the minute after: $second"
awk -v a="$first" -v b="$second" 'BEGIN { exit !(a >= 0.01 && b >= 0.01) }' ||
    fail "the monitor did not hear the alarm in both minutes"

echo "-- a double-click sends the character away"
window=${id%% *}
read -r width height < <(xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}')
xdotool mousemove --window "$window" $((width / 2)) $((height / 2)) click --repeat 2 --delay 80 1
wait_for_no_character 0 15 || fail "the character stayed after the double-click"
echo "the character left"

echo "1 passed, 0 failed"
