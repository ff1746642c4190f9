# Shared by the package tests: what an installation must hold, relative to its prefix.
# check_installed_files PREFIX: fails unless every file the program needs is there.
check_installed_files() {
    local prefix=$1 file size missing=0
    local files=(bin/horavox bin/acstool share/applications/horavox.desktop
        share/horavox/horavox.html)
    for file in tock olwen pim; do files+=("share/horavox/chars/$file.acs"); done
    for size in 16 22 24 32 48 64 128 256; do
        files+=("share/icons/hicolor/${size}x$size/apps/horavox.png")
    done
    # Every picture the guide shows.
    for file in $(grep -o 'src="[^"]*"' "$prefix/share/horavox/horavox.html" | cut -d'"' -f2); do
        files+=("share/horavox/$file")
    done
    for file in "${files[@]}"; do
        [ -s "$prefix/$file" ] || { echo "FAIL: $prefix/$file is not installed" >&2; missing=1; }
    done
    return $missing
}

# check_own_characters DATA_FOLDER SEEN_AS RUN...: after a first run of an installed copy,
# DATA_FOLDER (the user's ~/.local/share/Horavox, which the program sees as SEEN_AS) holds chars/ with the bundled characters and the settings
# name it; a character dropped there is listed at the next start (RUN starts the program for a
# few seconds). A name not in the list would be replaced by the first entry when the settings
# are written at start-up, so a name that stays proves the listing.
check_own_characters() {
    local data=$1 seen_as=$2 file
    shift 2
    for file in tock olwen pim; do
        [ -s "$data/chars/$file.acs" ] ||
            { echo "FAIL: $data/chars/$file.acs was not offered on the first run" >&2; return 1; }
    done
    grep -q ",\"$seen_as/chars/\"" "$data/Settings.ini" ||
        { echo "FAIL: the settings do not name the user's own folder: $(cat "$data/Settings.ini")" >&2; return 1; }
    cp "$data/chars/tock.acs" "$data/chars/zed.acs"
    sed -i 's/^"[^"]*"/"zed"/' "$data/Settings.ini"
    "$@" || return 1
    grep -q '^"zed"' "$data/Settings.ini" ||
        { echo "FAIL: a character dropped into $data/chars was not listed" >&2; return 1; }
}
