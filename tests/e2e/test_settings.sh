#!/usr/bin/env bash
# settings.ini as the user keeps it: saved values come back at the next start, a damaged
# file is replaced by the defaults, and a folder that cannot be written still starts.
source "$(dirname "$0")/lib.sh" "$1"

DEFAULTS=$' 12 \r\n 2 \r\n 14 \r\n 1 \r\nTrue\r\n 6600 \r\n 5685 \r\n 0 \r\n 0 \r\n'
close_app() {
    key alt+F4
    wait_exit "$APP_PID" 5
}

start_x 1024x768

echo "saved values come back"
dir="$WORK/saved"
mkdir -p "$dir"
saved=$' 9 \r\n 3 \r\n 13 \r\n 4 \r\nTrue\r\n 1200 \r\n 4500 \r\n 0 \r\n 1 \r\n'
printf '%s' "$saved" >"$dir/settings.ini"
start_app "$dir" || exit 1
check_eq "toolbar frame at Left 4500 / Top 1200 twips" "300 80" "$(geometry_of "$(frame_of "$TOOLBAR")" | cut -d' ' -f1,2)"
check_eq "the file is only read" "${saved}x" "$(cat "$dir/settings.ini"; echo x)"
key s
sleep 0.5
check_eq "saving unchanged state writes the same bytes" "${saved}x" "$(cat "$dir/settings.ini"; echo x)"
xdotool windowmove "$(frame_of "$TOOLBAR")" 200 -10 >/dev/null 2>&1 || true
sleep 0.3
key s
sleep 0.5
read -r fx fy _ < <(geometry_of "$(frame_of "$TOOLBAR")")
listed() { if [ "$1" -lt 0 ]; then echo "$1 "; else echo " $1 "; fi; }
check_eq "a moved toolbar saves its frame position" "$(listed $((fy * 15)))|$(listed $((fx * 15)))" \
    "$(sed -n 6p "$dir/settings.ini" | tr -d '\r')|$(sed -n 7p "$dir/settings.ini" | tr -d '\r')"
close_app
check_eq "exit status" "0" "$EXIT_STATUS"

echo "a damaged file is replaced by the defaults"
dir="$WORK/damaged"
mkdir -p "$dir"
printf ' 12 \r\n abc \r\n 14 \r\n 1 \r\nTrue\r\n 1200 \r\n 4500 \r\n 0 \r\n 0 \r\n' >"$dir/settings.ini"
start_app "$dir" || exit 1
check_eq "defaults written" "${DEFAULTS}x" "$(cat "$dir/settings.ini"; echo x)"
check_eq "toolbar at the default place, not the damaged file's" "379 440" "$(geometry_of "$(frame_of "$TOOLBAR")" | cut -d' ' -f1,2)"
close_app

echo "a position saved on a monitor that is gone"
dir="$WORK/gone"
mkdir -p "$dir"
gone=$' 12 \r\n 2 \r\n 14 \r\n 1 \r\nTrue\r\n 6000 \r\n 45000 \r\n 0 \r\n 0 \r\n'
printf '%s' "$gone" >"$dir/settings.ini"
start_app "$dir" || exit 1
read -r fx fy fw fh < <(geometry_of "$(frame_of "$TOOLBAR")")
check "toolbar fully on the 1024x768 screen" [ "$fx" -ge 0 -a $((fx + fw)) -le 1024 -a "$fy" -ge 0 -a $((fy + fh)) -le 768 ]
check_eq "toolbar kept at its saved height" "400" "$fy"
check_eq "the stored value is kept" "${gone}x" "$(cat "$dir/settings.ini"; echo x)"
close_app

echo "a folder that cannot be written"
dir="$WORK/readonly"
mkdir -p "$dir"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    # root writes anywhere: run the program as an unprivileged user instead.
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    chown 65534:65534 "$XDG_RUNTIME_DIR"
    chmod o+x "$WORK"
fi
chmod 555 "$dir"
(cd "$dir" && exec "${as_user[@]}" "$SLATEBOARD" >"$WORK/ro.out" 2>"$WORK/ro.err") &
APP_PID=$!
PIDS+=($APP_PID)
check "the toolbar starts" wait_until "toolbar_id" 10
TOOLBAR=$(toolbar_id)
check "no file appeared" [ -z "$(ls -A "$dir")" ]
check "it says why on standard error" grep -q "settings" "$WORK/ro.err"
check_eq "toolbar at the default place" "379 440" "$(geometry_of "$(frame_of "$TOOLBAR")" | cut -d' ' -f1,2)"
wait_until "[ \"\$(xdotool getactivewindow 2>/dev/null)\" = \"$TOOLBAR\" ]" 5
key s
check "a failed save shows a message" wait_until "xdotool search --onlyvisible --name '^Slateboard$'" 5
check "and the program runs on" kill -0 "$APP_PID"
key Return
sleep 0.3
close_app
check_eq "exit status" "0" "$EXIT_STATUS"

finish
