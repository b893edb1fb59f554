#!/usr/bin/env bash
# package.sh [BUILD_DIR]: builds the two programs alone in BUILD_DIR (default
# build-package), for /usr and with Debian's hardening flags, and makes the Debian
# package brellow_VERSION_ARCH.deb there.
set -euo pipefail
build=${1:-build-package}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DBRELLOW_TESTS=OFF -DBRELLOW_BENCHMARKS=OFF \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build "$build"
(cd "$build" && cpack)
deb=$(realpath "$build"/brellow_*.deb)
echo "Install it with: sudo apt-get install $deb"
