#!/usr/bin/env bash
# Drawing mode as a presenter uses it: the button freezes the screen into the canvas with the
# toolbar above it, every pattern draws what it should, the right button takes the latest
# drawing back, a double-click leaves.
source "$(dirname "$0")/lib.sh" "$1"

BG="32,128,192"
start_x 1024x768
show_backdrop "rgb($BG)" || exit 1
mkdir -p "$WORK/run"
# red lines, width 2 (4 px), yellow fills
printf ' 12 \r\n 2 \r\n 14 \r\n 2 \r\nTrue\r\n 6600 \r\n 5685 \r\n 0 \r\n 0 \r\n' >"$WORK/run/settings.ini"
start_app "$WORK/run" || exit 1
read -r tx ty tw th < <(geometry_of "$(frame_of "$TOOLBAR")")
read -r cx cy _ < <(geometry_of "$TOOLBAR")

echo "enter by the drawing-mode button"
xdotool mousemove $((cx + 42)) $((cy + 13)) click 1
check "the canvas appears" wait_until canvas_id 5
CANVAS=$(canvas_id)
sleep 0.3
check_eq "canvas covers the screen" "0 0 1024 768" "$(geometry_of "$CANVAS")"
check_eq "toolbar back at its place" "$tx $ty $tw $th" "$(geometry_of "$(frame_of "$TOOLBAR")")"
check "toolbar above the canvas" above "$TOOLBAR" "$CANVAS"
check_eq "toolbar keeps the focus" "$TOOLBAR" "$(xdotool getactivewindow)"
check "no minimise action in drawing mode" bash -c "! xprop -id $TOOLBAR _NET_WM_ALLOWED_ACTIONS | grep -q MINIMIZE"
shot
check_eq "corner marked black" "0,0,0" "$(px 0 0)"
check_eq "top row blackened for 16 pixels" "0,0,0|$BG" "$(px 15 0)|$(px 16 0)"
check_eq "top-right mirrors it" "0,0,0|$BG" "$(px 1008 0)|$(px 1007 0)"
check_eq "bottom rows carry the 13-pixel run" "0,0,0|$BG|0,0,0|$BG" "$(px 1011 767)|$(px 1010 767)|$(px 12 767)|$(px 13 767)"
xdotool windowmove "$TOOLBAR" 700 40
sleep 0.5
shot
under=$(for x in $((tx + 5)) $((tx + tw / 2)) $((tx + tw - 5)); do
    for y in $((ty + 5)) $((ty + th / 2)) $((ty + th - 5)); do px "$x" "$y"; done; done | sort -u)
check_eq "the copy shows the desktop under the toolbar, not the toolbar" "$BG" "$under"

echo "patterns"
draw() {  # draw KEY x1 y1 x2 y2 [button]
    key "$1"
    xdotool mousemove "$2" "$3" mousedown "${6:-1}"
    for i in 1 2 3 4; do xdotool mousemove $(($2 + ($4 - $2) * i / 4)) $(($3 + ($5 - $3) * i / 4)); done
    xdotool mouseup "${6:-1}"
    sleep 0.3
}
draw l 50 100 250 100
shot
check_eq "line in red, 4 px wide" "255,0,0|255,0,0|$BG" "$(px 150 100)|$(px 150 101)|$(px 150 104)"
check_eq "nothing left of the previews" "$BG" "$(px 150 130)"
xdotool click 3
sleep 0.3
shot
check_eq "right button takes the line back" "$BG" "$(px 150 100)"

draw a 50 200 250 200
shot
check_eq "arrow shaft" "255,0,0" "$(px 150 200)"
check_eq "arrow head strokes on both sides" "255,0,0|255,0,0|$BG" "$(px 235 190)|$(px 235 210)|$(px 235 180)"

draw r 300 100 400 180
shot
check_eq "rectangle outline, inside untouched" "255,0,0|255,0,0|$BG" "$(px 350 100)|$(px 300 140)|$(px 350 140)"
draw r 450 100 550 180
shot
check_eq "filled rectangle tints like a highlighter" "32,128,0" "$(px 500 140)"

draw c 300 250 400 350
shot
check_eq "circle outline through the box's edges, centre untouched" "255,0,0|255,0,0|$BG" "$(px 350 250)|$(px 300 300)|$(px 350 300)"
draw c 450 250 550 350
shot
check_eq "filled circle tints" "32,128,0|$BG" "$(px 500 300)|$(px 452 252)"

draw f 100 400 200 450
shot
check "free-hand stroke" bash -c "[ '$(px 150 425)' = '255,0,0' ] || [ '$(px 125 412)' = '255,0,0' ]"
xdotool click 3
sleep 0.3
shot
check_eq "the whole stroke goes with one take-back" "$BG|32,128,0" "$(px 150 425)$(px 125 412 | sed 's/^255,0,0$/x/;s/^.*$//')|$(px 500 300)"

draw r 600 400 700 500 2
shot
check_eq "middle-button drag draws like the left" "255,0,0" "$(px 650 400)"

echo "loupe"
draw e 0 0 512 384
shot
check_eq "dragged quarter stretched over the screen: its corner marks doubled" "0,0,0|0,0,0|$BG" \
    "$(px 31 0)|$(px 12 3)|$(px 40 10)"
check_eq "the rectangle at 300..400 now starts at 600" "255,0,0" "$(px 700 200)"
xdotool click 3
sleep 0.3
shot
check_eq "take-back restores the canvas before the loupe" "$BG|255,0,0" "$(px 12 3)|$(px 650 400)"

echo "double-click leaves"
xdotool mousemove 800 600 click --repeat 2 --delay 80 1
check "canvas gone" wait_until "! canvas_id" 5
check "minimise action back" bash -c "xprop -id $TOOLBAR _NET_WM_ALLOWED_ACTIONS | grep -q MINIMIZE"
check "toolbar still shown" bash -c "! xprop -id $TOOLBAR _NET_WM_STATE | grep -q HIDDEN"
check "toolbar still on top" bash -c "xprop -id $TOOLBAR _NET_WM_STATE | grep -q ABOVE"
shot
check_eq "the drawing is gone with the canvas" "$BG" "$(px 350 100)"

echo "enter by the countdown, leave by the button"
xdotool windowactivate --sync "$TOOLBAR" 2>/dev/null
key space
sleep 4
check "no canvas before five seconds" bash -c "! xdotool search --onlyvisible --name '^画面スクリーン$' | grep -q ."
check "the canvas comes at five seconds" wait_until canvas_id 3
read -r cx cy _ < <(geometry_of "$TOOLBAR")
xdotool mousemove $((cx + 42)) $((cy + 13)) click 1
check "releasing the button leaves" wait_until "! canvas_id" 5
check "minimise action back after the button" bash -c "xprop -id $TOOLBAR _NET_WM_ALLOWED_ACTIONS | grep -q MINIMIZE"

echo "Auto-Hide: a double-click minimises the toolbar"
key alt+F4
wait_exit "$APP_PID" 5
printf ' 12 \r\n 2 \r\n 14 \r\n 2 \r\nTrue\r\n 6600 \r\n 5685 \r\n 1 \r\n 0 \r\n' >"$WORK/run/settings.ini"
start_app "$WORK/run" || exit 1
read -r cx cy _ < <(geometry_of "$TOOLBAR")
xdotool mousemove $((cx + 42)) $((cy + 13)) click 1
wait_until canvas_id 5
xdotool mousemove 800 600 click --repeat 2 --delay 80 1
check "canvas gone" wait_until "! canvas_id" 5
check "toolbar minimised" wait_until "xprop -id $TOOLBAR _NET_WM_STATE | grep -q HIDDEN" 3

finish
