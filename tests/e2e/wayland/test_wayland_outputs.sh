#!/usr/bin/env bash
# Slateboard native on Wayland with two outputs side by side: the canvas freezes the first (the
# one Qt calls primary) pixel for pixel, and the other keeps its live desktop.
OUTPUTS=2
source "$(dirname "$0")/lib.sh" "$@"

start_session
mouse move:$((W - 1)),$((H - 1))
start_app
TIMEOUT=30 until_ok "the toolbar appears" toolbar_painted
keys ctrl+z
until_ok "drawing mode: the canvas covers the first output" is "0 0 $W $H 1 true" window "$CANVAS_T"
until_ok "the toolbar is shown above the canvas" toolbar_painted
shot "$WORK/canvas.png"
check_eq "the canvas shows that output's picture, pixel for pixel" 0 \
    "$(differ "$WORK/canvas.png" "$WORK/desktop.png" "$(box "$TOOLBAR_T")" "${CORNERS[@]}")"
grim -o HEADLESS-2 "$WORK/second.png"
check_eq "the second output keeps its live desktop, unmarked" "#FF8800 #FF8800" \
    "$(pixel "$WORK/second.png" 0 0) $(pixel "$WORK/second.png" 500 300)"
keys l
mouse move:900,700 down:left move:960,700 move:1010,700 up:left move:$((W - 1)),$((H - 1))  # the pointer, drawn into the output, out of the way
expect "a line drawn near the output's edge lands there" "#FF0000 #FF0000" seen_at 950,700 1005,700
mouse move:300,300 click:left click:left
until_ok "a double-click leaves drawing mode" gone "$CANVAS_T"
finish
