#!/usr/bin/env bash
# Starts a program under Xvfb with an accessibility bus and runs a Python driver that works it
# the way assistive technology does. Usage: run.sh PROGRAM DRIVER.py [driver args...]
# The program gets a home of its own, so its settings and aliases never touch the user's.
set -u
prog=$(readlink -f "$1"); driver=$(readlink -f "$2"); shift 2
# Without the tools the walk cannot run: skipped (77), with the reason.
for tool in xvfb-run dbus-launch xdotool /usr/libexec/at-spi-bus-launcher; do
    command -v "$tool" >/dev/null || { echo "accessibility walk skipped: no $tool"; exit 77; }
done
/usr/bin/python3 -c "import pyatspi" 2>/dev/null ||
    { echo "accessibility walk skipped: no python3-pyatspi"; exit 77; }
here=$(dirname "$(readlink -f "$0")")
work=$(mktemp -d -t quorva-a11y.XXXXXX)
trap 'rm -rf "$work"' EXIT
cat >"$work/inner.sh" <<INNER
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_RUNTIME_DIR="$work/run" QUORVA_PRINTER=none QUORVA_A11Y_WORK="$work"
mkdir -p "\$HOME" "\$XDG_RUNTIME_DIR"; chmod 700 "\$XDG_RUNTIME_DIR"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 QT_QPA_PLATFORM=xcb
unset QT_QPA_PLATFORMTHEME
eval \$(dbus-launch --sh-syntax)
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 & B=\$!
sleep 0.5
"$prog" >"$work/program.log" 2>&1 & P=\$!
PYTHONPATH="$here" timeout 120 /usr/bin/python3 "$driver" "\$@"; rc=\$?
[ \$rc -ne 0 ] && [ -s "$work/program.log" ] && { echo "--- program output:"; tail -n 20 "$work/program.log"; } >&2
kill \$P 2>/dev/null; wait \$P 2>/dev/null
kill \$B \$DBUS_SESSION_BUS_PID 2>/dev/null
exit \$rc
INNER
xvfb-run -a -s "-screen 0 1280x1024x24" bash "$work/inner.sh" "$@" \
    2> >(grep -vE 'dbus-daemon|XDG_RUNTIME_DIR|SpiRegistry|AT-SPI' >&2)
