#!/usr/bin/env bash
# The Debian package as a user meets it: installed with apt on a clean Debian 12 (a fresh
# debootstrap in a scratch folder), started under Xvfb with openbox, then removed.
# Usage: test_package.sh path/to/slateboard_1.2.8_amd64.deb   (needs root)
set -u
DEB=$(readlink -f "${1:?usage: test_package.sh package.deb}")
source "$(dirname "$0")/../e2e/lib.sh" /bin/true
ROOT="$WORK/debian"
MIRROR=$(grep -h '^URIs:' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n1 | awk '{print $2}')
MIRROR=${MIRROR:-http://deb.debian.org/debian}

echo "a clean Debian 12"
debootstrap --variant=minbase bookworm "$ROOT" "$MIRROR" >"$WORK/debootstrap.log" 2>&1 ||
    { tail -5 "$WORK/debootstrap.log"; exit 1; }
cp "$DEB" "$ROOT/tmp/"
mount --bind /proc "$ROOT/proc"
mkdir -p "$ROOT/tmp/.X11-unix"
mount --bind /tmp/.X11-unix "$ROOT/tmp/.X11-unix"
trap 'umount "$ROOT/tmp/.X11-unix" "$ROOT/proc" 2>/dev/null; cleanup' EXIT
in_root() { chroot "$ROOT" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }

echo "install"
in_root apt-get update -qq >/dev/null
# The libraries first, so that what the package itself leaves behind can be told apart.
deps=$(dpkg-deb -f "$DEB" Depends Recommends | sed 's/^[A-Za-z]*: //; s/([^)]*)//g; s/,/ /g')
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $deps >"$WORK/deps.log" 2>&1
before=$(in_root find / -xdev -path /proc -prune -o -path /tmp -prune -o -path /run -prune -o -print | sort)
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "/tmp/$(basename "$DEB")" >"$WORK/install.log" 2>&1
check "apt installs the package" bash -c "chroot '$ROOT' dpkg -s slateboard >/dev/null"
check "the binary is on the PATH" in_root sh -c 'command -v slateboard >/dev/null'
check "desktop entry installed" in_root test -f /usr/share/applications/slateboard.desktop
check "icons installed" in_root test -f /usr/share/icons/hicolor/48x48/apps/slateboard.png -a -f /usr/share/icons/hicolor/scalable/apps/slateboard.svg

echo "start"
start_x 1024x768
mkdir -p "$ROOT/root/talk"
chroot "$ROOT" env -i PATH=/usr/bin:/bin HOME=/root DISPLAY="$DISPLAY" XDG_RUNTIME_DIR=/tmp \
    sh -c 'cd /root/talk && exec slateboard' >"$WORK/app.out" 2>"$WORK/app.err" &
APP_PID=$!
PIDS+=($APP_PID)
check "the toolbar appears" wait_until toolbar_id 15
TOOLBAR=$(toolbar_id)
import -window root "$WORK/package.png"
check "settings.ini written in the working folder" test -f "$ROOT/root/talk/settings.ini"
xdotool windowactivate --sync "$TOOLBAR" 2>/dev/null
key alt+F4
wait_exit "$APP_PID" 5
check_eq "ends with status 0" "0" "$EXIT_STATUS"

echo "remove"
in_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq slateboard >/dev/null 2>&1
check "purged" bash -c "! chroot '$ROOT' dpkg -s slateboard >/dev/null 2>&1"
after=$(in_root find / -xdev -path /proc -prune -o -path /tmp -prune -o -path /run -prune -o -print | sort)
left=$(comm -13 <(echo "$before") <(echo "$after") | grep -v -E '^/var/(lib|cache|log)/(apt|dpkg)|^/var/log/|^/etc/ld.so.cache$|^/root/talk$')
check_eq "nothing left but the user's settings.ini" "/root/talk/settings.ini" "$left"
finish
