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

# The CUPS printing tests print on a private CUPS server whose PDF queue writes into a folder;
# without one they skip.
cups="$(mktemp -d -t quorva-cups.XXXXXX)"
cups_errors="$(mktemp -t quorva-cups-errors.XXXXXX)"
trap '"$root/tools/cups-test-server.sh" stop "$cups"; rm -rf "$cups" "$cups_errors"' EXIT
if server="$("$root/tools/cups-test-server.sh" start "$cups" 2>"$cups_errors")"; then
    eval "$server"
    export QUORVA_CUPS_PDF_OUT="$cups/out"
else
    echo "CUPS printing tests skipped: $(tail -n 1 "$cups_errors" | sed 's/^cups-test-server: //')"
fi

cd "$build"
ctest --output-on-failure --timeout 600 --parallel "$(nproc)"
