#!/usr/bin/env bash
# The About scene of the real program: with the bundled characters, Help > About > Animation
# brings the default one, olwen, beside the main window in place of the window's picture; it speaks
# eight lines, the two whispered ones quieter than the rest, and after it leaves the picture is
# back. Screenshots (PPM) and the recording go to $E2E_SHOTS when it is set.
# Usage: test_about.sh HORAVOX CHARACTER_FOLDER
HORAVOX=$1
CHARACTERS=$2
. "$(dirname "$0")/e2e_common.sh"
shots=${E2E_SHOTS:-$E2E_WORK/shots}
mkdir -p "$shots"

start_x
start_pulse

app="$E2E_WORK/app"
install_app "$app" "$CHARACTERS"
start_app "$app"

read -r left top width height < <(xwininfo -id "$main" |
    awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
         /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}')
echo "main window: ${width}x${height}+${left}+${top}"
# The picture beside the options, by its twips, from under the menu bar.
menu_bar=$((height - 4470 / 15))
picture="$((2265 / 15))x$((2280 / 15))+$((left + 5145 / 15))+$((top + menu_bar + 450 / 15))"
grab_picture() { /usr/bin/python3 "$E2E_DIR/grab.py" --area "$picture" "$1"; }
grab_picture "$shots/picture-before.ppm"
colours=$(tail -c +16 "$shots/picture-before.ppm" | od -An -v -tx1 -w3 | sort -u | wc -l)
echo "the picture has $colours colours"
[ "$colours" -ge 8 ] || fail "the main window shows no picture"

start_recording "$E2E_WORK/monitor.raw"
timeout 10 xdotool windowfocus --sync "$main" || fail "the main window did not take the focus"
xdotool key alt+h
sleep 0.5
xdotool key a
sleep 0.5
xdotool key Return
id=$(wait_for_character "$main" 15) || fail "Help > About > Animation brought no character"
started=$SECONDS
geometry=${id#* }
echo "character window: $geometry"
read -r x y < <(sed -E 's/.*\+(-?[0-9]+)\+(-?[0-9]+)$/\1 \2/' <<<"$geometry")
right=$((left + width))
[ "$x" -ge $((right - 200)) ] && [ "$x" -lt "$right" ] && [ "$y" -ge "$top" ] &&
    [ "$y" -lt $((top + 150)) ] || fail "the character is not at the main window's right edge"
wait_for_no_character "$main" 150 || fail "the character did not leave"
echo "scene over after $((SECONDS - started)) s"
sleep 1
grab_picture "$shots/picture-after.ppm"
cmp -s "$shots/picture-before.ppm" "$shots/picture-after.ppm" ||
    fail "the main window's picture did not come back"

cp "$E2E_WORK/monitor.raw" "$shots/"
# The short animations between the first five lines leave no gap long enough to tell them
# apart, so they come as a few stretches; the last three stretches are the two whispered lines,
# set apart by the looking around, and the farewell.
mapfile -t lines < <(/usr/bin/python3 "$E2E_DIR/speech_segments.py" "$E2E_WORK/monitor.raw")
printf 'heard: start %s s, length %s s, RMS %s\n' $(printf '%s ' "${lines[@]}")
count=${#lines[@]}
[ "$count" -ge 4 ] || fail "only $count stretches of speech heard"
rms=($(printf '%s\n' "${lines[@]}" | awk '{print $3}'))
loudest_whisper=$(printf '%s\n' "${rms[@]: -3:2}" | sort -g | tail -1)
quietest_other=$(printf '%s\n' "${rms[@]:0:count-3}" "${rms[count - 1]}" | sort -g | head -1)
echo "loudest whispered line RMS $loudest_whisper, quietest other stretch RMS $quietest_other"
awk -v w="$loudest_whisper" -v o="$quietest_other" 'BEGIN { exit !(w < o * 0.7) }' ||
    fail "the whispered lines are not quieter than the others"

echo "1 passed, 0 failed"
