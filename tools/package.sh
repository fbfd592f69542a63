#!/usr/bin/env bash
# Builds the Debian package of Quorva in build-pkg/ (the program, its spreadsheet server and
# sample, no tests) and prints the package's path. tools/package-check.sh tries it out.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-pkg"
# Debian builds with -O2 -g and strips: the flags of the test build in build/, whose objects
# ccache then gives this build (the folders are as deep, so the compile lines match).
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_INSTALL_PREFIX=/usr -DQUORVA_BUILD_TESTS=OFF -DQUORVA_BUILD_BENCH=OFF "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/*.deb
