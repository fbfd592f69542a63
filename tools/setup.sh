#!/usr/bin/env bash
# Installs everything Quorva needs to build, run and test on Debian 12.
set -euo pipefail

packages=(
    build-essential cmake ninja-build ccache pkg-config
    qt6-base-dev libqt6sql6-sqlite libqt6sql6-psql libqt6sql6-odbc qt6-qpa-plugins
    libsqlite3-dev sqlite3 unixodbc unixodbc-dev odbc-mdbtools mdbtools mdbtools-dev
    odbc-postgresql postgresql libcups2-dev
    libxlsxwriter-dev libgtest-dev libgmock-dev libbenchmark-dev
    fonts-liberation xvfb xauth poppler-utils unzip
    dbus-x11 at-spi2-core python3-pyatspi xdotool
    cups cups-daemon cups-client printer-driver-cups-pdf ghostscript
    clang-14 libclang-rt-14-dev
    desktop-file-utils appstream debootstrap file
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
# Without systemd (a container) packages must not start their services, CUPS's among them: the
# printing tests run a CUPS server of their own.
if [ ! -d /run/systemd/system ] && [ ! -e /usr/sbin/policy-rc.d ]; then
    printf '#!/bin/sh\nexit 101\n' | $sudo tee /usr/sbin/policy-rc.d >/dev/null
    $sudo chmod +x /usr/sbin/policy-rc.d
    trap '$sudo rm -f /usr/sbin/policy-rc.d' EXIT
fi
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
