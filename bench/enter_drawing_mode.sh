#!/usr/bin/env bash
# End-to-end timing of the drawing-mode button: from the click to the canvas on screen with
# the desktop copy (capture, mapping, first paint), at 1024x768 and 3840x2160, and the
# resident memory in drawing mode. Usage: enter_drawing_mode.sh path/to/slateboard
source "$(dirname "$0")/../tests/e2e/lib.sh" "$1"
cc -O2 -o "$WORK/measure_enter" "$(dirname "$0")/measure_enter.c" -lX11 -lXtst || exit 1

for size in 1024x768 3840x2160; do
    start_x "$size"
    show_backdrop "rgb(32,128,192)"
    start_app "$WORK/run-$size" >/dev/null || exit 1
    read -r cx cy _ < <(geometry_of "$TOOLBAR")
    rss_normal=$(awk '/VmRSS/ {print $2}' /proc/$APP_PID/status)
    times=()
    for i in 1 2 3 4 5; do
        xdotool mousemove $((cx + 42)) $((cy + 13))
        times+=("$("$WORK/measure_enter")")
        sleep 0.3
        rss_drawing=$(awk '/VmRSS/ {print $2}' /proc/$APP_PID/status)
        read -r cx cy _ < <(geometry_of "$TOOLBAR")
        xdotool mousemove $((cx + 42)) $((cy + 13)) click 1
        wait_until "! canvas_id" 5
        sleep 0.3
    done
    w=${size%x*}; h=${size#*x}
    echo "enter drawing mode at $size: ${times[*]} ms (click to painted canvas, 5 runs)"
    echo "resident memory at $size: normal $((rss_normal / 1024)) MiB, drawing $((rss_drawing / 1024)) MiB" \
         "(two images: $((w * h * 8 / 1048576)) MiB)"
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${PIDS[@]}"; do wait "$pid" 2>/dev/null; done
    PIDS=()
done
