#!/usr/bin/env bash
# Takes the pictures of the user guide and the README from the real program under Xvfb: the main
# window, the folder-search panel, the alarm editor, the About dialog and a character speaking
# with its balloon. Writes PNGs into help/screenshots/. Needs a build (default: build/), the
# end-to-end test tools that scripts/test.sh installs, ImageMagick for the PNG files and xcompmgr,
# without which the character's see-through parts would show black.
# Usage: bash scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
OUT=$PWD/help/screenshots
BUILD=$(cd "${1:-build}" && pwd)
HORAVOX=$BUILD/horavox
. tests/e2e/e2e_common.sh
mkdir -p "$OUT"
# No characters or settings of the user's own may show in the pictures.
export HOME="$E2E_WORK/home"
mkdir -p "$HOME"

# save_png NAME [AREA]: the screen, or WIDTHxHEIGHT+X+Y of it, as $OUT/NAME.png.
save_png() {
    /usr/bin/python3 "$E2E_DIR/grab.py" ${2:+--area "$2"} "$E2E_WORK/shot.ppm"
    /usr/bin/convert "$E2E_WORK/shot.ppm" -define png:exclude-chunks=date,time "$OUT/$1.png"
    echo "$OUT/$1.png"
}
# area_of WINDOW_ID: its WIDTHxHEIGHT+X+Y on the screen.
area_of() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
        /Width:/ {w=$2} /Height:/ {h=$2} END {printf "%dx%d+%d+%d", w, h, x, y}'
}
keys() {
    local key
    for key in "$@"; do
        xdotool key "$key"
        sleep 0.4
    done
}

start_x
xcompmgr >"$E2E_WORK/xcompmgr.log" 2>&1 &
E2E_PIDS+=($!)
start_pulse

echo "-- the folder-search panel: a first run with no characters anywhere"
install_app "$E2E_WORK/bare"
start_app "$E2E_WORK/bare"
save_png folder-search "$(area_of "$main")"
kill "${E2E_PIDS[-1]}"
sleep 1

echo "-- the main window: a first run with the bundled characters and two alarms"
app="$E2E_WORK/app"
install_app "$app" "$BUILD/chars"
printf '"%s","%s","%s","%s","%s"\r\n' \
    07:30 Daily Daily tock "Good morning! Time to get up." \
    12:30 Weekly Fri olwen "Lunch with Sam at the corner cafe" \
    18:00 lwdm lwdm pim "Pay the rent" >"$app/Alarms.dat"
start_app "$app"
timeout 10 xdotool windowfocus --sync "$main" || fail "the main window did not take the focus"
# Options > Balloons > Yes, Options > Screen Position > Center Screen.
keys alt+o b y
keys alt+o p s
save_png main-window "$(area_of "$main")"

echo "-- a character speaking with its balloon"
# Out of the way of the centre of the screen, where the character appears.
xdotool windowmove "$main" 540 470
keys alt+t
wait_for_character "$main" 15 >/dev/null || fail "Test brought no character"
# A series over the greeting and the words. The balloon shows the words as they are spoken, so
# the last picture with the balloon (the fullest ones) holds the whole sentence.
/usr/bin/python3 "$E2E_DIR/grab.py" --area 400x330+312+130 --every 0.25 "$E2E_WORK"/say-{10..33}.ppm
chosen=$(/usr/bin/python3 -c '
import sys
def drawn(path):
    data = open(path, "rb").read().split(b"\n", 3)[3]
    return sum(data[i:i + 3] != data[:3] for i in range(0, len(data), 3))
counts = [drawn(path) for path in sys.argv[1:]]
print([p for p, n in zip(sys.argv[1:], counts) if n >= 0.9 * max(counts)][-1])' "$E2E_WORK"/say-*.ppm)
/usr/bin/convert "$chosen" -define png:exclude-chunks=date,time "$OUT/speaking.png"
echo "$OUT/speaking.png"
xdotool windowmove "$main" 0 0

echo "-- the About dialog"
wait_for_no_character "$main" 30 || fail "the character did not leave"
timeout 10 xdotool windowfocus --sync "$main" || fail "the main window did not take the focus"
keys alt+h a Down Return
about=$(wait_for_window '^About Horavox$' 10) || fail "no About dialog"
sleep 1
save_png about "$(area_of "$about")"
timeout 10 xdotool windowfocus --sync "$about" || fail "the About dialog did not take the focus"
xdotool key Escape

echo "-- the alarm editor, filled in"
timeout 10 xdotool windowfocus --sync "$main" || fail "the main window did not take the focus"
menu_bar=$(($(xwininfo -id "$main" | awk '/Height:/ {print $2}') - 4470 / 15))
# Add New from the pop-up menu of the list's first row.
xdotool mousemove --window "$main" 100 $((3000 / 15 + 8 + menu_bar)) click 3
sleep 0.5
keys Down Return
editor=$(wait_for_window '^ $' 10) || fail "the add row did not open the editor"
fill_in_daily_alarm "$editor" 8:15 'Time for the bus'
sleep 0.5
save_png alarm-editor "$(area_of "$editor")"
echo "screenshots: done"
