#!/usr/bin/env bash
# Installs everything the tests need on Debian 12, builds with warnings as errors, checks the
# formatting, and runs every test: the sanitizer and fuzzing run of the character file reader,
# then the unit and widget tests and the end-to-end tests under Xvfb with PulseAudio.
# Run as root from anywhere.
set -euo pipefail
cd "$(dirname "$0")/.."

apt-get update
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
    g++ cmake ninja-build pkg-config qt6-base-dev qt6-multimedia-dev \
    libespeak-ng-dev espeak-ng-data espeak-ng fonts-dejavu-core zlib1g-dev \
    xvfb xauth pulseaudio pulseaudio-utils sox xdotool trayer python3-xlib \
    clang clang-format libclang-rt-14-dev libbenchmark-dev

echo "== formatting"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

echo "== build"
cmake -S . -B build -G Ninja -DHORAVOX_WERROR=ON -DHORAVOX_BENCH=ON
cmake --build build -j"$(nproc)"

echo "== sanitizers and fuzzing"
bash scripts/sanitize-and-fuzz.sh

echo "== tests"
# The audio tests play into a null sink of their own; the end-to-end tests start their own
# X server and sound server as well.
export XDG_RUNTIME_DIR=$(mktemp -d)
printf '%s\n' 'load-module module-native-protocol-unix' \
    'load-module module-null-sink sink_name=ci_sink sink_properties=device.description=CI_Null_Sink' \
    'set-default-sink ci_sink' >"$XDG_RUNTIME_DIR/ci.pa"
pulseaudio --daemonize=yes --exit-idle-time=-1 -n -F "$XDG_RUNTIME_DIR/ci.pa" --log-target=stderr
trap 'pulseaudio --kill || true' EXIT
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
ctest --test-dir build --output-on-failure
