#!/usr/bin/env bash
# Slateboard native on a HiDPI Wayland output (scale 2: 1024x768 device pixels, 512x384 logical):
# the canvas shows the frozen output one to one in device pixels, and a drawing lands on the
# device pixel under the pointer, odd ones included.
SCALE=2
source "$(dirname "$0")/lib.sh" "$@"

start_session
mouse move:$((W - 1)),$((H - 1))
start_app
TIMEOUT=30 until_ok "the toolbar appears" toolbar_painted
shot "$WORK/normal.png"
check_eq "the output shows the desktop's picture in device pixels" 0 \
    "$(differ "$WORK/normal.png" "$WORK/desktop.png" "$(box "$TOOLBAR_T")" "${CORNERS[@]}")"
keys ctrl+z
until_ok "drawing mode: the canvas covers the output" is "0 0 $((W / 2)) $((H / 2)) 1 true" window "$CANVAS_T"
until_ok "the toolbar is shown above the canvas" toolbar_painted
shot "$WORK/canvas.png"
check_eq "the canvas shows the frozen output one to one in device pixels" 0 \
    "$(differ "$WORK/canvas.png" "$WORK/normal.png" "$(box "$TOOLBAR_T")" "${CORNERS[@]}")"
check_eq "its corner marks are in device pixels" "#000000 $(pixel "$WORK/desktop.png" 20 0)" \
    "$(pixel "$WORK/canvas.png" 0 0) $(pixel "$WORK/canvas.png" 20 0)"
keys l
mouse move:231,201 down:left move:281,201 move:331,201 up:left
expect "a line lands on the odd device row under the pointer" \
    "#FF0000 $(pixel "$WORK/desktop.png" 300 199) $(pixel "$WORK/desktop.png" 225 201)" seen_at 300,201 300,199 225,201
mouse move:800,600 click:left click:left
until_ok "a double-click leaves drawing mode" gone "$CANVAS_T"
finish
