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
man=$share/man/man1/brellow-cli.1
[ -x "$cli" ] || fail "$cli was not installed"
"$cli" --version >/dev/null || fail "the installed brellow-cli does not run"

# The manual page reads without warnings and names every option --help lists.
[ -f "$man" ] || fail "$man was not installed"
warnings=$(groff -man -ww -z "$man" 2>&1)
[ -z "$warnings" ] || fail "groff warns about brellow-cli.1: $warnings"
for option in $("$cli" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    grep -qF -- "${option//-/\\-}" "$man" || fail "brellow-cli.1 does not document $option"
done

# Without the desktop program there is nothing for the desktop to list or open.
if [ "$gui" != gui ]; then
    [ ! -e "$share/applications/$id.desktop" ] || fail "a desktop entry without its program"
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
