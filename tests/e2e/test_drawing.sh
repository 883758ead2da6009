#!/usr/bin/env bash
# Drawing mode as a presenter uses it: the button freezes the screen into the canvas with the
# toolbar above it, every pattern draws what it should, the right button takes the latest
# drawing back, a left double-click leaves. (A talk's worth of entries and gestures: make bench.)
source "$(dirname "$0")/lib.sh" "$1"
BG=32,128,192 RED=255,0,0 K=0,0,0 TINT=32,128,0 INV=223,127,63
start_x || exit 1  # the desktop is $BG
ini pattern=2 >"$RUN/settings.ini" && start_app || exit 1  # red lines of width 2 (4 pixels), yellow fills
# titled: whether the toolbar has a caption (fluxbox frames it a pixel thinner in drawing mode, at the same size)
titled() { (($(extents "$TOOLBAR" | cut -d' ' -f3) > 0)) && echo titled || echo untitled; }
# (a slow manager may learn the frame only after the first map: KWin)
wait_until eval 'settled fgeo "$TOOLBAR" && [[ $LAST = "379 440 "* ]]' && read -r tx ty tw th <<<"$LAST" && framed=$(titled)
# beside the bottom corners: the desktop's own pixels (a bottom dock's under i3 and icewm, frozen with it)
# (read once two shots agree: a compositor may still be fading a window in)
wait_until settled eval "shot && px 1010,767 13,767 | tr '\n' ' '" && read -r b1 b2 <<<"$LAST"
echo "enter by the drawing-mode button"
check "the canvas appears, the toolbar above it" enter || exit 1
expect "canvas covers the primary monitor, full-screen" "0 0 1024 768 yes" \
    eval 'echo $(geo $CANVAS) $(has_state $CANVAS FULLSCREEN && echo yes)'
expect "toolbar back at its place, framed as before" "$tx $ty $tw $th $framed" eval 'echo $(fgeo $TOOLBAR) $(titled)'
check "toolbar keeps the focus" active_is "$TOOLBAR"
minimise_action "no minimise action in drawing mode" not
see "corners marked: 16 pixels of the top rows, 13 of the bottom ones" 0,0=$K 15,0=$K 16,0=$BG \
    1008,0=$K 1007,0=$BG 1011,767=$K 1010,767=$b1 12,767=$K 13,767=$b2
bottom() { import -window root -crop 1024x40+0+728 rgb:- | md5sum; } && frozen=$(bottom)
xdotool windowmove "$TOOLBAR" 700 40 && wait_until not is "$tx $ty" fxy "$TOOLBAR"
under=($(for x in 5 $((tw / 2)) $((tw - 5)); do printf "$((tx + x)),%s=$BG " $((ty + 5)) $((ty + th / 2)) $((ty + th - 5)); done))
see "the copy shows the desktop under the toolbar, not the toolbar" "${under[@]}"
# zigzag: a free-hand stroke of twenty moves sent at once, corners 10 pixels apart at y 500 and 540;
# a move merged with the next would cut a corner and draw over the gap between two corners.
zigzag() { local i m=(); for ((i = 1; i <= 20; i++)); do m+=(mousemove $((100 + i * 10)) $((i % 2 ? 540 : 500))); done
    key f && xdotool mousemove 100 500 mousedown 1 "${m[@]}" mouseup 1; }
echo "patterns and take-backs: each row an action and the pixels it leaves"
while IFS='|' read -r what action pixels; do eval "$action"; see "$what" $pixels; done <<EOF
line in red, 4 pixels wide, no preview left|drag l 50 100 250 100|150,100=$RED 150,101=$RED 150,104=$BG 150,130=$BG
the right button takes it back|xdotool click 3|150,100=$BG
arrow: shaft, head strokes on both sides|drag a 50 200 250 200|150,200=$RED 235,190=$RED 235,210=$RED 235,180=$BG
rectangle outline, inside untouched|drag r 300 100 400 180|350,100=$RED 300,140=$RED 350,140=$BG
filled rectangle tints like a highlighter|drag r 450 100 550 180|500,140=$TINT
circle through the box's edges, centre untouched|drag c 300 250 400 350|350,250=$RED 300,300=$RED 350,300=$BG
filled circle tints, not its box's corner|drag c 450 250 550 350|500,300=$TINT 452,252=$BG
free-hand stroke|drag f 100 400 200 450|150,425=$RED 125,412=$RED
the whole stroke goes with one take-back|xdotool click 3|150,425=$BG 125,412=$BG 500,300=$TINT
a zigzag as fast as the input goes keeps every corner|zigzag|110,540=$RED 120,500=$RED 290,540=$RED 120,540=$BG 200,540=$BG 130,500=$BG 250,500=$BG 290,500=$BG
that stroke goes back too|xdotool click 3|110,540=$BG 120,500=$BG
middle-button drag draws like the left|drag r 600 400 700 500 2|650,400=$RED
mid-drag, a circle's preview grown and shrunk: inverted, the larger one gone|key c && xdotool mousemove 760 200 mousedown 1 mousemove 1000 350 mousemove 860 260|810,200=$INV 760,230=$INV 810,230=$BG 880,200=$BG 1000,275=$BG 880,350=$BG
released, it is drawn|xdotool mouseup 1|810,200=$RED 760,230=$RED 810,230=$BG 1000,275=$BG
loupe: the top-left quarter over the screen, marks doubled|drag e 0 0 512 384|31,0=$K 12,3=$K 40,10=$BG 700,200=$RED
take-back restores the canvas before the loupe|xdotool click 3|12,3=$BG 650,400=$RED
a circle's drag ending straight below its press, the last moves at once after its band was shown, keeps the round shape it had off that column|key c && xdotool mousemove 850 560 mousedown 1 mousemove 1000 590; wait_until shows 925,560=$INV; xdotool mousemove 990 595 mousemove 980 600 mousemove 970 606 mousemove 960 612 mousemove 950 620 mousemove 930 640 mousemove 850 700 mousemove 850 720; wait_until shows 770,640=$INV; xdotool mouseup 1|850,560=$RED 770,640=$RED 930,640=$RED 850,640=$BG 850,620=$BG
a line to take back|drag l 50 600 250 600|150,600=$RED
a right double-click takes it back|dclick 800 600 3|150,600=$BG 350,100=$RED 0,0=$K
and leaves drawing mode on: a line still draws|drag l 50 650 250 650|150,650=$RED 350,100=$RED 0,0=$K
EOF
check "after all those presses on the canvas the toolbar keeps the keys, above it" eval \
    'active_is $TOOLBAR && above $TOOLBAR $CANVAS'
check_eq "the bottom rows of the frozen picture never changed: no dock or panel over them" "$frozen" "$(bottom)"
dclick 800 600 && until_ok "canvas gone" not canvas
minimise_action "minimise action back"
check "toolbar still shown and on top" eval "! has_state $TOOLBAR HIDDEN && has_state $TOOLBAR ABOVE"
see "the drawing is gone with the canvas" 350,100=$BG 150,650=$BG
finish
