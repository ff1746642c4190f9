#!/usr/bin/env bash
# Installs the build with cmake --install into a scratch prefix, checks the files, and starts the
# installed program and a copy of it in a folder of its own: the installed one keeps its files in
# the per-user data folder, the other one beside itself.
# Usage: test_install.sh BUILD_DIR
set -euo pipefail
BUILD=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/installed_files.sh"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

[ -s "$BUILD/horavox.html" ] || fail "the user guide is not beside the executable in the build"
cmake --install "$BUILD" --prefix "$WORK/usr" >/dev/null
check_installed_files "$WORK/usr" || fail "files are missing from the installation"

# run_for_a_while EXECUTABLE HOME: the program must still be running after a few seconds.
run_for_a_while() {
    local rc=0
    env -i PATH="$PATH" HOME="$2" QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 \
        timeout 4 "$1" >"$WORK/app.log" 2>&1 || rc=$?
    [ $rc -eq 124 ] || { cat "$WORK/app.log" >&2; fail "$1 ended with $rc instead of running on"; }
}

mkdir "$WORK/home"
run_for_a_while "$WORK/usr/bin/horavox" "$WORK/home"
[ -s "$WORK/home/.local/share/Horavox/Settings.ini" ] ||
    fail "the installed program kept no settings in the per-user data folder"
check_own_characters "$WORK/home/.local/share/Horavox" "$WORK/home/.local/share/Horavox" \
    run_for_a_while "$WORK/usr/bin/horavox" "$WORK/home" || fail "the user's own characters"
[ "$(ls "$WORK/usr/bin")" = "$(printf 'acstool\nhoravox')" ] ||
    fail "the installed program wrote beside its executable: $(ls "$WORK/usr/bin" | xargs)"

mkdir "$WORK/portable" "$WORK/home2"
cp -r "$WORK/usr/bin/horavox" "$WORK/usr/share/horavox/chars" "$WORK/portable/"
run_for_a_while "$WORK/portable/horavox" "$WORK/home2"
[ -s "$WORK/portable/Settings.ini" ] || fail "a copy in its own folder kept no settings beside it"
[ ! -e "$WORK/home2/.local/share/Horavox/Settings.ini" ] ||
    fail "a copy in its own folder wrote its settings into the per-user data folder"
echo "install: files in place; settings and characters in the per-user folder when installed," \
    "beside a copy"
