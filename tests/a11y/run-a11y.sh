#!/usr/bin/env bash
# Reads Brellow through the Linux accessibility stack, as a screen reader does: a private
# Xvfb display, a D-Bus session, the accessibility bus and its registry, the program with
# its accessibility always on, and checks.py asking over AT-SPI from a separate process.
#   tests/a11y/run-a11y.sh BRELLOW BRELLOW-CLI
# Exits 77 (skipped, with the reason) when a piece of that stack is missing;
# scripts/install-deps.sh installs them.
set -euo pipefail
brellow=${1:?usage: run-a11y.sh BRELLOW BRELLOW-CLI}
cli=${2:?usage: run-a11y.sh BRELLOW BRELLOW-CLI}
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3  # the system Python, which has pyatspi

skip() {
    echo "a11y: skipped: $* (scripts/install-deps.sh installs it)"
    exit 77
}
for tool in Xvfb xdotool dbus-run-session timeout; do
    command -v "$tool" >/dev/null || skip "$tool is missing"
done
for daemon in at-spi-bus-launcher at-spi2-registryd; do
    [ -x "/usr/libexec/$daemon" ] || skip "/usr/libexec/$daemon is missing (at-spi2-core)"
done
[ -x "$python" ] || skip "$python is missing"
"$python" -c 'import pyatspi' 2>/dev/null ||
    skip "$python cannot import pyatspi (python3-pyatspi, gir1.2-atspi-2.0)"

work=$(mktemp -d)
xvfb=
cleanup() {
    set +e
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb"
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
if ! timeout 10 bash -c "until [ -s '$work/display' ]; do sleep 0.1; done"; then
    echo "a11y: Xvfb did not start within 10 s: $(tail -n 3 "$work/xvfb.log")" >&2
    exit 1
fi
export DISPLAY=:$(cat "$work/display")
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
unset WAYLAND_DISPLAY AT_SPI_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS
# Settings and recent files of the run stay out of the user's own.
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_CONFIG_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# checks.py bounds each wait itself; this bounds the whole run.
timeout -k 10 240 dbus-run-session -- "$python" "$here/checks.py" "$brellow" "$cli" "$work"
