#!/usr/bin/env bash
# Configures and builds Quorva into build/ (or the folder given as $1), with extra CMake options.
# Options after --target name the targets to build instead of all of them.
#
#   build.sh [folder] [cmake options...] [--target name...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
shift || true
options=()
targets=()
while [ $# -gt 0 ]; do
    if [ "$1" = "--target" ]; then
        shift
        targets=("$@")
        break
    fi
    options+=("$1")
    shift
done
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
cmake --build "$build" --parallel "$(nproc)" ${targets[@]+--target "${targets[@]}"}
