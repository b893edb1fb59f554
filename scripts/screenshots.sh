#!/usr/bin/env bash
# Takes the README's pictures on a private Xvfb display: the main window listing one year
# of a sample mortgage, the mortgage's monthly principal and interest chart (drawn by
# brellow --chart), its balance chart's window under a dark style sheet, and the first
# printed page. The pictures replace those in OUTDIR only when all four were taken.
#   scripts/screenshots.sh [BUILD] [OUTDIR]        (defaults: build docs)
# Needs Xvfb, xdotool, ImageMagick and pdftoppm, which scripts/install-deps.sh installs.
set -euo pipefail
build=${1:-build}
out=${2:-docs}
brellow=$build/app/brellow
cli=$build/cli/brellow-cli

fail() {
    echo "screenshots: $*" >&2
    exit 1
}

for tool in Xvfb xdotool import convert pdftoppm timeout; do
    command -v "$tool" >/dev/null || fail "$tool is missing; scripts/install-deps.sh installs it"
done
for program in "$brellow" "$cli"; do
    [ -x "$program" ] || fail "$program is missing; build it first (make build BUILD=$build)"
done
"$brellow" --help 2>/dev/null | grep -q -- --chart ||
    fail "$brellow has no --chart switch; rebuild it from the current sources"

work=$(mktemp -d)
xvfb=
app=
cleanup() {
    set +e  # a program that has already gone must not stop the rest
    [ -n "$app" ] && kill "$app" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    wait
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# Xvfb picks a free display itself and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
timeout 10 bash -c "until [ -s '$work/display' ]; do sleep 0.1; done" ||
    fail "Xvfb did not start within 10 s: $(tail -n 3 "$work/xvfb.log")"
DISPLAY=:$(cat "$work/display")
export DISPLAY
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
# Settings and recent files of the run stay out of the user's own.
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_CONFIG_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"

loan=$work/mortgage.brw
"$cli" --amount 100000 --rate 6 --periods 360 --first-payment 01/01/2003 \
    --format brw --output "$loan" || fail "brellow-cli could not write the sample loan"

# Waits for a visible window titled exactly $1 and prints its id.
find_window() {
    local found
    found=$(timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1) ||
        fail "no window \"$1\" appeared within 20 s; $(tail -n 3 "$work/brellow.log")"
    echo "$found"
}

# Presses keys in window $1; without a window manager, focus is given by hand.
press() {
    local window=$1
    shift
    xdotool windowfocus --sync "$window"
    xdotool key --delay 100 "$@"
}

# Captures window $1 as $work/$2.ppm once the picture holds still between two looks and,
# when a picture $3 is given, differs from it (the keys pressed before have been shown).
shoot() {
    local window=$1 name=$2 before=${3:-}
    local previous=$work/previous.ppm current=$work/current.ppm
    rm -f "$previous"
    for _ in $(seq 40); do
        import -window "$window" "$current"
        if [ -f "$previous" ] && cmp -s "$current" "$previous" &&
            { [ -z "$before" ] || ! cmp -s "$current" "$before"; }; then
            mv "$current" "$work/$name.ppm"
            return
        fi
        mv "$current" "$previous"
        sleep 0.25
    done
    fail "the $name picture did not show the change and settle within 10 s"
}

"$brellow" "$loan" >"$work/brellow.log" 2>&1 &
app=$!
main=$(find_window "Brellow - mortgage.brw")
# Window > Tile lets the loan's window fill the main window.
xdotool windowsize --sync "$main" 760 640
press "$main" alt+w t
shoot "$main" opened
# The view has the focus; Tab moves it to the year strip, Right selects 2003.
press "$main" Tab Right
shoot "$main" window "$work/opened.ppm"

kill "$app"
wait "$app" 2>/dev/null || true
app=

# A dark desktop: the chart keeps its own white paper.
cat >"$work/dark.qss" <<'QSS'
QWidget { background-color: #2d2d2d; color: #e6e6e6; }
QPushButton { background-color: #454545; border: 1px solid #6a6a6a; padding: 3px 12px; }
QSS
"$brellow" -stylesheet "$work/dark.qss" "$loan" >"$work/brellow.log" 2>&1 &
app=$!
main=$(find_window "Brellow - mortgage.brw")
press "$main" alt+c b
chart=$(find_window "Balance Over Time Chart")
shoot "$chart" chart-dark
kill "$app"
wait "$app" 2>/dev/null || true
app=

timeout 60 "$brellow" --chart payment --output "$work/chart-drawn.png" "$loan" ||
    fail "drawing the chart of $loan failed"

timeout 60 "$brellow" --print-to-pdf "$work/page.pdf" "$loan" ||
    fail "printing $loan to a PDF failed"
pdftoppm -png -r 60 -f 1 -l 1 -singlefile "$work/page.pdf" "$work/printed"

# Writes $work/$2.png from picture $1 with the further options given, without metadata.
finish() {
    local from=$1 name=$2
    shift 2
    convert "$from" "$@" -depth 8 -strip -define png:compression-level=9 "$work/$name.png"
}
# Few colours keep the files small with no visible change; the page gets an edge to
# stand out from a white background.
finish "$work/window.ppm" window +dither -colors 128
finish "$work/chart-drawn.png" chart +dither -colors 128
finish "$work/chart-dark.ppm" chart-dark +dither -colors 128
finish "$work/printed.png" page -bordercolor gray60 -border 1
mkdir -p "$out"
for picture in window chart chart-dark page; do
    mv "$work/$picture.png" "$out/$picture.png"
    echo "screenshots: wrote $out/$picture.png"
done
