#!/usr/bin/env bash
# Installs the dependencies, builds Quorva and starts it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/tools/setup.sh"
"$root/tools/build.sh" "$root/build"
exec "$root/build/app/quorva" "$@"
