#!/usr/bin/env bash
# Builds the Debian package with CPack, installs it with apt into a throw-away Debian 12 root,
# and checks it there: the files, that every library of both executables is found, and that the
# installed program runs as root and keeps its settings in the per-user folder, leaving /usr/bin
# untouched. Needs root (chroot, mount) and the network (apt, and debootstrap when there is no
# base archive). Works inside a chroot too, as long as proc and dev can be mounted there.
# Usage: test_deb.sh BUILD_DIR
set -euo pipefail
BUILD=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/installed_files.sh"
BASE_TAR=${BASE_TAR:-/var/tmp/fresh-debian-base.tar}
fail() { echo "FAIL: $*" >&2; exit 1; }
[ "$(id -u)" = 0 ] || { echo "SKIP: needs root"; exit 77; }

(cd "$BUILD" && rm -f horavox_*.deb && cpack -G DEB >cpack.log 2>&1) ||
    { tail -20 "$BUILD/cpack.log" >&2; fail "cpack -G DEB failed"; }
DEB=$(ls "$BUILD"/horavox_*_"$(dpkg --print-architecture)".deb 2>/dev/null) ||
    fail "no horavox_<version>_<arch>.deb in $BUILD"
DEPENDS=$(dpkg-deb -f "$DEB" Depends)
for package in espeak-ng-data libqt6widgets6 libqt6multimedia6 libsndfile1 libespeak-ng1 libflite1; do
    [[ "$DEPENDS" == *"$package"* ]] || fail "the package does not depend on $package: $DEPENDS"
done

WORK=$(mktemp -d /var/tmp/horavox-deb.XXXXXX)
ROOT=$WORK/root
cleanup() {
    local m
    for m in dev/pts dev proc; do umount "$ROOT/$m" 2>/dev/null || true; done
    # Only once nothing is mounted any more, so that rm never reaches the host's /dev.
    mountpoint -q "$ROOT/dev" || mountpoint -q "$ROOT/proc" || rm -rf "$WORK"
}
trap cleanup EXIT
mkdir "$ROOT"
if [ -f "$BASE_TAR" ]; then
    tar -C "$ROOT" -xf "$BASE_TAR"
else
    command -v debootstrap >/dev/null || fail "neither $BASE_TAR nor debootstrap is there"
    # The mirror apt uses here, from either form of its sources list.
    MIRROR=$(cat /etc/apt/sources.list.d/debian.sources /etc/apt/sources.list 2>/dev/null |
        grep -v '^#' | grep -oE -m1 'https?://[^ ]+' || true)
    debootstrap --variant=minbase bookworm "$ROOT" ${MIRROR:-} >"$WORK/debootstrap.log" 2>&1 ||
        { tail -20 "$WORK/debootstrap.log" >&2; fail "debootstrap failed"; }
fi
cp /etc/resolv.conf "$ROOT/etc/" 2>/dev/null || true
cp "$DEB" "$ROOT/tmp/"
mount -t proc proc "$ROOT/proc" && mount --bind /dev "$ROOT/dev" &&
    mount --bind /dev/pts "$ROOT/dev/pts" || fail "cannot mount proc and dev into the root"

in_root() {
    chroot "$ROOT" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
        DEBIAN_FRONTEND=noninteractive "$@"
}
in_root apt-get update -qq >"$WORK/apt.log" 2>&1 &&
    in_root apt-get install -y -qq --no-install-recommends "/tmp/$(basename "$DEB")" \
        >>"$WORK/apt.log" 2>&1 || { tail -20 "$WORK/apt.log" >&2; fail "apt-get install failed"; }

check_installed_files "$ROOT/usr" || fail "files are missing from the installed package"
for program in horavox acstool; do
    missing=$(in_root ldd "/usr/bin/$program" | grep 'not found' || true)
    [ -z "$missing" ] || fail "$program: libraries not found: $missing"
done

touch "$ROOT/tmp/before-start"
run_for_a_while() {
    local rc=0
    in_root env QT_QPA_PLATFORM=offscreen timeout 4 horavox >"$WORK/app.log" 2>&1 || rc=$?
    [ $rc -eq 124 ] || { cat "$WORK/app.log" >&2; fail "the installed program ended with $rc"; }
}
run_for_a_while
[ -s "$ROOT/root/.local/share/Horavox/Settings.ini" ] ||
    fail "no settings in the per-user data folder /root/.local/share/Horavox"
check_own_characters "$ROOT/root/.local/share/Horavox" /root/.local/share/Horavox run_for_a_while ||
    fail "the user's own characters"
changed=$(find "$ROOT/usr/bin" -newer "$ROOT/tmp/before-start")
[ -z "$changed" ] || fail "the installed program wrote into /usr/bin: $changed"
echo "deb: $(basename "$DEB") installs with apt, finds its libraries, runs as root and gives" \
    "root a character folder of its own"
