#!/usr/bin/env bash
# The Debian package as a user meets it: installed with apt on a clean Debian 12 (a fresh
# debootstrap in a scratch folder), started under Xvfb with openbox, then purged, leaving nothing
# but the user's settings.ini. Usage: test_package.sh path/to/slateboard_1.2.8_amd64.deb (as root)
DEB=$(readlink -f "${1:?usage: test_package.sh package.deb}") && source "$(dirname "$0")/../e2e/lib.sh" /bin/true
ROOT=$WORK/debian MIRROR=$(awk '/^URIs:/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null)
in_root() { chroot "$ROOT" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root DEBIAN_FRONTEND=noninteractive "$@"; }
files() { in_root find / -xdev \( -path /proc -o -path /tmp -o -path /run \) -prune -o -print | sort; }
quiet() { "$@" >/dev/null 2>&1; }
debootstrap --variant=minbase bookworm "$ROOT" "${MIRROR:-http://deb.debian.org/debian}" >"$WORK/deboot.log" 2>&1 ||
    { tail -5 "$WORK/deboot.log"; exit 1; }
cp "$DEB" "$ROOT/tmp/" && mkdir -p "$ROOT/tmp/.X11-unix" "$ROOT/root/talk"
trap 'umount "$ROOT/tmp/.X11-unix" "$ROOT/proc"; stop_x; rm -rf --one-file-system "$WORK"' EXIT
mount --bind /proc "$ROOT/proc" && mount --bind /tmp/.X11-unix "$ROOT/tmp/.X11-unix" || exit 1
# The libraries first, so that what the package itself leaves behind can be told apart.
quiet in_root apt-get update -qq && quiet in_root apt-get install -y -qq \
    $(dpkg-deb -f "$DEB" Depends Recommends | sed 's/^[A-Za-z]*: //; s/([^)]*)//g; s/,/ /g')
before=$(files) && quiet in_root apt-get install -y -qq "/tmp/$(basename "$DEB")"
check "apt installs it, the binary on the PATH" quiet in_root sh -c 'dpkg -s slateboard && command -v slateboard'
check "desktop entry, icons and manual page installed" in_root test -f /usr/share/applications/slateboard.desktop \
    -a -f /usr/share/icons/hicolor/48x48/apps/slateboard.png \
    -a -f /usr/share/icons/hicolor/scalable/apps/slateboard.svg -a -f /usr/share/man/man1/slateboard.1.gz
start_x
chroot "$ROOT" env -i PATH=/usr/bin:/bin HOME=/root DISPLAY="$DISPLAY" XDG_RUNTIME_DIR=/tmp \
    sh -c 'cd /root/talk && exec slateboard' >"$WORK/app.out" 2>"$WORK/app.err" & APP_PID=$! && PIDS+=($!)
until_ok "the toolbar appears and takes the focus" eval 'found_now TOOLBAR SB && active_is $TOOLBAR'
check_eq "the defaults written in the working folder" "$(want)" "$(bytes "$ROOT/root/talk/settings.ini")"
close_app && check_eq "ends with status 0" "0" "$EXIT_STATUS"
quiet in_root apt-get purge -y -qq slateboard && check "purged" not quiet in_root dpkg -s slateboard
left=$(comm -13 <(echo "$before") <(files) | grep -v -E '^/var/(lib|cache|log)/(apt|dpkg)|^/var/log/|^/etc/ld.so.cache$|^/root/talk$')
check_eq "nothing left but the user's settings.ini" "/root/talk/settings.ini" "$left"
finish
