#!/usr/bin/env bash
# A whole talk's worth of use: 200 entries into drawing mode and out again with 2,000
# gestures of every pattern in between. The program must survive it and must not grow.
source "$(dirname "$0")/lib.sh" "$1"

start_x 1024x768
show_backdrop "rgb(32,128,192)"
start_app "$WORK/run" || exit 1
read -r cx cy _ < <(geometry_of "$TOOLBAR")
button=($((cx + 42)) $((cy + 13)))
rss() { awk '/VmRSS/ {print $2}' "/proc/$APP_PID/status"; }

# Ten gestures, one chained xdotool call: every pattern, left and middle buttons, a take-back.
gestures=()
keys=(a l c c r r e f e a)
for i in $(seq 0 9); do
    x=$((100 + i * 80)); y=$((150 + (i % 3) * 150))
    gestures+=(key "${keys[$i]}" mousemove "$x" "$y" mousedown $((i % 4 == 3 ? 2 : 1))
               mousemove $((x + 20)) $((y + 15)) mousemove $((x + 60)) $((y + 40))
               mouseup $((i % 4 == 3 ? 2 : 1)))
    [ $((i % 5)) -eq 4 ] && gestures+=(click 3)
done

crashed=0
for cycle in $(seq 1 200); do
    xdotool mousemove "${button[@]}" click 1
    wait_until canvas_id 5 || { crashed=1; break; }
    xdotool "${gestures[@]}"
    if [ $((cycle % 2)) -eq 0 ]; then
        xdotool mousemove 900 700 click --repeat 2 --delay 80 1  # leave by double-click
    else
        xdotool mousemove "${button[@]}" click 1  # leave by the button
    fi
    wait_until "! canvas_id" 5 || { crashed=1; break; }
    kill -0 "$APP_PID" 2>/dev/null || { crashed=1; break; }
    [ "$cycle" -eq 10 ] && after10=$(rss)
done
after200=$(rss)
check_eq "200 cycles with 2,000 gestures, no crash" "0" "$crashed"
echo "  resident memory: ${after10:-?} KiB after 10 cycles, ${after200:-?} KiB after 200"
growth=$(( ${after200:-999999} - ${after10:-0} ))
check "memory after the soak within 5 MB of that after ten cycles (grew $growth KiB)" [ "$growth" -le 5120 ]
check "no error printed" [ ! -s "$WORK/app.err" ]

finish
