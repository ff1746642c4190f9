#!/usr/bin/env bash
# The alarm editor of the real program: the add row of the alarm list opens it in place of the
# main window; another copy of the program started meanwhile brings that one editor forward; a
# daily alarm typed and picked in it reaches Alarms.dat as OK is pressed, and again at Minimize.
# Usage: test_editor.sh HORAVOX CHARACTER_FOLDER
HORAVOX=$1
CHARACTERS=$2
. "$(dirname "$0")/e2e_common.sh"

start_with_app
start_app "$app"

open_alarm_editor
echo "editor open: $(xwininfo -id "$editor" | awk '/geometry/ {print $2}')"
wait_for_no_window '^Horavox - ' 2 || fail "the main window stayed"

LC_ALL=en_US.UTF-8 "$app/horavox" >"$E2E_WORK/second.log" 2>&1 &
second=$!
E2E_PIDS+=($second)
for _ in $(seq 100); do kill -0 "$second" 2>/dev/null || break; sleep 0.1; done
kill -0 "$second" 2>/dev/null && fail "the second copy did not end"
sleep 0.5
editors=$(xdotool search --onlyvisible --name '^ $' | wc -l)
echo "after a second copy: $editors editor(s)"
[ "$editors" = 1 ] || fail "$editors editors"
xdotool search --onlyvisible --name '^Horavox - ' >/dev/null 2>&1 && fail "the main window came back"

fill_in_daily_alarm "$editor" 7:30 'Wake up'
# OK, by its twips.
click_at "$editor" $(((30 + 1380) / 15)) $(((4110 + 157) / 15))
main=$(wait_for_window '^Horavox - ' 10) || fail "OK did not bring the main window back"
xdotool search --onlyvisible --name '^ $' >/dev/null 2>&1 && fail "the editor stayed after OK"
character=$(basename "$(ls "$app/chars"/*.acs | head -1)" .acs)
printf '"07:30","Daily","Daily","%s","Wake up"\r\n' "$character" >"$E2E_WORK/expected.dat"
cmp -s "$E2E_WORK/expected.dat" "$app/Alarms.dat" || fail "OK did not write Alarms.dat"
echo "OK wrote Alarms.dat"

rm "$app/Alarms.dat"
click_at "$main" $(((45 + 4185 + 435) / 15)) $(((345 + 870 + 382) / 15 + menu_bar))
for _ in $(seq 100); do [ -f "$app/Alarms.dat" ] && break; sleep 0.05; done
[ -f "$app/Alarms.dat" ] || fail "Minimize did not write Alarms.dat"
echo "Alarms.dat: $(od -c "$app/Alarms.dat" | head -4 | tr -s ' ')"
cmp -s "$E2E_WORK/expected.dat" "$app/Alarms.dat" || fail "Alarms.dat is not $(cat "$E2E_WORK/expected.dat")"

echo "1 passed, 0 failed"
