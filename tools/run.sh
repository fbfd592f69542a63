#!/usr/bin/env bash
# Installs the dependencies, builds Quorva and starts it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/tools/setup.sh"
"$root/tools/build.sh" "$root/build"
# The spreadsheet export's program opens ".XLS" documents unless the user has one registered.
"$root/build/sheetserver/quorva-sheetserver" --register
exec "$root/build/app/quorva" "$@"
