#!/usr/bin/env bash
# Builds Quorva with its tests and runs the whole suite. With --sanitize the build goes to
# build-asan with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"
options=()
if [ "${1:-}" = "--sanitize" ]; then
    build="$root/build-asan"
    options=(-DQUORVA_SANITIZE=ON)
    export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi
"$root/tools/build.sh" "$build" "${options[@]}"
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure --timeout 600 --parallel "$(nproc)"
