#!/usr/bin/env bash
# Starts Brellow, or without a display shows a sample loan from the command line.
set -euo pipefail
build=${1:-build}

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$build/app/brellow"
fi

echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset), so the window cannot open."
echo "Here is a sample loan from brellow-cli instead:"
echo "  brellow-cli --amount 100000 --rate 6 --periods 360 --first-payment 01/01/2003 --year 2003"
echo
exec "$build/cli/brellow-cli" --amount 100000 --rate 6 --periods 360 --first-payment 01/01/2003 --year 2003
