#!/usr/bin/env bash
# The global hot key as a presenter uses it: from another application, with NumLock or
# CapsLock on, pressed by proxy (slateboard --toggle), from a minimised toolbar, with Auto-Hide 1 and 2, with F1 chosen; released at
# exit; every key that carries it after a new keyboard map; and a combination another program held
# before the start.
source "$(dirname "$0")/lib.sh" "$1"
restart() {  # restart AUTOHIDE HOTKEY: the program anew with these two settings
    ! kill -0 "$APP_PID" 2>/dev/null || close_app; ini autohide="$1" hotkey="$2" >"$RUN/settings.ini" && start_app; }
hidden() { minimised "$TOOLBAR"; }
# settled: the minimise action is back after a leave, where the manager tells allowed actions;
# some (xfwm4) get it by mapping the toolbar anew, which also focuses it anew.
settled() { ! xprop -root _NET_SUPPORTED | grep -q _NET_WM_ALLOWED_ACTIONS || can "$TOOLBAR" MINIMIZE; }
height() { fgeo "$TOOLBAR" | cut -d' ' -f4; }
# cycles N: N entries and leaves by the hot key at the toolbar, each step once the last is done
cycles() { local i; for ((i = 0; i < $1; i++)); do
    activate "$TOOLBAR" && key ctrl+z && wait_until eval 'over "$TOOLBAR" "$(canvas)"' &&
        activate "$TOOLBAR" && key ctrl+z && wait_until not canvas && wait_until settled || return; done; }
# Another X client, which logs the keys it gets; other: it has the focus and an empty log.
got() { grep -q "keysym 0x[0-9a-f]*, $1)" "$WORK/xev.log"; }
other() { activate "$OTHER" && wait_until active_is "$OTHER" && : >"$WORK/xev.log"; }
# press KEYCODE: Ctrl and that key from the other application, again while they reach it (the
# program takes a new keyboard map in its own time); fails unless drawing mode changes.
reached() { grep -q "keycode $1 (keysym" "$WORK/xev.log"; }
# regrabbed: the program holds Ctrl and whichever key carries z now.
regrabbed() { [ "$("$HOLD_KEY" probe ctrl+z)" = taken ]; }
press() { local was i; was=$(canvas)
    for i in {1..20}; do other && "$HOLD_KEY" type "37+$1" &&
        wait_until eval '[ "$(canvas)" != "$was" ] || reached $1' && ! reached "$1" && return; done; false; }
start_x
xev -name other -geometry 300x200+20+20 -event keyboard >>"$WORK/xev.log" &
PIDS+=($!) && found OTHER other || exit 1
steps <<'EOF'
# Ctrl + Z from another application, from the toolbar, with NumLock or CapsLock on
restart 0 0; other; key ctrl+z | enters drawing mode                   | canvas
key ctrl+z                     | leaves it                             | not canvas
:                              | the toolbar stays shown               | not hidden && settled
activate $OTHER; key x         | the other application gets its keys   | got x
:                              | but never got the hot key             | not got z
activate $TOOLBAR; key ctrl+z  | works while the toolbar has the focus | canvas
key ctrl+z                     | -                                     | not canvas
other; key Num_Lock ctrl+z     | works with NumLock on                 | canvas
key ctrl+z Num_Lock            | -                                     | not canvas
other; key Caps_Lock ctrl+z    | works with CapsLock on                | canvas
key ctrl+z Caps_Lock           | -                                     | not canvas
"$SB" --toggle                 | slateboard --toggle acts as the hot key: enters | canvas
"$SB" --toggle                 | and leaves                            | not canvas
cycles 4                       | four more from the toolbar, and its frame is where it was | LAST=$(fxy $TOOLBAR); placed "$RUN"
# a new keyboard map: the keys that carry z, all of them and no others, are the hot key
xmodmap -e 'keycode 200 = z'; press 200 | a second key given z enters  | canvas
press 52                       | the first one still leaves            | not canvas
setxkbmap de; wait_until regrabbed; other; "$HOLD_KEY" type 37+52 | a German layout: a US keyboard's Z, now y, reaches the application | got y
:                              | and does not enter drawing mode       | not canvas
press 29                       | a German Z, a US keyboard's Y, enters | canvas
press 29                       | and leaves                            | not canvas
setxkbmap ru; press 52         | Cyrillic, no z: a US keyboard's Z enters | canvas
setxkbmap us; press 52         | back to the US layout, its Z leaves   | not canvas && settled
EOF
if [[ $WM =~ ^(i3|none)$ ]]; then echo "  note: $WM: the user minimises no window"; else steps <<'EOF'; fi
# minimised by the user, Auto-Hide off
xdotool windowminimize $TOOLBAR | minimised                        | hidden
key ctrl+z                     | the hot key restores it               | not hidden
:                              | and enters drawing mode               | canvas
:                              | at the standard height                | is "$(standard_height)" height
key ctrl+z                     | -                                     | not canvas
EOF
steps <<'EOF'
# Auto-Hide 1: the hot key leaves and minimises, restores and enters; so does a double-click
restart 1 0; other; key ctrl+z | enters                                | canvas
key ctrl+z                     | the next leaves                       | not canvas
:                              | and minimises the toolbar             | hidden
key ctrl+z                     | the next restores it                  | not hidden
:                              | and enters                            | canvas
dclick 600 600                 | a double-click leaves                 | not canvas
:                              | and minimises the toolbar             | hidden
# Auto-Hide 2: the hot key does nothing; a double-click leaves and minimises
restart 2 0; saves ctrl+z      | Ctrl + Z, then S: no canvas           | not any "$CANVAS_T"
:                              | the toolbar stays shown               | not hidden
enter                          | the button enters                     | canvas
dclick 600 600                 | a double-click leaves                 | not canvas
:                              | and minimises the toolbar             | hidden
# F1 chosen
restart 0 1; other; key F1     | F1 enters                             | canvas
key F1                         | F1 leaves                             | not canvas && active_is $TOOLBAR && settled
other; key ctrl+z              | Ctrl + Z reaches the focused application | got z
:                              | and does not enter drawing mode       | not canvas
# after exit the key is free; a key held by another program before the start
close_app                      | exit status 0                         | [ $EXIT_STATUS = 0 ]
! "$SB" --toggle 2>$WORK/toggle.err | --toggle with none running fails | grep -qx "slateboard: no Slateboard is running in this session" $WORK/toggle.err
"$HOLD_KEY" f1 >$WORK/f1.out & PIDS+=($!) | another client can grab F1 now | grep -q held $WORK/f1.out
kill $!; "$HOLD_KEY" ctrl+z >$WORK/hold.out & PIDS+=($!) | -           | grep -q held $WORK/hold.out
restart 0 0                    | said on standard error | grep -q "Ctrl + Z is held by another program" $WORK/app.err
enter                          | the button still enters drawing mode  | canvas
leave                          | and leaves it                         | not canvas
EOF
finish
