#!/usr/bin/env bash
# The help and settings panels as a user meets them: opened from the toolbar with H, Up and
# Down under their exact titles, sized and centred; hidden and shown again as the same window;
# closed by Esc and the close command; choices saved to settings.ini by "設定・保存" and read
# back at the next start, where the chosen F1 and Auto-Hide are in force.
# PANELS_SHOTS=folder keeps the screenshots taken on the way.
source "$(dirname "$0")/lib.sh" "$1"

DEFAULTS=$' 12 \r\n 2 \r\n 14 \r\n 1 \r\nTrue\r\n 6600 \r\n 5685 \r\n 0 \r\n 0 \r\n'
RUN="$WORK/run"
HELP_TITLE='Help  (Slateboard 1.2.8)'
SETUP_TITLE='設定  (Slateboard 1.2.8)'

# The visible window with exactly this title (regex characters escaped).
window_named() {
    local re
    re=$(printf '%s' "$1" | sed 's/[][().*+?^$|\\]/\\&/g')
    xdotool search --onlyvisible --name "^${re}\$" 2>/dev/null | head -n1 | grep .
}
# Any window with this title, shown or not.
exists_named() {
    local re
    re=$(printf '%s' "$1" | sed 's/[][().*+?^$|\\]/\\&/g')
    xdotool search --name "^${re}\$" 2>/dev/null | grep -q .
}
active_is() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }
file_bytes() { cat "$RUN/settings.ini"; echo x; }
keep_shot() { [ -n "${PANELS_SHOTS:-}" ] && mkdir -p "$PANELS_SHOTS" && cp "$WORK/shot.png" "$PANELS_SHOTS/$1.png"; :; }
# click_in WINDOW X Y: a left click at client pixel X, Y of the window.
click_in() {
    local wx wy
    read -r wx wy _ < <(geometry_of "$1")
    xdotool mousemove $((wx + $2)) $((wy + $3)) click 1
    sleep 0.2
}
# pure_pixels WINDOW X Y W H '#RRGGBB': how many pixels of the client rectangle have the colour.
pure_pixels() {
    local wx wy
    read -r wx wy _ < <(geometry_of "$1")
    convert "$WORK/shot.png" -crop "${4}x${5}+$((wx + $2))+$((wy + $3))" -depth 8 txt:- | grep -ci "$6"
}
# The outer frame is centred on the 1024 x 768 screen (to a pixel).
centred() {
    local x y w h
    read -r x y w h < <(geometry_of "$(frame_of "$1")")
    [ $((2 * x + w - 1024)) -ge -2 ] && [ $((2 * x + w - 1024)) -le 2 ] &&
        [ $((2 * y + h - 768)) -ge -2 ] && [ $((2 * y + h - 768)) -le 2 ]
}
back_to_toolbar() {
    wait_until "active_is $TOOLBAR" 2 || xdotool windowactivate --sync "$TOOLBAR" 2>/dev/null
    wait_until "active_is $TOOLBAR" 3
}

start_x 1024x768
start_app "$RUN" || exit 1

echo "help panel"
key h
check "H opens the help panel under its title" wait_until "window_named '$HELP_TITLE'" 5
HELP=$(window_named "$HELP_TITLE")
check_eq "exact title" "$HELP_TITLE" "$(xdotool getwindowname "$HELP")"
check "it has the keyboard focus" wait_until "active_is $HELP" 3
read -r _ _ fw fh < <(geometry_of "$(frame_of "$HELP")")
read -r _ _ cw _ < <(geometry_of "$HELP")
check_eq "5385 twips wide inside, 5700 twips tall outside" "359 380" "$cw $fh"
check "centred on the screen" centred "$HELP"
sleep 0.3
shot
keep_shot help
read -r hx hy _ < <(geometry_of "$HELP")
check_eq "white background" "255,255,255" "$(px $((hx + 5)) $((hy + 5)))"
check_eq "the top edge of the first box" "0,0,0" "$(px $((hx + 200)) $((hy + 16)))"
check_eq "hidden behind its title" "255,255,255" "$(px $((hx + 64)) $((hy + 16)))"
key h
check "H in the panel hides it" wait_until "! window_named '$HELP_TITLE'" 3
back_to_toolbar
key h
check "H at the toolbar shows it again" wait_until "window_named '$HELP_TITLE'" 3
check_eq "the same window, not loaded afresh" "$HELP" "$(window_named "$HELP_TITLE")"
wait_until "active_is $HELP" 3
key Escape
check "Esc closes it" wait_until "! exists_named '$HELP_TITLE'" 3
back_to_toolbar
key h
check "H opens it again" wait_until "window_named '$HELP_TITLE'" 3
HELP=$(window_named "$HELP_TITLE")
wait_until "active_is $HELP" 3
key alt+F4
check "the close command closes it" wait_until "! exists_named '$HELP_TITLE'" 3
check "the program runs on" kill -0 "$APP_PID"
back_to_toolbar
key h
check "and H opens it once more" wait_until "window_named '$HELP_TITLE'" 3
HELP=$(window_named "$HELP_TITLE")
wait_until "active_is $HELP" 3
click_in "$HELP" 176 332  # "閉じる (H)"
check "its button closes it" wait_until "! exists_named '$HELP_TITLE'" 3

echo "over the canvas"
back_to_toolbar
key ctrl+z
wait_until canvas_id 3
CANVAS=$(canvas_id)
key Down
check "Down opens the settings panel in drawing mode" wait_until "window_named '$SETUP_TITLE'" 3
SETUP=$(window_named "$SETUP_TITLE")
check "above the canvas" above "$SETUP" "$CANVAS"
xdotool mousemove 100 600 mousedown 1 mousemove 300 650 mouseup 1
sleep 0.3
check "still above it after a stroke" above "$SETUP" "$CANVAS"
xdotool windowactivate --sync "$SETUP" 2>/dev/null
key Escape
check "Esc closes it" wait_until "! exists_named '$SETUP_TITLE'" 3
back_to_toolbar
key ctrl+z
wait_until "! canvas_id" 3

echo "settings panel"
back_to_toolbar
key Down
check "Down opens the settings panel under its title" wait_until "window_named '$SETUP_TITLE'" 5
SETUP=$(window_named "$SETUP_TITLE")
check_eq "exact title" "$SETUP_TITLE" "$(xdotool getwindowname "$SETUP")"
check "it has the keyboard focus" wait_until "active_is $SETUP" 3
read -r _ _ _ fh < <(geometry_of "$(frame_of "$SETUP")")
read -r _ _ cw _ < <(geometry_of "$SETUP")
check_eq "3525 twips wide inside, 2550 twips tall outside" "235 170" "$cw $fh"
check "centred on the screen" centred "$SETUP"
check "no minimise action" bash -c "! xprop -id $SETUP _NET_WM_ALLOWED_ACTIONS | grep -q MINIMIZE"
key h
sleep 0.3
check "H in the settings panel opens no help" bash -c "! xdotool search --onlyvisible --name '^Help' | grep -q ."
key Escape
check "Esc closes it" wait_until "! exists_named '$SETUP_TITLE'" 3
check_eq "nothing saved" "${DEFAULTS}x" "$(file_bytes)"

back_to_toolbar
key Up
check "Up opens it" wait_until "window_named '$SETUP_TITLE'" 3
SETUP=$(window_named "$SETUP_TITLE")
wait_until "active_is $SETUP" 3
click_in "$SETUP" 22 88    # Option2 "F1"
click_in "$SETUP" 104 60   # chkAutoMin "Auto-Hide"
click_in "$SETUP" 28 26    # ImageCombo1: the list of swatches opens
sleep 0.3
shot
keep_shot setup-swatches
key Up Return              # red -> green
sleep 0.2
click_in "$SETUP" 66 26    # the text of cboSize
key ctrl+a 4
key Tab Tab Down           # on round to the key box, where Down hides the panel
xdotool mousemove 5 5
check "Down in the panel hides it" wait_until "! window_named '$SETUP_TITLE'" 3
check_eq "nothing applied or saved yet" "${DEFAULTS}x" "$(file_bytes)"
back_to_toolbar
key Down
check "Down at the toolbar shows the same panel" wait_until "window_named '$SETUP_TITLE'" 3
check_eq "same window" "$SETUP" "$(window_named "$SETUP_TITLE")"
sleep 0.3
shot
keep_shot setup-choices
check "the green swatch is still chosen" [ "$(pure_pixels "$SETUP" 8 16 41 21 '#00FF00')" -ge 150 ]
click_in "$SETUP" 184 84   # "設定・保存"
check "設定・保存 closes the panel" wait_until "! exists_named '$SETUP_TITLE'" 3
check_eq "and writes green lines, width 4, Auto-Hide and F1" \
    $' 10 \r\n 4 \r\n 14 \r\n 1 \r\nTrue\r\n 6600 \r\n 5685 \r\n 1 \r\n 1 \r\nx' "$(file_bytes)"

echo "restart"
back_to_toolbar
key alt+F4
wait_exit "$APP_PID" 5
check_eq "closing the toolbar ends the program" "0" "$EXIT_STATUS"
SAVED=$(file_bytes)
start_app "$RUN" || exit 1
key Down
check "the panel opens" wait_until "window_named '$SETUP_TITLE'" 5
SETUP=$(window_named "$SETUP_TITLE")
wait_until "active_is $SETUP" 3
sleep 0.3
shot
keep_shot setup-restart
check "green lines shown" [ "$(pure_pixels "$SETUP" 8 16 41 21 '#00FF00')" -ge 150 ]
check "yellow fills shown" [ "$(pure_pixels "$SETUP" 112 16 41 21 '#FFFF00')" -ge 150 ]
click_in "$SETUP" 184 84   # "設定・保存" with nothing changed
check "closes" wait_until "! exists_named '$SETUP_TITLE'" 3
check_eq "every value was read back: saving again writes the same bytes" "$SAVED" "$(file_bytes)"

echo "F1 and Auto-Hide in force after the restart"
key ctrl+z
sleep 0.5
check "Ctrl + Z is no longer the hot key" bash -c "! xdotool search --onlyvisible --name '^画面スクリーン$' | grep -q ."
key F1
check "F1 enters drawing mode" wait_until canvas_id 3
key F1
check "F1 leaves it" wait_until "! canvas_id" 3
check "and Auto-Hide minimises the toolbar" wait_until "xprop -id $TOOLBAR _NET_WM_STATE | grep -q _NET_WM_STATE_HIDDEN" 3

finish
