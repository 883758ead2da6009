#!/usr/bin/env bash
# The toolbar as a user meets it: placed, titled and on top; one instance only; keys pick
# patterns that a save writes; Space counts down; closing ends the program with status 0.
source "$(dirname "$0")/lib.sh" "$1"

DEFAULTS=$' 12 \r\n 2 \r\n 14 \r\n 1 \r\nTrue\r\n 6600 \r\n 5685 \r\n 0 \r\n 0 \r\n'
RUN="$WORK/run"
settings_line() { sed -n "${1}p" "$RUN/settings.ini" | tr -d '\r'; }

start_x 1024x768
echo "first start, no settings file"
start_app "$RUN" || exit 1
check_eq "title" "SB" "$(xdotool getwindowname "$TOOLBAR")"
check_eq "default settings file written" "${DEFAULTS}x" "$(cat "$RUN/settings.ini"; echo x)"
check "toolbar has the keyboard focus" [ "$(xdotool getactivewindow)" = "$TOOLBAR" ]
extents=($(xprop -id "$TOOLBAR" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g'))
caption=$((extents[2] - extents[0]))
check_eq "frame at Left 5685 / Top 6600 twips, 1335 twips wide, caption + 480 twips high" \
    "379 440 89 $((caption + 32))" "$(geometry_of "$(frame_of "$TOOLBAR")")"
check "always on top" bash -c "xprop -id $TOOLBAR _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE"
check "minimise box in normal mode" bash -c "xprop -id $TOOLBAR _NET_WM_ALLOWED_ACTIONS | grep -q _NET_WM_ACTION_MINIMIZE"
check "no maximise" bash -c "! xprop -id $TOOLBAR _NET_WM_ALLOWED_ACTIONS | grep -q MAXIMIZE"
import -window root "$WORK/start.png"
read -r cx cy _ < <(geometry_of "$TOOLBAR")
check "the pattern picture shows the red arrow" bash -c \
    "import -window root -crop 23x22+$cx+$((cy + 2)) -depth 8 txt:- | grep -qiE '#(FF|[C-E][0-9A-F])0000'"

echo "second instance"
(cd "$RUN" && exec "$SLATEBOARD" >/dev/null 2>&1) &
second=$!
wait_exit $second 5
check_eq "second instance ends at once with status 0" "0" "$EXIT_STATUS"
check_eq "still one toolbar" "1" "$(xdotool search --onlyvisible --name '^SB$' | wc -l)"
check "first instance still runs" kill -0 "$APP_PID"

echo "keys and save"
key r s
wait_until "[ \"\$(settings_line 4)\" = ' 5 ' ]" 3
check_eq "R then S saves pattern 5" " 5 " "$(settings_line 4)"
key r Right s
wait_until "[ \"\$(settings_line 4)\" = ' 7 ' ]" 3
check_eq "R toggles to 6, Right steps to 7" " 7 " "$(settings_line 4)"
key shift+a ctrl+c alt+f s
sleep 0.3
check_eq "modified keys do nothing" " 7 " "$(settings_line 4)"
key F2 Left Left s
wait_until "[ \"\$(settings_line 4)\" = ' 7 ' ] && false" 1
check_eq "F2 then Left twice wraps to 7" " 7 " "$(settings_line 4)"
key c c c s
wait_until "[ \"\$(settings_line 4)\" = ' 3 ' ]" 3
check_eq "C toggles 3, 4, 3" " 3 " "$(settings_line 4)"
check_eq "position saved in twips" " 6600 | 5685 " "$(settings_line 6)|$(settings_line 7)"

echo "countdown"
read -r cx cy _ < <(geometry_of "$TOOLBAR")
label() { import -window root -crop "25x17+$((cx + 60))+$((cy + 8))" -depth 8 rgb:- 2>/dev/null | md5sum | cut -c1-8; }
ready=$(label)
key space
start=$(date +%s%N)
seq=("$ready")
# Up to 4.7 s: "Rdy" until the first tick at 1 s, then 4, 3, 2, 1 at one-second steps.
while (( ($(date +%s%N) - start) / 1000000 < 4700 )); do
    h=$(label)
    [ "${seq[-1]}" = "$h" ] || seq+=("$h")
    sleep 0.1
done
check_eq "label goes through Rdy and four counts" "5" "${#seq[@]}"
check_eq "four distinct counts" "4" "$(printf '%s\n' "${seq[@]:1:4}" | sort -u | grep -v "$ready" | wc -l)"
check "at five seconds drawing mode starts" wait_until canvas_id 2
wait_until "[ \"\$(label)\" = '$ready' ]" 2
check_eq "and the label shows Rdy again" "$ready" "$(label)"
xdotool mousemove $((cx + 42)) $((cy + 13)) click 1
check "the button leaves drawing mode" wait_until "! canvas_id" 3

echo "close"
xdotool windowmove "$TOOLBAR" 100 100
sleep 0.3
key alt+F4
wait_exit "$APP_PID" 5
check_eq "closing the toolbar exits with status 0" "0" "$EXIT_STATUS"
check_eq "settings not saved at exit" " 6600 " "$(settings_line 6)"

finish
