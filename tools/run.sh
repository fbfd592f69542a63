#!/usr/bin/env bash
# Installs the dependencies, builds Quorva and starts it: only the program, its spreadsheet
# server and the sample database, so the window shows before the tests are built (test.sh
# builds those).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/tools/setup.sh"
"$root/tools/build.sh" "$root/build" --target quorva quorva-sheetserver quorva_sample
# The spreadsheet export's program opens ".XLS" documents unless the user has one registered.
"$root/build/sheetserver/quorva-sheetserver" --register
exec "$root/build/app/quorva" "$@"
