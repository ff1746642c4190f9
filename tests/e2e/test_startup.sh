#!/usr/bin/env bash
# The real program, started from a folder of its own: the first run shows the window with the
# clock in its caption, closing the window writes Settings.ini and leaves the program running,
# and with no audio device the program says so and ends without writing anything. --help and
# --version answer and end before any of that.
# Usage: test_startup.sh HORAVOX CHARACTER_FOLDER
HORAVOX=$1
CHARACTERS=$2
. "$(dirname "$0")/e2e_common.sh"

echo "-- --help and --version, with no display and nothing written"
app="$E2E_WORK/asked"
install_app "$app" "$CHARACTERS"
help=$(timeout 10 "$app/horavox" --help) || fail "--help did not end well"
echo "$help" | head -3
grep -q '^Usage: .*horavox' <<<"$help" && grep -q -- '--version' <<<"$help" ||
    fail "--help printed: $help"
version=$(timeout 10 "$app/horavox" --version) || fail "--version did not end well"
echo "$version"
[ "$version" = "Horavox 2.01" ] || fail "--version printed: $version"

start_x
start_pulse
unknown=$(timeout 10 "$app/horavox" --no-such-option 2>&1) && fail "an unknown option was taken"
echo "$unknown" | head -1
grep -q "Unknown option 'no-such-option'" <<<"$unknown" || fail "--no-such-option gave: $unknown"
[ "$(ls -A "$app" | tr '\n' ' ')" = "chars horavox " ] || fail "files were written: $(ls -A "$app")"

echo "-- first run"
app="$E2E_WORK/first"
install_app "$app" "$CHARACTERS"
LC_ALL=en_US.UTF-8 "$app/horavox" >"$E2E_WORK/first.log" 2>&1 &
pid=$!
E2E_PIDS+=($pid)
wait_for_window '^Horavox' 20 >/dev/null || fail "the window did not show"
shown=$(date +%s%N)
window=$(wait_for_window '^Horavox - ' 2) || fail "no clock caption within 2 s of the window showing"
elapsed_ms=$((($(date +%s%N) - shown) / 1000000))
caption=$(xdotool getwindowname "$window")
echo "caption after ${elapsed_ms} ms: $caption"
[[ "$caption" =~ ^Horavox\ -\ ([0-9]{1,2}/[0-9]{1,2}/[0-9]{4}),\ (0[1-9]|1[0-2]):[0-5][0-9]:[0-5][0-9]\ (AM|PM)$ ]] ||
    fail "caption '$caption' is not 'Horavox - M/D/YYYY, hh:mm:ss AM|PM'"
today=$(date +%-m/%-d/%Y)
[ "${BASH_REMATCH[1]}" = "$today" ] || [ "$(date +%-m/%-d/%Y)" != "$today" ] ||
    fail "caption date ${BASH_REMATCH[1]} is not today ($today)"
[ -f "$app/Settings.ini" ] || fail "the first run did not remember the character folder"
printf '"Olwen",1,1,2,1,#FALSE#,"%s/chars/"\r\n' "$app" >"$E2E_WORK/expected.ini"
cmp -s "$E2E_WORK/expected.ini" "$app/Settings.ini" || fail "Settings.ini holds '$(cat "$app/Settings.ini")'"

rm "$app/Settings.ini"
/usr/bin/python3 "$E2E_DIR/close_window.py" "$window"
for _ in $(seq 40); do [ -f "$app/Settings.ini" ] && break; sleep 0.05; done
[ -f "$app/Settings.ini" ] || fail "closing the window did not write Settings.ini"
cmp -s "$E2E_WORK/expected.ini" "$app/Settings.ini" || fail "Settings.ini after close: '$(cat "$app/Settings.ini")'"
kill -0 "$pid" 2>/dev/null || fail "closing the window ended the program"
xdotool search --onlyvisible --name '^Horavox - ' >/dev/null 2>&1 && fail "the window stayed visible"
# Gone before the next start, which would otherwise only bring this one forward.
kill "$pid"
wait "$pid" || true

echo "-- no audio device"
app="$E2E_WORK/silent"
install_app "$app"
LC_ALL=en_US.UTF-8 PULSE_SERVER=unix:/nonexistent "$app/horavox" >"$E2E_WORK/silent.log" 2>&1 &
pid=$!
E2E_PIDS+=($pid)
box=$(wait_for_window '^Exiting Horavox!$' 5) || fail "no 'Exiting Horavox!' box"
# With no window manager nothing gives the box the keyboard focus, so the test does, as a click
# would; the key then reaches the box's default button.
timeout 10 xdotool windowfocus --sync "$box" || fail "the message box did not take the focus"
xdotool key Return
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
kill -0 "$pid" 2>/dev/null && fail "the program did not end after the message"
wait "$pid" || true
[ "$(ls -A "$app")" = "horavox" ] || fail "files were written: $(ls -A "$app" | tr '\n' ' ')"

echo "1 passed, 0 failed"
