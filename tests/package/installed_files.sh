# Shared by the package tests: what an installation must hold, relative to its prefix.
# check_installed_files PREFIX: fails unless every file the program needs is there.
check_installed_files() {
    local prefix=$1 file size missing=0
    local files=(bin/horavox bin/acstool share/applications/horavox.desktop
        share/horavox/horavox.html)
    for file in tock olwen pim; do files+=("share/horavox/msagent/chars/$file.acs"); done
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
