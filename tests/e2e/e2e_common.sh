# Shared by the end-to-end tests: a private X server and a private PulseAudio with a null sink,
# both started here and stopped when the test ends.
set -euo pipefail
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# Only the servers started here count, whatever the calling session has.
unset DISPLAY XAUTHORITY PULSE_SERVER XDG_RUNTIME_DIR DBUS_SESSION_BUS_ADDRESS

E2E_WORK=$(mktemp -d)
# The program's own per-user choices (its Quiet Times) start afresh, whatever the user has.
export XDG_CONFIG_HOME="$E2E_WORK/config"
E2E_PIDS=()

e2e_cleanup() {
    local pid
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    if [ -n "${XDG_RUNTIME_DIR:-}" ] && [ -S "$XDG_RUNTIME_DIR/pulse/native" ]; then
        pulseaudio --kill 2>/dev/null || true
    fi
    wait 2>/dev/null || true
    rm -rf "$E2E_WORK"
}
trap e2e_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [ -n "${DISPLAY:-}" ]; then
        echo "windows:" >&2
        xwininfo -root -tree 2>/dev/null | grep -v 'has no name' | sed 's/^/  /' >&2 || true
    fi
    local log
    for log in "$E2E_WORK"/*.log; do
        [ -s "$log" ] && { echo "$(basename "$log"):" >&2; tail -5 "$log" | sed 's/^/  /' >&2; }
    done
    exit 1
}

# start_x [--no-tray]: the X server, with a notification area unless told otherwise.
start_x() {
    Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp -noreset 9>"$E2E_WORK/display" \
        >"$E2E_WORK/xvfb.log" 2>&1 &
    E2E_PIDS+=($!)
    for _ in $(seq 100); do [ -s "$E2E_WORK/display" ] && break; sleep 0.05; done
    [ -s "$E2E_WORK/display" ] || fail "Xvfb did not start"
    export DISPLAY=":$(cat "$E2E_WORK/display")"
    [ "${1:-}" = --no-tray ] && return
    # A notification area, so that the program can live in it as on a desktop.
    trayer --edge top --align right --widthtype pixel --width 100 >"$E2E_WORK/trayer.log" 2>&1 &
    E2E_PIDS+=($!)
    wait_for_window '^panel$' 5 >/dev/null || fail "trayer did not start"
}

start_pulse() {
    export XDG_RUNTIME_DIR="$E2E_WORK/xdg"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    printf '%s\n' 'load-module module-native-protocol-unix' \
        'load-module module-null-sink sink_name=e2e_sink sink_properties=device.description=E2E_Null_Sink' \
        'set-default-sink e2e_sink' >"$XDG_RUNTIME_DIR/e2e.pa"
    pulseaudio --daemonize=yes --exit-idle-time=-1 -n -F "$XDG_RUNTIME_DIR/e2e.pa" \
        --log-target=stderr 2>"$E2E_WORK/pulse.log"
    for _ in $(seq 50); do pactl info >/dev/null 2>&1 && return; sleep 0.1; done
    fail "PulseAudio did not start"
}

# wait_for_line FILE REGEX SECONDS: prints the first line of FILE matching REGEX once it is there.
wait_for_line() {
    local deadline=$((SECONDS + $3)) line
    while [ $SECONDS -le $deadline ]; do
        line=$(grep -m1 -E "$2" "$1" 2>/dev/null || true)
        if [ -n "$line" ]; then echo "$line"; return 0; fi
        sleep 0.05
    done
    return 1
}

# install_app DIR [CHARACTER_FOLDER]: the program alone in a folder of its own, with the
# bundled characters beside it when a folder is given.
install_app() {
    mkdir -p "$1"
    cp "$HORAVOX" "$1/horavox"
    if [ $# -gt 1 ]; then
        cp -r "$2" "$1/chars"
    fi
}

# start_with_app [--no-tray]: the X server, the sound server and the program with the bundled
# characters in a folder of its own, $app (not started yet).
start_with_app() {
    start_x "$@"
    start_pulse
    app="$E2E_WORK/app"
    install_app "$app" "$CHARACTERS"
}

# launch_app DIR: starts the program of DIR in the US locale (short dates M/d/yyyy), its output
# in app.log.
launch_app() {
    LC_ALL=en_US.UTF-8 "$1/horavox" >"$E2E_WORK/app.log" 2>&1 &
    E2E_PIDS+=($!)
}

# start_app DIR: launch_app, then waits for the main window and its clock caption; its id goes
# in $main.
start_app() {
    launch_app "$1"
    main=$(wait_for_window '^Horavox - ' 20) || fail "the main window did not show"
    sleep 1
}

# click_at WINDOW X Y: clicks at a point of a window, as a user does.
click_at() {
    sleep 0.3
    xdotool mousemove --window "$1" "$2" "$3" click 1
}

# fill_in_daily_alarm EDITOR_ID TIME MESSAGE: the time box, Daily, the first character and the
# message box of the open alarm editor, by the twips of its fixed layout; OK is left to the caller.
fill_in_daily_alarm() {
    click_at "$1" $(((1545 + 457) / 15)) $(((540 + 142) / 15))
    timeout 10 xdotool windowfocus --sync "$1" || fail "the editor did not take the focus"
    xdotool type --delay 50 "$2"
    click_at "$1" $((2610 / 15 + 8)) $(((1110 + 142) / 15))
    click_at "$1" $((1665 / 15 + 30)) $((2730 / 15 + 8))
    click_at "$1" $(((930 + 2295) / 15)) $(((3675 + 150) / 15))
    xdotool type --delay 50 "$3"
}

# wait_for_window NAME_REGEX SECONDS: prints the window id once a window so named is mapped.
wait_for_window() {
    local deadline=$((SECONDS + $2)) id
    while [ $SECONDS -le $deadline ]; do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
        if [ -n "$id" ]; then echo "$id"; return 0; fi
        sleep 0.05
    done
    return 1
}

# wait_for_no_window NAME_REGEX SECONDS: succeeds once no window so named is mapped.
wait_for_no_window() {
    local deadline=$((SECONDS + $2))
    while [ $SECONDS -le $deadline ]; do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.05
    done
    return 1
}

# character_window MAIN_ID: the character's own window, a mapped top-level window of the
# program other than the main window and bigger than the tray icon. Prints "ID WIDTHxHEIGHT+X+Y".
# (xdotool's search does not see the character's frameless tool window, xwininfo does; the tree
# lists unmapped windows too, hence the map state.)
character_window() {
    local id geometry
    while read -r id geometry; do
        if xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable'; then
            echo "$id $geometry"
            return 0
        fi
    done < <(xwininfo -root -tree 2>/dev/null | awk -v main="$(printf '0x%x' "$1")" '
        /^     0x/ && /\("horavox" "Horavox"\)/ && $1 != main {
            for (i = 1; i <= NF; i++) if ($i ~ /^[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+$/) {
                split($i, g, /[x+]/)
                if (g[1] > 32 && g[2] > 32) print $1, $i
            }
        }')
    return 1
}

# wait_for_character MAIN_ID SECONDS: character_window once it shows.
wait_for_character() {
    local deadline=$((SECONDS + $2))
    while [ $SECONDS -le $deadline ]; do
        character_window "$1" && return 0
        sleep 0.1
    done
    return 1
}

# wait_for_no_character MAIN_ID SECONDS: succeeds once no character window is left.
wait_for_no_character() {
    local deadline=$((SECONDS + $2))
    while [ $SECONDS -le $deadline ]; do
        character_window "$1" >/dev/null || return 0
        sleep 0.1
    done
    return 1
}

# open_alarm_editor: clicks the add row of the alarm list of the main window $main, its only
# row, and waits for the editor; the editor's id goes in $editor. The points are those of the
# fixed layouts (15 twips to a pixel), the main window's counted from under its menu bar, whose
# height goes in $menu_bar.
open_alarm_editor() {
    menu_bar=$(($(xwininfo -id "$main" | awk '/Height:/ {print $2}') - 4470 / 15))
    click_at "$main" 100 $((3000 / 15 + 8 + menu_bar))
    editor=$(wait_for_window '^ $' 10) || fail "the add row did not open the editor"
}

# start_recording FILE: records the null sink's monitor (22050 Hz mono S16) until the test ends;
# returns once samples arrive.
start_recording() {
    parec -d e2e_sink.monitor --latency-msec=20 --rate=22050 --channels=1 --format=s16le >"$1" &
    E2E_PIDS+=($!)
    local _
    for _ in $(seq 100); do [ -s "$1" ] && break; sleep 0.05; done
    [ -s "$1" ] || fail "the monitor gave no samples"
}

# rms_of RAW_FILE START_SECONDS LENGTH_SECONDS: RMS amplitude of that stretch of a recording.
rms_of() {
    sox -t raw -r 22050 -e signed -b 16 -c 1 "$1" -n trim "$2" "$3" stat 2>&1 |
        awk '/^RMS +amplitude/ {print $3}'
}
