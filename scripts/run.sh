#!/usr/bin/env bash
# Installs what Horavox needs on Debian 12, builds it and starts it. Run as root from anywhere.
set -euo pipefail
cd "$(dirname "$0")/.."

apt-get update
# The Qt packages bring the run-time parts too: the X11 platform plugin comes with libqt6gui6
# and the multimedia plugins with libqt6multimedia6. espeak-ng-data holds espeak-ng's voices;
# flite's English voices are inside its libraries (flite1-dev).
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
    g++ cmake ninja-build pkg-config qt6-base-dev qt6-multimedia-dev libxcb1-dev \
    libespeak-ng-dev espeak-ng-data flite1-dev libsndfile1-dev fonts-dejavu-core fonts-wine fonts-liberation

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
# The program belongs to the desktop's user, whose sound server root cannot reach: started
# through sudo, it runs as the user who called sudo.
if [ "$(id -u)" = 0 ] && [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ]; then
    exec runuser -u "$SUDO_USER" -- env XDG_RUNTIME_DIR="/run/user/$(id -u "$SUDO_USER")" ./build/horavox
fi
exec ./build/horavox
