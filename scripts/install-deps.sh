#!/usr/bin/env bash
# Installs the Debian packages Brellow needs to build, test and show its window (with
# --fuzz: those the fuzzer needs; with --package: those that build its Debian package),
# and only those that are missing.
set -euo pipefail

packages=(
    cmake g++ ninja-build make
    qt6-base-dev qt6-svg-dev libxkbcommon-dev libgl-dev zlib1g-dev
    libgtest-dev libbenchmark-dev python3
    fonts-dejavu-core
    xvfb xauth x11-apps xdotool imagemagick poppler-utils
    desktop-file-utils appstream shared-mime-info groff-base
    # The screen-reader test: the accessibility bus and the system Python's pyatspi.
    at-spi2-core python3-pyatspi gir1.2-atspi-2.0 dbus-x11
)
case "${1:-}" in
# `make fuzz` alone needs clang and its libFuzzer and sanitizer runtimes.
--fuzz) packages=(cmake ninja-build make clang libclang-rt-14-dev) ;;
# The two programs, dpkg-shlibdeps and dpkg-buildflags, and `file`, with which CPack
# finds the binaries whose libraries become the package's dependencies.
--package)
    packages=(cmake g++ ninja-build make qt6-base-dev qt6-svg-dev libxkbcommon-dev libgl-dev
              zlib1g-dev dpkg-dev file)
    ;;
esac

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
        echo "These packages are missing and sudo is not available: ${missing[*]}" >&2
        exit 1
    fi
    sudo=(sudo)
fi
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
