#!/usr/bin/env bash
# check-install.sh CMAKE BUILD_DIR gui|no-gui
# Installs BUILD_DIR into a temporary prefix, then checks that every file is where the
# desktop looks for it and that the desktop's own validators accept the entry and the
# description. Prints what is wrong and exits 1 on the first failure.
set -euo pipefail
cmake=$1 build=$2 gui=$3

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

"$cmake" --install "$build" --prefix "$prefix" >/dev/null

id=com.korvell.Brellow
share=$prefix/share
cli=$prefix/bin/brellow-cli
[ -x "$cli" ] || fail "$cli was not installed"
"$cli" --version >/dev/null || fail "the installed brellow-cli does not run"

# check_manual PROGRAM: its manual page is installed beside the others, reads without
# warnings and names every option the program's --help lists.
check_manual() {
    local man=$share/man/man1/$1.1
    [ -f "$man" ] || fail "$man was not installed"
    local warnings
    warnings=$(groff -man -ww -z "$man" 2>&1)
    [ -z "$warnings" ] || fail "groff warns about $1.1: $warnings"
    local options
    options=$("$prefix/bin/$1" --help | grep -o -- '--[a-z][a-z-]*' | sort -u) ||
        fail "$1 --help failed"
    [ -n "$options" ] || fail "$1 --help lists no options"
    for option in $options; do
        grep -qF -- "${option//-/\\-}" "$man" || fail "$1.1 does not document $option"
    done
}
check_manual brellow-cli

# Without the desktop program there is nothing for the desktop to list or open.
if [ "$gui" != gui ]; then
    [ ! -e "$share/applications/$id.desktop" ] || fail "a desktop entry without its program"
    [ ! -e "$share/man/man1/brellow.1" ] || fail "a manual page of brellow without its program"
    echo "installed brellow-cli and its manual page"
    exit 0
fi

expected=(
    "$share/applications/$id.desktop"
    "$share/mime/packages/$id.xml"
    "$share/metainfo/$id.metainfo.xml"
    "$share/icons/hicolor/scalable/apps/$id.svg"
)
for file in "${expected[@]}"; do
    [ -f "$file" ] || fail "$file was not installed"
done
[ -x "$prefix/bin/brellow" ] || fail "$prefix/bin/brellow was not installed"
check_manual brellow

# Each PNG is as large as the folder it is in says: bytes 16 to 23 of a PNG are its
# width and height, big-endian.
pngs=("$share"/icons/hicolor/*x*/apps/"$id.png")
[ -f "${pngs[0]}" ] || fail "no PNG icon was installed"
for png in "${pngs[@]}"; do
    size=$(basename "$(dirname "$(dirname "$png")")")
    read -r -a header < <(od -An -tu1 -j16 -N8 "$png")
    width=$(((header[2] << 8) | header[3]))
    height=$(((header[6] << 8) | header[7]))
    [ "${width}x${height}" = "$size" ] || fail "$png is ${width}x${height}, not $size"
done

desktop-file-validate "$share/applications/$id.desktop" || fail "desktop-file-validate refused the entry"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" ||
    fail "appstreamcli refused the metainfo"

# The install rebuilt the caches: .brw is the loan type, which the entry opens.
grep -qx 'application/x-brellow-loan:\*\.brw' "$share/mime/globs" ||
    fail "the mime database has no *.brw glob for application/x-brellow-loan"
grep -q "^application/x-brellow-loan=.*$id\.desktop" "$share/applications/mimeinfo.cache" ||
    fail "the desktop database does not open application/x-brellow-loan with $id.desktop"
echo "installed, and the desktop validators accept the entry and the metainfo"
