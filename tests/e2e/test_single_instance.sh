#!/usr/bin/env bash
# One clock at a time: a second copy started while the program runs ends at once with status 0
# and brings the running one's hidden window back (the alarm editor instead, while it is open);
# a copy that was killed does not keep the next one from starting.
# Usage: test_single_instance.sh HORAVOX CHARACTER_FOLDER
HORAVOX=$1
CHARACTERS=$2
. "$(dirname "$0")/e2e_common.sh"

start_with_app
start_app "$app"
first=${E2E_PIDS[-1]}

echo "-- a second copy while the window is hidden"
/usr/bin/python3 "$E2E_DIR/close_window.py" "$main"
wait_for_no_window '^Horavox - ' 2 || fail "closing did not hide the window"
LC_ALL=en_US.UTF-8 "$app/horavox" >"$E2E_WORK/second.log" 2>&1 &
second=$!
E2E_PIDS+=($second)
started=$(date +%s%N)
for _ in $(seq 100); do kill -0 "$second" 2>/dev/null || break; sleep 0.01; done
kill -0 "$second" 2>/dev/null && fail "the second copy still runs after one second"
status=0
wait "$second" || status=$?
echo "second copy ended after $((($(date +%s%N) - started) / 1000000)) ms with status $status"
[ "$status" = 0 ] || fail "the second copy ended with status $status"
wait_for_window '^Horavox - ' 2 >/dev/null || fail "the running copy's window did not come back"
kill -0 "$first" 2>/dev/null || fail "the running copy ended"

echo "-- a new copy after the running one was killed"
kill -KILL "$first"
wait "$first" || true
[ -S "$XDG_RUNTIME_DIR/horavox.socket" ] || fail "the killed copy left no socket behind to test with"
# As on a first run, so that the window shows once the program is up.
rm "$app/Settings.ini"
launch_app "$app"
third=${E2E_PIDS[-1]}
# Its window is a new one: the editor is opened on it below.
main=$(wait_for_window '^Horavox - ' 20) || fail "the copy after a killed one did not start"
kill -0 "$third" 2>/dev/null || fail "the copy after a killed one ended"

echo "-- a second copy while an alarm is being edited"
open_alarm_editor
LC_ALL=en_US.UTF-8 "$app/horavox" >"$E2E_WORK/fourth.log" 2>&1 || fail "the copy started during editing failed"
sleep 0.5
xdotool search --onlyvisible --name '^Horavox - ' >/dev/null 2>&1 && fail "the main window came up over the editor"
xdotool search --onlyvisible --name '^ $' >/dev/null 2>&1 || fail "the editor went away"

echo "1 passed, 0 failed"
