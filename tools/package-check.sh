#!/usr/bin/env bash
# Tries the Debian package out as a user of a fresh Debian 12 machine would: installs it with
# apt-get into a clean Debian root (dependencies from the Debian archive), validates its desktop
# entry and AppStream metainfo, and starts the installed program there under Xvfb, as a user,
# until its main window shows.
#
#   package-check.sh [file.deb]   checks the package given, or builds one with package.sh
#
# Needs root, debootstrap and the Debian archive (QUORVA_DEBIAN_MIRROR names another mirror).
# The root made by debootstrap is kept in build-pkg/root-base and copied afresh for each check;
# the packages apt-get fetches are kept in build-pkg/apt-archives, so a second run is fast.
set -euo pipefail
export PATH="${PATH:-/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin}"
root="$(cd "$(dirname "$0")/.." && pwd)"
work="$root/build-pkg"
base="$work/root-base"
target="$work/root"
archives="$work/apt-archives"
mirror="${QUORVA_DEBIAN_MIRROR:-http://deb.debian.org/debian}"
readonly app_id=org.quorva.Quorva

fail() {
    echo "package-check: $*" >&2
    exit 1
}

[ "$(id -u)" -eq 0 ] || fail "needs root (debootstrap, chroot)"
for tool in debootstrap chroot unshare desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (tools/setup.sh installs it)"
done

if [ $# -gt 0 ]; then
    deb="$(realpath "$1")"
else
    deb="$("$root/tools/package.sh" | tail -n 1)"
fi
[ -f "$deb" ] || fail "no package at $deb"
started=$SECONDS

if [ ! -e "$base/.complete" ]; then
    echo "Making a Debian 12 root in $base (once)"
    rm -rf "$base"
    debootstrap --variant=minbase bookworm "$base" "$mirror" >"$work/debootstrap.log" 2>&1 ||
        fail "debootstrap failed; see $work/debootstrap.log"
    # As a fresh installation has them: the point releases' updates and the security archive.
    cat >"$base/etc/apt/sources.list" <<EOF
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb http://deb.debian.org/debian-security bookworm-security main
EOF
    touch "$base/.complete"
fi

echo "Installing $(basename "$deb") into a copy of the clean root"
rm -rf "$target"
cp -a "$base" "$target"
rm -f "$target/.complete"
cp "$deb" "$target/tmp/quorva.deb"
cp /etc/resolv.conf "$target/etc/resolv.conf"
mkdir -p "$archives/partial"

# Runs inside the root: installs the package, then starts the program as a user.
cat >"$target/tmp/check.sh" <<'EOF'
#!/bin/sh
set -eu
export DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8
apt_get() { apt-get -q -o APT::Sandbox::User=root "$@"; }
# Services stay down: there is no init here.
printf '#!/bin/sh\nexit 101\n' >/usr/sbin/policy-rc.d
chmod +x /usr/sbin/policy-rc.d
apt_get update >/tmp/apt.log
# What a user's "apt install" would bring along must resolve too...
apt_get install -s /tmp/quorva.deb >>/tmp/apt.log
# ...but the program must start with its dependencies alone.
apt_get install -y --no-install-recommends /tmp/quorva.deb >>/tmp/apt.log 2>&1
apt_get install -y --no-install-recommends xvfb xauth x11-utils >>/tmp/apt.log 2>&1
dpkg-query -W \
    -f='${Package} ${Version}\n  Depends: ${Depends}\n  Recommends: ${Recommends}\n' quorva

useradd --create-home tester
install -d -m 700 -o tester -g tester /run/user/tester
runuser -u tester -- quorva --version >/tmp/version.txt
cat /tmp/version.txt

cat >/tmp/window.sh <<'INNER'
#!/bin/sh
# Starts Quorva on the X server and lists its windows once the main one shows.
quorva >/tmp/quorva.log 2>&1 &
pid=$!
tries=0
until xwininfo -root -tree | grep -q '"Quorva (v'; do
    tries=$((tries + 1))
    if [ $tries -gt 150 ] || ! kill -0 $pid 2>/dev/null; then
        break
    fi
    sleep 0.2
done
# Each window with its WM_CLASS, which the desktop entry's StartupWMClass names.
xwininfo -root -tree | grep '"Quorva (v' >/tmp/windows.txt || true
kill $pid 2>/dev/null || true
{ wait $pid; } 2>/dev/null || true
INNER
chmod +x /tmp/window.sh
# A network namespace of its own keeps this X server's abstract socket apart from those of
# X servers running outside the root.
mkdir -p -m 1777 /tmp/.X11-unix
unshare --net runuser -u tester -- env HOME=/home/tester XDG_RUNTIME_DIR=/run/user/tester \
    xvfb-run -s '-screen 0 1280x1024x24 -nolisten tcp' /tmp/window.sh
EOF
chmod +x "$target/tmp/check.sh"

# The mounts live in a namespace of their own and go with it, whatever happens.
# shellcheck disable=SC2016 # the inner shell expands its arguments
if ! unshare --mount --propagation private sh -c '
    mount -t proc proc "$1/proc" &&
        mount --rbind /dev "$1/dev" &&
        mount --bind "$2" "$1/var/cache/apt/archives" &&
        exec chroot "$1" /tmp/check.sh' check "$target" "$archives"; then
    tail -n 20 "$target/tmp/apt.log" >&2 || true
    fail "installing or starting the package in the root failed"
fi

echo "Checking the installed files"
usr="$target/usr"
version="$(sed -n 's/^project(Quorva VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
grep -qx "Quorva $version" "$target/tmp/version.txt" ||
    fail "quorva --version does not say $version"
grep -qx "Sample database: /usr/share/quorva/quorva-sample.sqlite" "$target/tmp/version.txt" ||
    fail "the installed program does not find its sample database"
[ -x "$usr/bin/quorva-sheetserver" ] || fail "quorva-sheetserver is not installed"
desktop="$usr/share/applications/$app_id.desktop"
desktop-file-validate "$desktop" || fail "$desktop does not validate"
appstreamcli validate --no-net "$usr/share/metainfo/$app_id.metainfo.xml" >/dev/null ||
    fail "the metainfo does not validate"
icon="$(sed -n 's/^Icon=//p' "$desktop")"
[ -f "$usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no icon named $icon"
exec_line="$(sed -n 's/^Exec=//p' "$desktop")"
[ -x "$usr/bin/${exec_line%% *}" ] || fail "the desktop entry starts ${exec_line%% *}, not installed"

if ! grep -q "\"Quorva (v$version)\"" "$target/tmp/windows.txt"; then
    cat "$target/tmp/quorva.log" >&2 || true
    fail "the main window did not show"
fi
echo "Main window shown:"
cat "$target/tmp/windows.txt"
if [ -s "$target/tmp/quorva.log" ]; then
    echo "The program said:"
    cat "$target/tmp/quorva.log"
fi
echo "Package check passed in $((SECONDS - started)) s"
