#!/usr/bin/env bash
# Slateboard native on Wayland (headless sway, the desktop portal): the toolbar, the hot key as a
# desktop shortcut that runs slateboard --toggle, the frozen output, the toolbar above the canvas,
# drawing with the mouse, the ways out, and no copy of the screen left on disk.
source "$(dirname "$0")/lib.sh" "$@"

echo "# no instance yet"
out=$("$SB" --toggle 2>&1); status=$?
check_eq "--toggle with no instance fails" "1 slateboard: no Slateboard is running in this session" "$status $out"

start_session
# The headless output draws the pointer into its pictures (grim's and the portal's): it waits in a
# corner, under the corner marks, until the drawing.
mouse move:$((W - 1)),$((H - 1))
start_app
echo "# normal mode"
TIMEOUT=30 until_ok "the toolbar appears" toolbar_painted
read -r tx ty tw th _ <<<"$(window "$TOOLBAR_T")"
shot "$WORK/normal.png"
check_eq "the desktop shows its picture beside the toolbar" 0 \
    "$(differ "$WORK/normal.png" "$WORK/desktop.png" "$(box "$TOOLBAR_T")" "${CORNERS[@]}")"
keys s
TIMEOUT=10 until_ok "S saves settings.ini" test -s "$RUN/settings.ini"
# The compositor placed the toolbar (centred); the place the file had is kept, not the compositor's.
check_eq "Top and Left are kept as they were" " 6600 | 5685 " "$(sed -n '6p;7p' "$RUN/settings.ini" | tr -d '\r' | paste -sd'|')"

echo "# Ctrl+Z, bound in sway to slateboard --toggle"
keys ctrl+z
until_ok "drawing mode: the canvas covers the output" is "0 0 $W $H 1 true" window "$CANVAS_T"
until_ok "the toolbar is shown above the canvas" toolbar_painted
shot "$WORK/canvas.png"
check_eq "the canvas shows the frozen output, pixel for pixel (against grim before)" 0 \
    "$(differ "$WORK/canvas.png" "$WORK/normal.png" "$(box "$TOOLBAR_T")" "${CORNERS[@]}")"
check_eq "its corners are marked black" "#000000 #000000 #000000 #000000" \
    "$(for p in "0 0" "$((W - 1)) 0" "0 $((H - 1))" "$((W - 1)) $((H - 1))"; do pixel "$WORK/canvas.png" $p; done | paste -sd' ')"
check "the toolbar's place holds the toolbar, not the picture" toolbar_painted
# Moved away, the toolbar shows what the canvas holds where it was: the desktop without it.
swaymsg -q "[title=\"^$TOOLBAR_T\$\"] move position 700 600"
until_ok "the capture holds no trace of the toolbar" \
    eval 'shot "$WORK/moved.png" && [ "$(differ "$WORK/moved.png" "$WORK/desktop.png" "$(box "$TOOLBAR_T")" "${CORNERS[@]}")" = 0 ]'

echo "# a panel over the canvas"
keys h
until_ok "H opens the help panel above the canvas" painted "$HELP_T"
keys h
until_ok "H again hides it" gone "$HELP_T"

echo "# drawing"
keys l
mouse move:200,200 down:left move:260,200 move:330,200 up:left
expect "L, then a drag: a red line" "#FF0000 #FF0000 $(pixel "$WORK/desktop.png" 300 215)" \
    seen_at 230,200 300,200 300,215
check_eq "a line has no arrow head" "$(pixel "$WORK/desktop.png" 322 195)" "$(pixel "$WORK/now.png" 322 195)"
keys F7
mouse move:500,400 down:left move:560,450 move:620,500 up:left
masked=$(pixel "$WORK/desktop.png" 560 450 | cut -c1-5)00  # the fill's yellow ANDed into the picture
expect "F7, then a drag: a rectangle filled through the mask pen" "$masked" seen_at 560,450
mouse click:right
check_eq "after the presses the toolbar asks for no attention (no refused activation)" false "$(urgent "$TOOLBAR_T")"
expect "the right button takes the rectangle back, not the line" "$(pixel "$WORK/desktop.png" 560 450) #FF0000" \
    seen_at 560,450 300,200

echo "# ways out"
keys ctrl+z
until_ok "Ctrl+Z again leaves drawing mode" gone "$CANVAS_T"
expect "the drawing is gone with the canvas" "$(pixel "$WORK/desktop.png" 300 200)" seen_at 300,200
keys ctrl+z
until_ok "Ctrl+Z enters drawing mode again" is "0 0 $W $H 1 true" window "$CANVAS_T"
mouse move:600,300 click:left click:left
until_ok "a double-click leaves drawing mode" gone "$CANVAS_T"
check "the toolbar stays" shown "$TOOLBAR_T"

echo "# no copy of the screen left on disk"
check "the portal's /tmp/out.png is gone" not test -e /tmp/out.png
check_eq "no picture file written by the program" "" \
    "$(find /tmp "$HOME" "$XDG_RUNTIME_DIR" -xdev -user "$(id -u)" -type f -newer "$WORK/sway.conf" \
        \( -iname '*.png' -o -iname '*.ppm' -o -iname '*.jpg' \) 2>/dev/null | grep -v "^$WORK/[^/]*\.png$")"

echo "# Auto-Hide on a compositor that minimises no window (sway)"
kill "$APP_PID" && wait "$APP_PID"
printf '%s\r\n' " 12 " " 2 " " 14 " " 1 " True " 6600 " " 5685 " " 1 " " 0 " >"$RUN/settings.ini"
start_app
TIMEOUT=30 until_ok "started again with Auto-Hide" toolbar_painted
keys ctrl+z
until_ok "Ctrl+Z enters" is "0 0 $W $H 1 true" window "$CANVAS_T"
keys ctrl+z
until_ok "Ctrl+Z leaves" gone "$CANVAS_T"
check "the toolbar asked to be minimised stays shown" shown "$TOOLBAR_T"
keys ctrl+z
until_ok "and the next Ctrl+Z enters again, as from a toolbar not minimised" is "0 0 $W $H 1 true" window "$CANVAS_T"
mouse move:600,300 click:left click:left
until_ok "a double-click leaves" gone "$CANVAS_T"

echo "# without the portal"
kill "$PORTAL_PID" && wait "$PORTAL_PID" 2>/dev/null
keys ctrl+z
until_ok "the failed capture is told on stderr" grep -q "The screen could not be read: the desktop offers no screenshot portal" "$WORK/app.log"
until_ok "and in a warning box" painted Slateboard
check "no canvas comes" gone "$CANVAS_T"
keys Return
until_ok "Return closes the box" gone Slateboard
until_ok "the toolbar is back in normal mode" toolbar_painted
check "the program still runs" kill -0 "$APP_PID"
finish
