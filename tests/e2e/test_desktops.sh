#!/usr/bin/env bash
# The notification areas of today's desktops. Where a StatusNotifierWatcher runs on the session
# bus the program registers its item there; where an X notification area runs it docks an
# XEmbed icon; with neither, its window stays within reach instead of hiding. Under openbox with
# a bottom panel, the character stands above the panel, its balloon's window is shaped to the
# balloon (no compositor), and the main window keeps its place through the editor and Minimize.
# Usage: test_desktops.sh HORAVOX CHARACTER_FOLDER
HORAVOX=$1
CHARACTERS=$2
. "$(dirname "$0")/e2e_common.sh"

start_with_app --no-tray
# A later run: the program goes to its notification area at start.
printf '"olwen",1,1,2,1,#FALSE#,"%s/chars/"\r\n' "$app" >"$app/Settings.ini"

# stop_app: ends the copy launch_app started last, so that the next one starts afresh.
stop_app() {
    kill "${E2E_PIDS[-1]}"
    wait "${E2E_PIDS[-1]}" 2>/dev/null || true
}

echo "-- no notification area"
launch_app "$app"
wait_for_window '^Horavox - ' 20 >/dev/null || fail "with no notification area the window was hidden"
stop_app

echo "-- XEmbed notification area"
/usr/bin/python3 "$E2E_DIR/xembed_tray.py" >"$E2E_WORK/xembed.out" 2>"$E2E_WORK/xembed.log" &
E2E_PIDS+=($!)
tray=$!
wait_for_line "$E2E_WORK/xembed.out" '^ready$' 5 >/dev/null || fail "the XEmbed tray did not start"
launch_app "$app"
icon=$(wait_for_line "$E2E_WORK/xembed.out" '^0x' 20) || fail "no icon asked to dock"
xprop -id "$icon" WM_CLASS | grep -q '"horavox"' || fail "the docked window $icon is not the program's"
xdotool search --onlyvisible --name '^Horavox - ' >/dev/null 2>&1 && fail "the window did not go to the tray"
echo "docked $icon"
stop_app
kill "$tray"

echo "-- StatusNotifierItem on the session bus"
dbus-daemon --session --nofork --print-address=1 >"$E2E_WORK/bus" 2>"$E2E_WORK/dbus.log" &
E2E_PIDS+=($!)
DBUS_SESSION_BUS_ADDRESS=$(wait_for_line "$E2E_WORK/bus" . 5) || fail "dbus-daemon did not start"
export DBUS_SESSION_BUS_ADDRESS
/usr/bin/python3 "$E2E_DIR/sni_watcher.py" >"$E2E_WORK/sni.out" 2>"$E2E_WORK/sni.log" &
E2E_PIDS+=($!)
wait_for_line "$E2E_WORK/sni.out" '^ready$' 5 >/dev/null || fail "the watcher did not start"
launch_app "$app"
item=$(wait_for_line "$E2E_WORK/sni.out" '^[:o]' 20) || fail "no item registered with the watcher"
tip=$(gdbus call --session -d "$item" -o /StatusNotifierItem \
    -m org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierItem ToolTip) ||
    fail "the item $item does not answer"
echo "item $item, tool tip $tip"
[[ "$tip" == *"'Horavox'"* ]] || fail "the item's tool tip is not Horavox: $tip"
xdotool search --onlyvisible --name '^Horavox - ' >/dev/null 2>&1 && fail "the window did not go to the tray"
stop_app

echo "-- a window manager and a bottom panel"
openbox --sm-disable >"$E2E_WORK/openbox.log" 2>&1 &
E2E_PIDS+=($!)
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
done
/usr/bin/python3 "$E2E_DIR/dock_panel.py" 40 >"$E2E_WORK/dock.out" 2>"$E2E_WORK/dock.log" &
E2E_PIDS+=($!)
wait_for_line "$E2E_WORK/dock.out" '^ready$' 5 >/dev/null || fail "the panel did not start"
for _ in $(seq 100); do
    xprop -root _NET_WORKAREA | grep -q '= 0, 0, 1024, 728' && break
    sleep 0.05
done
xprop -root _NET_WORKAREA | grep -q '= 0, 0, 1024, 728' ||
    fail "the panel's strut left the work area $(xprop -root _NET_WORKAREA)"
rm "$app/Settings.ini" # a first run: the window shows
launch_app "$app"
main=$(wait_for_window '^Horavox - ' 20) || fail "the main window did not show"
sleep 1
# A desktop of one colour, for what the balloon leaves undrawn to show as.
/usr/bin/python3 -c 'from Xlib import display
d = display.Display(); root = d.screen().root
root.change_attributes(background_pixel=0x3070b0); root.clear_area(); d.sync()'
# The bottom-right position button, the balloon on, then Test.
click_at "$main" 267 96
click_at "$main" 219 130
click_at "$main" 245 185
# The window manager puts the character's window in a frame of its own, deeper in the tree than
# character_window looks: here it is the program's 128 x 128 window, at its place on the screen.
position=
for _ in $(seq 100); do
    position=$(xwininfo -root -tree | awk '/\("horavox" "Horavox"\)/ && / 128x128\+/ {print $NF}' |
        sed -E 's/^\+(-?[0-9]+)\+(-?[0-9]+)$/\1,\2/' | head -1)
    [ -n "$position" ] && break
    sleep 0.1
done
[ -n "$position" ] || fail "no character after Test"
echo "bottom right above the panel: character at $position"
# 128 pixels square, 5 pixels from the right edge and from the panel's top (768 - 40).
[ "$position" = "891,595" ] || fail "the character stands at $position, not 891,595"

echo "-- the balloon without a compositor"
balloon=
for _ in $(seq 50); do
    balloon=$(xwininfo -root -tree | awk '/"Horavox": \("horavox"/ && !/ 128x128\+/ {
        split($(NF - 1), size, /[x+]/); if (size[1] > 100) print size[1], size[2], $NF }' |
        tr '+' ' ' | head -1)
    [ -n "$balloon" ] && break
    sleep 0.1
done
[ -n "$balloon" ] || fail "no balloon"
read -r width height left top <<<"$balloon"
# Its window's corners, and the strip beside the tail, are the desktop's, not black.
for corner in "$left+$top" "$((left + width - 1))+$top" "$((left + 2))+$((top + height - 2))"; do
    /usr/bin/python3 "$E2E_DIR/grab.py" --area "1x1+$corner" "$E2E_WORK/corner.ppm"
    colour=$(tail -c 3 "$E2E_WORK/corner.ppm" | od -An -tx1 | tr -d ' ')
    echo "balloon ${width}x$height, at $corner: $colour"
    [ "$colour" = 3070b0 ] || fail "the balloon's window shows $colour at $corner"
done

echo "-- the main window keeps its place"
place() { xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {print x "," $4}'; }
xdotool windowmove "$main" 200 150
sleep 1
before=$(place "$main")
open_alarm_editor
# Cancel, by its twips.
click_at "$editor" $(((2805 + 1380) / 15)) $(((4110 + 157) / 15))
main=$(wait_for_window '^Horavox - ' 10) || fail "Cancel did not bring the main window back"
sleep 1
echo "at $before; after the editor at $(place "$main")"
[ "$(place "$main")" = "$before" ] || fail "after the editor the window stands at $(place "$main")"
# Minimize; a second copy then brings the window back as Show does.
click_at "$main" $(((45 + 4185 + 435) / 15)) $(((345 + 870 + 382) / 15 + menu_bar))
wait_for_no_window '^Horavox - ' 3 || fail "Minimize did not hide the window"
LC_ALL=en_US.UTF-8 "$app/horavox" >"$E2E_WORK/second.log" 2>&1 || fail "the second copy failed"
main=$(wait_for_window '^Horavox - ' 5) || fail "the window did not come back"
sleep 1
echo "after Minimize and Show at $(place "$main")"
[ "$(place "$main")" = "$before" ] || fail "after Minimize the window stands at $(place "$main")"
stop_app

echo "1 passed, 0 failed"
