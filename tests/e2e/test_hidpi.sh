#!/usr/bin/env bash
# Slateboard on a HiDPI screen: 2048x1536 device pixels at a device pixel ratio of 2, reached
# two ways, Qt's scale factor (QT_SCALE_FACTOR=2) and an X server at 192 DPI that says so in
# Xft.dpi. The toolbar and the panels keep their twips at 15 per logical pixel, so they are
# twice as many device pixels as at 96 DPI; the canvas holds the desktop pixel for pixel, draws
# where the pointer is, and its corner marks and pen widths are device pixels.
# HIDPI_SHOTS=folder keeps the screenshots taken on the way.
source "$(dirname "$0")/lib.sh" "$1"

W=2048
H=1536
BLUE="32,128,192"
WHITE="255,255,255"
RED="255,0,0"
HELP_TITLE='Help  (Slateboard 1.2.8)'
# red lines, width 2 (4 device pixels), yellow fills; Top 6600, Left 5685 twips
SETTINGS=$' 12 \r\n 2 \r\n 14 \r\n 2 \r\nTrue\r\n 6600 \r\n 5685 \r\n 0 \r\n 0 \r\n'

keep_shot() { [ -n "${HIDPI_SHOTS:-}" ] && mkdir -p "$HIDPI_SHOTS" && cp "$WORK/shot.png" "$HIDPI_SHOTS/$1.png"; :; }
near() { awk -v v="$1" -v e="$2" -v t="$3" 'BEGIN {exit !(v != "" && v >= e - t && v <= e + t)}'; }  # near VALUE EXPECTED TOLERANCE
check_near() {  # check_near "description" expected tolerance actual
    if near "$4" "$2" "$3"; then pass "$1 ($4)"; else fail "$1: expected $2 ± $3, got $4"; fi
}
extents() { xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g'; }  # left right top bottom
# How many pixels of the rectangle W H X Y differ between the latest shot and the desktop.
differing() {
    convert "$WORK/shot.png" -crop "$1x$2+$3+$4" +repage "$WORK/a.png"
    convert "$WORK/desktop.png" -crop "$1x$2+$3+$4" +repage "$WORK/b.png"
    compare -metric AE "$WORK/a.png" "$WORK/b.png" null: 2>&1 | cut -d' ' -f1
}
# The desktop's colour at X Y: the checks start with blue at 0,0.
desk() { if [ $((($1 + $2) % 2)) -eq 0 ]; then echo "$BLUE"; else echo "$WHITE"; fi; }
# The first and the last red column of row Y between x0 and x1 of the latest shot.
red_span_x() {
    convert "$WORK/shot.png" -crop "$(($3 - $2 + 1))x1+$2+$1" -depth 8 txt:- |
        awk -F'[,:]' -v x0="$2" '/#FF0000/ {if (first == "") first = $1 + x0; last = $1 + x0}
            END {print first "-" last}'
}
# The first and the last red row of column X between y0 and y1 of the latest shot.
red_span_y() {
    convert "$WORK/shot.png" -crop "1x$(($3 - $2 + 1))+$1+$2" -depth 8 txt:- |
        awk -F'[,:]' -v y0="$2" '/#FF0000/ {if (first == "") first = $2 + y0; last = $2 + y0}
            END {print first "-" last}'
}
line() {  # line x1 y1 x2 y2: a left-button drag in four steps
    xdotool mousemove "$1" "$2" mousedown 1
    for i in 1 2 3 4; do xdotool mousemove $(($1 + ($3 - $1) * i / 4)) $(($2 + ($4 - $2) * i / 4)); done
    xdotool mouseup 1
    sleep 0.3
}

run_case() {  # run_case NAME: the X server and Qt are set up by the caller
    local name=$1
    # A desktop of one-pixel checks: any scaling of the copy shows as blocks or blur.
    convert -size "${W}x${H}" pattern:gray50 +level-colors "rgb($BLUE)","rgb($WHITE)" "$WORK/desktop.png"
    display -window root "$WORK/desktop.png" 2>/dev/null
    shot
    check_eq "the desktop shows the one-pixel checks" "0" "$(differing $W $H 0 0)"

    rm -rf "$WORK/run"
    mkdir -p "$WORK/run"
    printf '%s' "$SETTINGS" >"$WORK/run/settings.ini"
    start_app "$WORK/run" || return 1
    read -r el er et eb < <(extents "$TOOLBAR")
    read -r fx fy fw fh < <(geometry_of "$(frame_of "$TOOLBAR")")
    read -r cx cy cw ch < <(geometry_of "$TOOLBAR")
    check_eq "toolbar 1335 twips wide outside: 178 device pixels" "178" "$fw"
    check_eq "client 480 twips high less the frame's side and bottom: 64 - $el - $eb device pixels" \
        "$((64 - el - eb))" "$ch"
    check_near "frame left at 5685 twips: device pixel 758" 758 1 "$fx"
    check_near "frame top at 6600 twips: device pixel 880" 880 1 "$fy"

    echo " drawing mode"
    xdotool mousemove $((cx + 85)) $((cy + 26)) click 1  # btnDraw, logical 31..54 x 2..24
    check "the canvas appears" wait_until canvas_id 5 || return 1
    CANVAS=$(canvas_id)
    sleep 0.4
    check_eq "canvas covers the screen's device pixels" "0 0 $W $H" "$(geometry_of "$CANVAS")"
    check_eq "toolbar back at its place" "$fx $fy $fw $fh" "$(geometry_of "$(frame_of "$TOOLBAR")")"
    shot
    keep_shot "$name-canvas"
    check_eq "the copy is the desktop pixel for pixel above the toolbar" "0" "$(differing 1984 $((fy - 40)) 32 32)"
    check_eq "and below it" "0" "$(differing 1984 $((H - 32 - fy - fh - 8)) 32 $((fy + fh + 8)))"
    check_eq "corner mark: 16 device pixels of the top row" "0,0,0|0,0,0|$(desk 16 0)" "$(px 0 0)|$(px 15 0)|$(px 16 0)"
    check_eq "top-right mirrors it" "0,0,0|$(desk $((W - 17)) 0)" "$(px $((W - 16)) 0)|$(px $((W - 17)) 0)"
    check_eq "bottom row: the 13-pixel run" "0,0,0|$(desk 13 $((H - 1)))|0,0,0|$(desk $((W - 14)) $((H - 1)))" \
        "$(px 12 $((H - 1)))|$(px 13 $((H - 1)))|$(px $((W - 13)) $((H - 1)))|$(px $((W - 14)) $((H - 1)))"

    key l
    line 301 401 701 401
    line 901 301 901 601
    shot
    keep_shot "$name-lines"
    check_eq "horizontal line through device row 401, 4 rows wide" "400-403" "$(red_span_y 500 380 420)"
    check_eq "it runs from x 301 to 701 with its round ends" "300-702" "$(red_span_x 401 250 750)"
    check_eq "vertical line through device column 901, 4 columns wide" "900-903" "$(red_span_x 500 880 920)"
    check_eq "it runs from y 301 to 601 with its round ends" "300-602" "$(red_span_y 901 250 650)"
    xdotool click 3
    sleep 0.3
    shot
    check "right button takes the latest line back" [ "$(red_span_x 500 880 920)" = "-" ]

    echo " moving the toolbar"
    xdotool windowmove "$(frame_of "$TOOLBAR")" 1200 300 >/dev/null 2>&1
    sleep 0.4
    read -r mx my _ < <(geometry_of "$(frame_of "$TOOLBAR")")
    key s
    sleep 0.5
    check_near "saved Left: 7.5 twips per device pixel, to a pixel" $((mx * 15 / 2)) 8 \
        "$(sed -n 7p "$WORK/run/settings.ini" | tr -d '\r ')"
    check_near "saved Top likewise" $((my * 15 / 2)) 8 "$(sed -n 6p "$WORK/run/settings.ini" | tr -d '\r ')"
    xdotool mousemove 1600 1200 click --repeat 2 --delay 80 1
    check "a double-click leaves" wait_until "! canvas_id" 5
    read -r cx cy _ < <(geometry_of "$TOOLBAR")
    xdotool mousemove $((cx + 85)) $((cy + 26)) click 1
    check "the button enters again" wait_until canvas_id 5
    sleep 0.3
    read -r ax ay _ < <(geometry_of "$(frame_of "$TOOLBAR")")
    check_near "the toolbar comes back where it was moved: x" "$mx" 1 "$ax"
    check_near "and y" "$my" 1 "$ay"

    echo " help panel"
    key h
    local help=""
    wait_until "xdotool search --onlyvisible --name '^Help  \\(Slateboard'" 5 &&
        help=$(xdotool search --onlyvisible --name '^Help  \(Slateboard' | head -n1)
    check "H opens the help panel" [ -n "$help" ] || return 1
    sleep 0.3
    read -r _ _ pw ph < <(geometry_of "$(frame_of "$help")")
    read -r _ _ hw hh < <(geometry_of "$help")
    read -r _ _ ht hb < <(extents "$help")
    check_eq "5385 twips wide inside: 718 device pixels" "718" "$hw"
    # 5700 twips outside, unless the client would then show its key box 5520 twips down.
    local want=$((2 * 380)) cap=$((2 * 368 + ht + hb))
    [ "$cap" -lt "$want" ] && want=$cap
    check_near "5700 twips outside: 760 device pixels, the key box kept hidden" "$want" 1 "$ph"
    read -r px_ py_ _ < <(geometry_of "$(frame_of "$help")")
    check_near "centred across" $(((W - pw) / 2)) 2 "$px_"
    check_near "centred down" $(((H - ph) / 2)) 2 "$py_"
    shot
    keep_shot "$name-help"
    key Escape
    wait_until "! xdotool search --onlyvisible --name '^Help  \\(Slateboard'" 3
    stop_x
}

echo "Qt's scale factor 2"
start_x_with "${W}x${H}"
export QT_SCALE_FACTOR=2
run_case scale
unset QT_SCALE_FACTOR

echo "an X server at 192 DPI"
X_RESOURCES="Xft.dpi: 192" start_x_with "${W}x${H}" -dpi 192
run_case dpi

finish
