#!/usr/bin/env bash
# The real binary driven as a user drives it, in a private X server: the time from a click on the
# drawing-mode button to the canvas on screen, at 1024x768 and 3840x2160, the resident memory in
# each mode, and the memory after a talk's worth of use (many entries, every pattern, take-backs).
# Usage: end_to_end.sh path/to/slateboard
source "$(dirname "$0")/../tests/e2e/lib.sh" "$1"
cc -O2 -o "$WORK/measure_enter" "$(dirname "$0")/measure_enter.c" -lX11 -lXtst || exit 1
rss() { awk '/VmRSS/ {print int($2 / 1024)}' "/proc/$APP_PID/status"; }
for size in 1024x768 3840x2160; do
    start_x "$size" && backdrop 32,128,192 && start_app >/dev/null || exit 1
    normal=$(rss) times=()
    for i in 1 2 3 4 5; do
        read -r x y _ < <(geo "$TOOLBAR") && xdotool mousemove $((x + 42)) $((y + 13))
        times+=("$("$WORK/measure_enter")") && wait_until above "$TOOLBAR" "$(canvas)" && drawing=$(rss) && leave
    done
    echo "$size: click to painted canvas ${times[*]} ms; memory ${normal} MiB normal, ${drawing} MiB drawing"
    stop_x
done
# A talk: entries and leaves in turn by the button and by a double-click, ten gestures each time.
start_x && backdrop 32,128,192 && start_app >/dev/null || exit 1
for i in {0..9}; do
    x=$((100 + i * 80)) y=$((150 + i % 3 * 150)) b=$((i % 4 == 3 ? 2 : 1)) k=(a l c c r r e f e a)
    g+=(key ${k[i]} mousemove $x $y mousedown $b mousemove $((x + 20)) $((y + 15)) mousemove $((x + 60))
        $((y + 40)) mouseup $b $( ((i % 5 < 4)) || echo click 3))
done
for cycle in {1..200}; do
    enter && xdotool "${g[@]}" || { echo "cycle $cycle failed"; exit 1; }
    if ((cycle % 2)); then leave; else dclick 900 700 && wait_until not canvas; fi || exit 1
    ((cycle != 10)) || early=$(rss)
done
echo "a talk of 200 entries and 2,000 gestures: memory ${early} MiB after 10, $(rss) MiB after 200" \
     "(goal: within 5 MiB); errors printed: $(wc -l <"$WORK/app.err")"
