#!/usr/bin/env bash
# The help and settings panels as a user meets them: opened from the toolbar with H, Up and
# Down under their exact titles, sized and centred; hidden and shown again as the same window;
# closed by Esc, the close command and their buttons; choices saved by "設定・保存", read back.
source "$(dirname "$0")/lib.sh" "$1"
# opens KEY TITLE: the key typed at the toolbar;
# PANEL: the panel, once it has the focus and has come to rest in its place.
opens() { activate "$TOOLBAR" && key "$1" && found PANEL "$2" && wait_until active_is "$PANEL" &&
    wait_until centred "$PANEL"; }
# The outer frame centred, to a pixel, on the screen's work area: the 1024 x 768 screen less the docks that
# the manager keeps clear (fluxbox's toolbar, icewm's taskbar).
centred() { local x y w h ax ay aw ah; read -r x y w h < <(fgeo "$1") && read -r ax ay aw ah < <(workarea) &&
    LAST="frame $x $y $w $h, work area $ax $ay $aw $ah" && (((2 * (x - ax) + w - aw) ** 2 <= 4 && (2 * (y - ay) + h - ah) ** 2 <= 4)); }
# (With several monitors _NET_WORKAREA spans them all, and Qt leaves it aside: the toolbar's whole
# monitor, the 1024 x 768 one at 0,0.)
workarea() { [ "${SB_MONITORS:-1}" = 1 ] && xprop -root _NET_WORKAREA 2>/dev/null | sed -n 's/.*= //; s/,//gp' |
    cut -d' ' -f1-4 | grep . || echo 0 0 1024 768; }
# swatch X Y COLOUR: at least 150 of the 41 x 21 pixels at X, Y in the panel have the colour.
swatch() { local x y; read -r x y _ < <(geo "$PANEL") && shot && convert "$WORK/shot.ppm" \
    -crop "41x21+$((x + $1))+$((y + $2))" -depth 8 txt:- | (($(grep -ci "$3") >= 150)); }
# A shown pop-up list of ours: a window straight on the root that no window manager may frame
# (override-redirect; without a manager the toolbar and the panels are straight on the root too).
popup() { local w; for w in $(xwininfo -root -children | awk '/\("slateboard" / {print $1}'); do
    xwininfo -id "$w" | grep -q IsViewable && xwininfo -id "$w" | grep -q 'Override Redirect State: yes' && return
    done; false; }
start_x && start_app || exit 1
# (the key box, 368 or 152 pixels down, stays hidden: without a frame the panel is no taller than that)
for panel in "h|$HELP_T|5385|5700|359 380|368" "Down|$SETUP_T|3525|2550|235 170|152"; do
    IFS='|' read -r k title inside outside size keybox <<<"$panel" && echo "$title"
    [ $WM != none ] || size="${size% *} $keybox"
    check "$k at the toolbar opens it, with the focus" opens $k "$title"
    check_eq "the exact title" "$title" "$(xdotool getwindowname "$PANEL")"
    expect "$inside twips wide inside, $outside tall outside" "$size" \
        eval 'echo $(geo $PANEL | cut -d" " -f3) $(fgeo $PANEL | cut -d" " -f4)'
    until_ok "centred on the work area, no minimise action" eval 'centred $PANEL && ! can $PANEL MINIMIZE'
    key Escape && until_ok "Esc closes it" not any "$title"
done
opens h "$HELP_T" && HELP=$PANEL && read -r x y _ < <(geo "$HELP") || { fail "H opens the help panel again"; finish; exit; }
see "white, the top edge of the first box, hidden behind its title" $((x + 5)),$((y + 5))=255,255,255 \
    $((x + 200)),$((y + 16))=0,0,0 $((x + 64)),$((y + 16))=255,255,255
steps <<'EOF'
key h                          | H in the panel hides it                    | not win "$HELP_T"
opens h "$HELP_T"              | H at the toolbar shows the same window     | [ $PANEL = $HELP ]
close_window $PANEL            | the close command closes it                | not any "$HELP_T"
opens h "$HELP_T"              | H opens it again                           | :
click_in $PANEL 176 332        | so does its button "閉じる (H)"            | not any "$HELP_T"
:                              | the program runs on                        | kill -0 $APP_PID
# over the canvas
activate $TOOLBAR; key ctrl+z  | -                                          | found_now CANVAS "$CANVAS_T"
opens Down "$SETUP_T"          | Down opens the settings panel above it     | above $PANEL $CANVAS
xdotool mousemove 100 600 mousedown 1 mousemove 300 650 mouseup 1 | an arrow drawn | shows 200,625=255,0,0
:                              | the panel still above the canvas           | above $PANEL $CANVAS
activate $PANEL; key Escape    | Esc closes it                              | not any "$SETUP_T"
:                              | and the toolbar has the keys again         | active_is $TOOLBAR
activate $TOOLBAR; key ctrl+z  | -                                          | not canvas
# settings panel: choices
opens Down "$SETUP_T"          | -                                          | :
key h Escape                   | H in it, then Esc: closed                  | not any "$SETUP_T"
:                              | the H opened no help                       | not any "$HELP_T"
:                              | nothing saved                              | holds "$(want)"
opens Up "$SETUP_T"            | Up opens it                                | SETUP=$PANEL
click_in $PANEL 22 88   # F1   | -                                          | :
click_in $PANEL 104 60  # Auto-Hide | -                                     | :
click_in $PANEL 28 26   # lines | the list of swatches opens                 | popup
key Up Return                  | green is chosen from it                    | not popup
click_in $PANEL 66 26   # size | -                                          | :
key ctrl+a 4 Tab Tab Down      | size 4; Down in the key box hides the panel | not win "$SETUP_T"
:                              | nothing applied or saved yet               | holds "$(want)"
opens Down "$SETUP_T"          | Down at the toolbar shows the same window  | [ $PANEL = $SETUP ]
:                              | the green swatch still chosen              | swatch 8 16 '#00FF00'
s=$(stamp); click_in $PANEL 184 84 | "設定・保存" closes the panel          | not any "$SETUP_T"
:                              | and writes settings.ini                    | [ "$(stamp)" != "$s" ]
: | green lines, width 4, Auto-Hide, F1 | holds "$(want colour=10 width=4 autohide=1 hotkey=1)"
# restart
close_app                      | closing the toolbar ends the program       | [ $EXIT_STATUS = 0 ]
saved=$(bytes); start_app && opens Down "$SETUP_T" | its settings panel shows green lines | swatch 8 16 '#00FF00'
:                              | and yellow fills                           | swatch 112 16 '#FFFF00'
s=$(stamp); click_in $PANEL 184 84 | "設定・保存" unchanged writes the file | [ "$(stamp)" != "$s" ]
:                              | the same bytes: every value was read back  | holds "$saved"
EOF
finish
