#!/bin/bash
# Time from launch to the main window being mapped, for the program beside the smallest
# Qt Widgets program built with the same compiler and flags (CMake's Release), and beside
# the smallest main window furnished as Brellow's is (furnished.cpp: what Qt itself costs).
#
#   bench/startup/run.sh [-n ROUNDS] [-l LOAN.brw] [-B] BRELLOW...
#
# Each round launches the two yardsticks and then every BRELLOW given (say the program
# before and after a change) once, so that a busy machine slows all of them alike; the
# medians are printed at the end. With -l the loan is each program's most recent file,
# so every start reopens it, as a later start does. Without a DISPLAY the script runs
# its own Xvfb, and without a session bus its own D-Bus session, as a desktop has both:
# without a bus each program that shows widgets starts dbus-launch to look for one. -B
# runs without a session bus all the same. Needs g++, the Qt 6 and X11 development files,
# Xvfb and dbus-run-session (dbus).
set -euo pipefail
rounds=20
loan=
bus=yes
while getopts "n:l:B" option; do
    case $option in
        n) rounds=$OPTARG ;;
        l) loan=$(realpath "$OPTARG") ;;
        B) bus= ;;
        *) exit 2 ;;
    esac
done
shift $((OPTIND - 1))
[ $# -ge 1 ] || { echo "usage: $0 [-n ROUNDS] [-l LOAN.brw] [-B] BRELLOW..." >&2; exit 2; }
if [ -n "$bus" ] && [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
    exec dbus-run-session -- "$0" -n "$rounds" ${loan:+-l "$loan"} "$@"
fi

here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
xvfb=
cleanup() {
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

gcc -O2 -o "$work/mapwait" "$here/mapwait.c" -lX11
for yardstick in minimal furnished; do
    g++ -O3 -DNDEBUG -DQT_NO_DEBUG -Wall -Wextra -ffp-contract=off -fPIC -std=c++20 \
        $(pkg-config --cflags Qt6Widgets) -o "$work/$yardstick" "$here/$yardstick.cpp" \
        $(pkg-config --libs Qt6Widgets)
done

if [ -z "${DISPLAY:-}" ]; then
    display=:$((90 + RANDOM % 9))
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY=$display  # mapwait waits for the server to come up
fi
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime

# The yardsticks first, then each program with a settings folder of its own.
names=(minimal furnished)
programs=("$work/minimal" "$work/furnished")
configs=("$work/config0" "$work/config1")
for program in "$@"; do
    config=$work/config${#programs[@]}
    mkdir -p "$config/Korvell"
    if [ -n "$loan" ]; then
        printf '[Recent%%20File%%20List]\nFile1=%s\n' "$loan" >"$config/Korvell/Brellow.conf"
    fi
    names+=("$program")
    programs+=("$(realpath "$program")")
    configs+=("$config")
    # A first start writes the default settings; the rounds then time later starts.
    XDG_CONFIG_HOME=$config "$work/mapwait" "${programs[-1]}" >/dev/null
done

for round in $(seq "$rounds"); do
    for i in "${!programs[@]}"; do
        XDG_CONFIG_HOME=${configs[$i]} "$work/mapwait" "${programs[$i]}" >>"$work/times$i"
    done
done
for i in "${!programs[@]}"; do
    sort -n "$work/times$i" | awk -v name="${names[$i]}" '{ t[NR] = $1 } END {
        median = NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2
        printf "%8.1f ms median (%.1f to %.1f, %d launches)  %s\n", median, t[1], t[NR], NR, name
    }'
done
