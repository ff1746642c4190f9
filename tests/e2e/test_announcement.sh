#!/usr/bin/env bash
# The real program speaking the time: Test brings the chosen character to each of the five
# screen positions, the null sink's monitor hears the phrase, and the mouth moves while it is
# spoken; after the sound server restarts, the next Test is heard again. Screenshots (PPM) go to
# $E2E_SHOTS when it is set.
# Usage: test_announcement.sh HORAVOX CHARACTER_FOLDER
HORAVOX=$1
CHARACTERS=$2
. "$(dirname "$0")/e2e_common.sh"
shots=${E2E_SHOTS:-$E2E_WORK/shots}
mkdir -p "$shots"

start_with_app
start_app "$app"

# The position buttons lie on the corners and the centre of the little screen picture.
position_button=("219 62" "267 62" "219 96" "267 96" "243 79")
test_button="245 185"

names=("top left" "top right" "bottom left" "bottom right" "centre")
expected=("5,5" "891,5" "5,635" "891,635" "448,320")
for i in 0 1 2 3 4; do
    click_at "$main" ${position_button[$i]}
    click_at "$main" $test_button
    deadline=$((SECONDS + 10))
    until id=$(character_window "$main"); do
        if [ $SECONDS -gt $deadline ]; then
            /usr/bin/python3 "$E2E_DIR/grab.py" "$shots/failed-$i.ppm" || true
            fail "no character after Test (${names[$i]})"
        fi
        sleep 0.05
    done
    position=$(sed -E 's/.*\+(-?[0-9]+)\+(-?[0-9]+)$/\1,\2/' <<<"$id")
    echo "${names[$i]}: character at $position"
    [ "$position" = "${expected[$i]}" ] || fail "${names[$i]}: at $position, not ${expected[$i]}"
    sleep 1
    /usr/bin/python3 "$E2E_DIR/grab.py" "$shots/position-$i.ppm"
    wait_for_no_character "$main" 30 || fail "the character did not leave (${names[$i]})"
done

echo "-- the spoken phrase, recorded from the null sink's monitor"
parec -d e2e_sink.monitor --latency-msec=20 --rate=22050 --channels=1 --format=s16le \
    >"$E2E_WORK/monitor.raw" &
recorder=$!
E2E_PIDS+=($recorder)
for _ in $(seq 100); do [ -s "$E2E_WORK/monitor.raw" ] && break; sleep 0.05; done
[ -s "$E2E_WORK/monitor.raw" ] || fail "the monitor gave no samples"
click_at "$main" ${position_button[0]}
click_at "$main" $test_button
deadline=$((SECONDS + 10))
until id=$(character_window "$main"); do
    [ $SECONDS -le $deadline ] || fail "no character after Test (recording)"
    sleep 0.05
done
# Successive pictures of the character while it explains and speaks.
/usr/bin/python3 "$E2E_DIR/grab.py" --area "${id#* }" --every 0.15 "$shots"/speaking-{01..30}.ppm
wait_for_no_character "$main" 30 || fail "the character did not leave after speaking"
sleep 0.5
kill "$recorder"
wait "$recorder" 2>/dev/null || true
sox -t raw -r 22050 -e signed -b 16 -c 1 "$E2E_WORK/monitor.raw" "$E2E_WORK/monitor.wav"
stats=$(sox "$E2E_WORK/monitor.wav" -n silence 1 0.05 1% reverse silence 1 0.05 1% reverse stat 2>&1)
length=$(awk '/^Length/ {print $3}' <<<"$stats")
rms=$(awk '/^RMS +amplitude/ {print $3}' <<<"$stats")
echo "sound heard: ${length} s, RMS ${rms}"
awk -v l="$length" -v r="$rms" 'BEGIN { exit !(l >= 1.0 && l <= 15 && r >= 0.02) }' ||
    fail "the monitor did not hear the phrase (length $length s, RMS $rms)"

frames=$(md5sum "$shots"/speaking-*.ppm | awk '{print $1}' | sort -u | wc -l)
echo "distinct pictures of the ${id#* } character while speaking: $frames"
[ "$frames" -ge 6 ] || fail "the character hardly changed while speaking ($frames pictures)"

echo "-- the sound server restarts"
pulseaudio --kill
for _ in $(seq 50); do pactl info >/dev/null 2>&1 || break; sleep 0.1; done
pulseaudio --daemonize=yes --exit-idle-time=-1 -n -F "$XDG_RUNTIME_DIR/e2e.pa" \
    --log-target=stderr 2>>"$E2E_WORK/pulse.log"
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
start_recording "$E2E_WORK/restarted.raw"
click_at "$main" $test_button
wait_for_character "$main" 10 >/dev/null || fail "no character after Test (restarted)"
wait_for_no_character "$main" 30 || fail "the character did not leave (restarted)"
rms=$(sox -t raw -r 22050 -e signed -b 16 -c 1 "$E2E_WORK/restarted.raw" -n stat 2>&1 |
    awk '/^RMS +amplitude/ {print $3}')
echo "Test after the restart: RMS $rms"
awk -v r="$rms" 'BEGIN { exit !(r >= 0.01) }' || fail "mute after the sound server restarted"

echo "1 passed, 0 failed"
