#!/usr/bin/env bash
# Retakes the user guide's pictures (docs/images/) from the real program under Xvfb.
# Run by hand when the window or its dialogs change; not part of the tests or CI.
#
# The program runs with its own home, alias file, settings store and data link folder in a
# temporary folder, on a copy of the sample database, so nothing of the user's is read or
# changed. Needs Debian's xvfb, xauth, dbus-x11, at-spi2-core, python3-pyatspi, xdotool and
# poppler-utils; pngquant and optipng, when installed, make the pictures smaller.
# Usage: tools/screenshots.sh [build folder]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
images="$root/docs/images"

missing=()
for tool in xvfb-run dbus-launch xdotool pdftoppm; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done
[[ -x /usr/libexec/at-spi-bus-launcher ]] || missing+=(at-spi-bus-launcher)
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || missing+=(pyatspi)
if ((${#missing[@]})); then
    echo "screenshots: missing ${missing[*]}; install xvfb xauth dbus-x11 at-spi2-core" \
         "python3-pyatspi xdotool poppler-utils" >&2
    exit 1
fi

[[ -f "$build/build.ninja" ]] ||
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target quorva quorva_sample

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/data" "$work/links" "$work/run" "$work/shots"
chmod 700 "$work/run"
cp "$build/app/quorva-sample.sqlite" "$work/data/"
cat >"$work/aliases.ini" <<INI
[QuorvaSample]
Driver=SQLITE
Path=data/quorva-sample.sqlite

[Lager Nord]
Driver=PGSQL
Host=db.example.org
Database=stock
User=ann

[Northwind (Access)]
Driver=ACCESS
Path=data/nwind.mdb

[Reports]
Driver=ODBC
DSN=Reporting
INI
printf 'REGEDIT4\r\n\r\n' >"$work/registry.reg"
printf '[oledb]\r\n; Everything after this line is an OLE DB initstring\r\nProvider=SQLite;Data Source=%s\r\n' \
    "$work/data/quorva-sample.sqlite" >"$work/links/Sample.udl"

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_RUNTIME_DIR="$work/run" QUORVA_ALIASES="$work/aliases.ini"
export QUORVA_REGISTRY="$work/registry.reg" QUORVA_DATALINK_DIR="$work/links"
export QUORVA_PRINTER="pdf:300:$work/home/Quorva.pdf"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 LANG=C.UTF-8 LC_ALL=C.UTF-8

cat >"$work/inner.sh" <<'INNER'
eval "$(dbus-launch --sh-syntax)"
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
sleep 1
/usr/bin/python3 "$@"
rc=$?
kill "$DBUS_SESSION_BUS_PID" 2>/dev/null
exit $rc
INNER
xvfb-run -a -s "-screen 0 1024x768x24" bash "$work/inner.sh" "$root/tools/screenshots.py" \
    "$build/app/quorva" "$work" "$work/shots"

# The first page of the printed grid, as the printer would put it on paper.
pdftoppm -f 1 -l 1 -r 72 -png "$work/home/Quorva Table Print.pdf" "$work/shots/printed-page"
mv "$work/shots"/printed-page*.png "$work/shots/printed-page.png"

mkdir -p "$images"
rm -f "$images"/*.png
for picture in "$work/shots"/*.png; do
    if command -v pngquant >/dev/null; then
        pngquant --force --skip-if-larger --quality 70-95 --output "$picture" "$picture" || true
    fi
    if command -v optipng >/dev/null; then
        optipng -quiet -o5 "$picture"
    fi
    cp "$picture" "$images/"
done
du -ch "$images"/*.png | tail -n 1
