#!/usr/bin/env bash
# What must hold when things go wrong: a kill during a save never damages settings.ini, the
# X server going away ends the program with a message and a status, and a whole session
# leaves no file behind but settings.ini.
source "$(dirname "$0")/lib.sh" "$1"

start_x 1024x768

echo "kill -9 during saves"
dir="$WORK/kill"
mkdir -p "$dir"
five=$' 12 \r\n 2 \r\n 14 \r\n 5 \r\nTrue\r\n 6600 \r\n 5685 \r\n 0 \r\n 0 \r\n'
six=$' 12 \r\n 2 \r\n 14 \r\n 6 \r\nTrue\r\n 6600 \r\n 5685 \r\n 0 \r\n 0 \r\n'
printf '%s' "$five" >"$dir/settings.ini"
damaged=0
for round in $(seq 1 25); do
    start_app "$dir" >/dev/null || { damaged=$((damaged + 1)); continue; }
    # R toggles 5 and 6; each S saves the other of the two files.
    xdotool key --delay 2 r s r s r s r s r s r s r s r s r s r s r s r s r s r s r s r s &
    typing=$!
    sleep "0.$((RANDOM % 40 + 5))"
    kill -9 "$APP_PID"
    wait "$APP_PID" 2>/dev/null
    kill "$typing" 2>/dev/null; wait "$typing" 2>/dev/null
    content=$(cat "$dir/settings.ini"; echo x)
    [ "$content" = "${five}x" ] || [ "$content" = "${six}x" ] || damaged=$((damaged + 1))
done
check_eq "25 kills during saves left settings.ini whole" "0" "$damaged"
check_eq "and no temporary file behind" "settings.ini" "$(ls -A "$dir" | tr '\n' ' ' | sed 's/ $//')"

echo "a whole session writes nothing but settings.ini"
home="$WORK/home"
mkdir -p "$home" "$WORK/session"
# Every call that could create or change a file is traced.
HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_CACHE_HOME="$home/.cache" XDG_DATA_HOME="$home/.local/share" \
    APP_WRAPPER="strace -f -qq -o $WORK/trace -e trace=open,openat,creat,rename,renameat,renameat2,link,linkat,mkdir,mkdirat,symlink,symlinkat,truncate" \
    start_app "$WORK/session" || exit 1
read -r cx cy _ < <(geometry_of "$TOOLBAR")
xdotool mousemove $((cx + 42)) $((cy + 13)) click 1
wait_until canvas_id 5
for k in a l c r e f; do
    key "$k"
    xdotool mousemove 100 100 mousedown 1 mousemove 200 150 mousemove 300 250 mouseup 1
done
xdotool click 3
key h; sleep 0.5; key Escape; sleep 0.3
xdotool windowactivate --sync "$TOOLBAR"
key Down; sleep 0.5; key Escape; sleep 0.3
xdotool windowactivate --sync "$TOOLBAR"
key s space
sleep 6
read -r cx cy _ < <(geometry_of "$TOOLBAR")
xdotool mousemove $((cx + 42)) $((cy + 13)) click 1
key alt+F4
wait_exit "$APP_PID" 5
check_eq "the working folder holds settings.ini only" "settings.ini" "$(ls -A "$WORK/session" | tr '\n' ' ' | sed 's/ $//')"
check_eq "nothing in the home folder" "" "$(find "$home" -mindepth 1 | head -5)"
# The writes that succeeded, less settings.ini (and its temporary names), /dev/null and the
# runtime folder that already existed.
writes=$(grep -E 'O_WRONLY|O_RDWR|O_CREAT|O_TMPFILE|rename|link|mkdir|creat\(|symlink|truncate' "$WORK/trace" |
    grep -v -E '= -1 |"/dev/null"|^[0-9]+ +(openat\(AT_FDCWD, "\.", O_WRONLY\|O_CLOEXEC\|O_TMPFILE|linkat\(AT_FDCWD, "/proc/self/fd/[0-9]+", AT_FDCWD, "\./settings\.ini\.[0-9-]+"|rename\("\./settings\.ini\.[0-9-]+", "settings\.ini"\))')
check_eq "no other file written anywhere" "" "$writes"
check "the trace saw the saves" grep -q 'rename(".*settings.ini' "$WORK/trace"

echo "the X server goes away"
start_app "$WORK/session" >/dev/null || exit 1
kill "${PIDS[0]}"  # the Xvfb of this test
wait_exit "$APP_PID" 10
check "the program ends instead of hanging" [ "$EXIT_STATUS" != "timeout" ]
check "with a failure status" [ "$EXIT_STATUS" != "0" ]
check "and says why" grep -q "slateboard: .*X11 connection broke" "$WORK/app.err"

finish
