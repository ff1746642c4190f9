#!/usr/bin/env bash
# Installs everything the tests need on Debian 12, builds with warnings as errors, checks the
# formatting, and runs every test: the sanitizer and fuzzing run of the character file reader,
# then the unit and widget tests and the end-to-end tests under Xvfb with PulseAudio.
# Run as root from anywhere.
set -euo pipefail
cd "$(dirname "$0")/.."

apt-get update
# Line by line: the build with its libraries and the windows' fonts, the benchmarks (with the
# speech recogniser of the understanding benchmark), the sanitizer build, the end-to-end tests'
# X server, tray, window manager, window and D-Bus tools (xwininfo is in x11-utils) and the wall
# clock they move, the Debian package's tools (CPack needs file and dpkg-shlibdeps; its test
# makes a Debian root), and the sound server and recorder.
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
    g++ cmake ninja-build pkg-config qt6-base-dev qt6-multimedia-dev libxcb1-dev \
    libespeak-ng-dev espeak-ng-data espeak-ng flite1-dev libsndfile1-dev fonts-dejavu-core fonts-wine fonts-liberation zlib1g-dev \
    libbenchmark-dev pocketsphinx pocketsphinx-en-us \
    clang clang-format libclang-rt-14-dev \
    xvfb trayer openbox xdotool x11-utils python3-xlib dbus-daemon python3-dbus python3-gi libglib2.0-bin \
    faketime \
    dpkg-dev file debootstrap \
    pulseaudio pulseaudio-utils sox

echo "== formatting"
# The source folders rather than git's file list, so that a copy without .git is checked too.
find src characters packaging tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format --dry-run -Werror

echo "== build"
cmake -S . -B build -G Ninja -DHORAVOX_WERROR=ON -DHORAVOX_BENCH=ON
cmake --build build -j"$(nproc)"

echo "== sanitizers and fuzzing"
bash scripts/sanitize-and-fuzz.sh

echo "== tests"
# The audio tests play into a null sink of their own; the end-to-end tests start their own
# X server and sound server as well.
unset DISPLAY PULSE_SERVER
export XDG_RUNTIME_DIR=$(mktemp -d)
printf '%s\n' 'load-module module-native-protocol-unix' \
    'load-module module-null-sink sink_name=ci_sink sink_properties=device.description=CI_Null_Sink' \
    'set-default-sink ci_sink' >"$XDG_RUNTIME_DIR/ci.pa"
pulseaudio --daemonize=yes --exit-idle-time=-1 -n -F "$XDG_RUNTIME_DIR/ci.pa" --log-target=stderr
trap 'pulseaudio --kill || true; rm -rf "$XDG_RUNTIME_DIR"' EXIT
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
ctest --test-dir build --output-on-failure
