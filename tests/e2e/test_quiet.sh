#!/usr/bin/env bash
# Quiet times of the real program, with the time announced every minute: no announcement in
# quiet hours, none while a full-screen window is active (under a window manager), none while the desktop's
# notification service on a private session bus reports Inhibited, and none while its screen
# saver reports the lock, during which a due alarm waits and then rings once unlocked; the
# caption is on the 24-hour clock. Silence and sound are measured on the null sink's monitor;
# the log says why it was quiet.
# Usage: test_quiet.sh HORAVOX CHARACTER_FOLDER
HORAVOX=$1
CHARACTERS=$2
. "$(dirname "$0")/e2e_common.sh"

start_with_app
openbox --sm-disable >"$E2E_WORK/openbox.log" 2>&1 &
window_manager=$!
E2E_PIDS+=($window_manager)
dbus-daemon --session --nofork --print-address=1 >"$E2E_WORK/bus" 2>"$E2E_WORK/dbus.log" &
E2E_PIDS+=($!)
DBUS_SESSION_BUS_ADDRESS=$(wait_for_line "$E2E_WORK/bus" . 5) || fail "dbus-daemon did not start"
export DBUS_SESSION_BUS_ADDRESS
state="$E2E_WORK/desktop-state"
: >"$state"
/usr/bin/python3 "$E2E_DIR/quiet_desktop.py" "$state" >"$E2E_WORK/desktop.out" \
    2>"$E2E_WORK/desktop.log" &
E2E_PIDS+=($!)
wait_for_line "$E2E_WORK/desktop.out" '^ready$' 5 >/dev/null || fail "the desktop services did not start"

character=$(basename "$(ls "$app/chars"/*.acs | head -1)" .acs)
printf '"%s",0,1,2,5,#FALSE#,"%s/chars/"\r\n' "$character" "$app" >"$app/Settings.ini"
# The first minute boundary only puts the clock on the minute; the five after it are the cases.
now=$(date +%s)
sync=$((now - now % 60 + 60))
[ $((sync - now)) -ge 20 ] || sync=$((sync + 60))
hours=$((sync + 60)) full=$((sync + 120)) inhibited=$((sync + 180)) locked=$((sync + 240))
unlocked=$((sync + 300))
hhmm() { date -d "@$1" +%H:%M; }
mkdir -p "$XDG_CONFIG_HOME/Horavox"
printf '[General]\nPeriods=%s-%s\nTwentyFourHour=true\n' "$(hhmm $hours)" "$(hhmm $full)" \
    >"$XDG_CONFIG_HOME/Horavox/Quiet Times.ini"
printf '"%s","Daily","Daily","%s","Wake up now"\r\n' "$(hhmm $locked)" "$character" >"$app/Alarms.dat"
sleep_until() {
    local left=$(($1 - $(date +%s)))
    [ "$left" -le 0 ] || sleep "$left"
}

launch_app "$app"
start_recording "$E2E_WORK/monitor.raw"
recorded=$(date +%s)

# expect_log SECONDS REGEX: the program's log says so within that many seconds.
expect_log() {
    wait_for_line "$E2E_WORK/app.log" "$2" "$1" || fail "the log does not say '$2'"
}
# quiet_minute START: the null sink heard nothing for 20 s from START.
quiet_minute() {
    local rms
    rms=$(rms_of "$E2E_WORK/monitor.raw" $(($1 - recorded)) 20)
    echo "sound RMS from $(date -d "@$1" +%T): $rms"
    awk -v r="$rms" 'BEGIN { exit !(r < 0.002) }' || fail "the program was heard at $(hhmm "$1")"
}

echo "-- $(hhmm $hours): quiet hours $(hhmm $hours)-$(hhmm $full)"
sleep_until $((hours + 20))
expect_log 5 "no announcement at $(hhmm $hours) - quiet hours"
quiet_minute $hours
# A full-screen window, made so by the window manager and active.
/usr/bin/python3 "$E2E_DIR/full_screen_window.py" >"$E2E_WORK/window.out" 2>"$E2E_WORK/window.log" &
window_pid=$!
E2E_PIDS+=($window_pid)
window=$(wait_for_line "$E2E_WORK/window.out" '^0x' 10) || fail "the full-screen window did not map"
for _ in $(seq 100); do
    xprop -root _NET_ACTIVE_WINDOW | grep -qi "${window#0x}" && break
    sleep 0.05
done
xprop -root _NET_ACTIVE_WINDOW | grep -qi "${window#0x}" || fail "the window manager did not activate $window"
xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_FULLSCREEN ||
    fail "the window manager did not make $window full screen"
echo "full-screen window $window is active"

echo "-- $(hhmm $full): a full-screen window"
sleep_until $((full + 20))
expect_log 5 "no announcement at $(hhmm $full) - a full-screen window"
quiet_minute $full
# Without the window manager the alarm's character is a top-level window of its own again,
# which character_window looks for.
kill "$window_pid" "$window_manager"
echo inhibited >"$state"

echo "-- $(hhmm $inhibited): do not disturb"
sleep_until $((inhibited + 20))
expect_log 5 "no announcement at $(hhmm $inhibited) - do not disturb"
quiet_minute $inhibited
echo locked >"$state"

echo "-- $(hhmm $locked): the screen is locked when an alarm is due"
sleep_until $((locked + 20))
expect_log 5 "the screen is locked: the alarm of $(hhmm $locked) waits"
quiet_minute $locked
: >"$state"

echo "-- $(hhmm $unlocked): unlocked, the alarm rings"
expect_log 70 "the alarm of $(hhmm $locked) rings now that the screen is unlocked"
id=$(wait_for_character 0 10) || fail "no alarm character after the unlock"
echo "alarm character ${id#* } at $(date +%T)"
sleep_until $((unlocked + 20))
rms=$(rms_of "$E2E_WORK/monitor.raw" $((unlocked - recorded)) 20)
echo "sound RMS from $(date -d "@$unlocked" +%T): $rms"
awk -v r="$rms" 'BEGIN { exit !(r >= 0.01) }' || fail "the alarm was not heard after the unlock"
echo "-- the caption on the 24-hour clock"
LC_ALL=en_US.UTF-8 timeout 10 "$app/horavox" >"$E2E_WORK/second.log" 2>&1 || fail "the second copy failed"
main=$(wait_for_window '^Horavox - ' 5) || fail "the window did not come forward"
caption=$(xdotool getwindowname "$main")
echo "caption: $caption"
[[ "$caption" =~ ,\ [0-2][0-9]:[0-5][0-9]:[0-5][0-9]$ ]] || fail "the caption is not on the 24-hour clock"
grep -c '^Inhibited?$' "$E2E_WORK/desktop.out" | sed 's/^/questions of do-not-disturb: /'
grep -c '^Locked?$' "$E2E_WORK/desktop.out" | sed 's/^/questions of the lock: /'

echo "1 passed, 0 failed"
