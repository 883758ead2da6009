#!/usr/bin/env bash
# The global hot key as a presenter uses it: from another application, with NumLock on, with
# F1 chosen, with Auto-Hide, from a minimised toolbar; released at exit; and a combination
# held by another program before we start.
source "$(dirname "$0")/lib.sh" "$1"
HOLD_KEY=${HOLD_KEY:-$(dirname "$SLATEBOARD")/tests/hold_key}

settings() {  # settings AUTOHIDE HOTKEY
    printf ' 12 \r\n 2 \r\n 14 \r\n 1 \r\nTrue\r\n 6600 \r\n 5685 \r\n %s \r\n %s \r\n' "$1" "$2" >"$WORK/run/settings.ini"
}
restart() {  # restart AUTOHIDE HOTKEY
    if [ -n "$APP_PID" ] && kill -0 "$APP_PID" 2>/dev/null; then
        xdotool windowactivate --sync "$TOOLBAR" 2>/dev/null
        key alt+F4
        wait_exit "$APP_PID" 5
    fi
    settings "$1" "$2"
    start_app "$WORK/run" || exit 1
}
# Another X client that logs the keys it receives.
start_other() {
    xev -name other -geometry 300x200+20+20 -event keyboard >"$WORK/xev.log" 2>/dev/null &
    PIDS+=($!)
    wait_until "xdotool search --onlyvisible --name '^other$'" 10
    OTHER=$(xdotool search --onlyvisible --name '^other$' | head -n1)
}
focus_other() { xdotool windowactivate --sync "$OTHER" 2>/dev/null; sleep 0.2; : >"$WORK/xev.log"; }
other_got() { grep -q "keysym 0x[0-9a-f]*, $1)" "$WORK/xev.log"; }
minimised() { xprop -id "$TOOLBAR" _NET_WM_STATE | grep -q _NET_WM_STATE_HIDDEN; }

start_x 1024x768
mkdir -p "$WORK/run"
start_other

echo "Ctrl + Z from another application"
restart 0 0
focus_other
key ctrl+z
check "enters drawing mode" wait_until canvas_id 3
check "the other application did not get the key" bash -c "! grep -q 'keysym 0x7a, z)' '$WORK/xev.log'"
key ctrl+z
check "leaves drawing mode" wait_until "! canvas_id" 3
check "toolbar still shown" bash -c "! xprop -id $TOOLBAR _NET_WM_STATE | grep -q HIDDEN"
xdotool windowactivate --sync "$TOOLBAR"
key ctrl+z
check "works while the toolbar has the focus" wait_until canvas_id 3
key ctrl+z
wait_until "! canvas_id" 3
focus_other
key Num_Lock
key ctrl+z
check "works with NumLock on" wait_until canvas_id 3
key ctrl+z
wait_until "! canvas_id" 3
key Num_Lock Caps_Lock
key ctrl+z
check "works with CapsLock on" wait_until canvas_id 3
key ctrl+z
wait_until "! canvas_id" 3
key Caps_Lock

echo "minimised by the user, Auto-Hide off"
read -r _ _ _ height < <(geometry_of "$(frame_of "$TOOLBAR")")
xdotool windowminimize --sync "$TOOLBAR"
check "minimised" wait_until minimised 3
key ctrl+z
check "the hot key restores it" wait_until "! minimised" 3
check "and enters drawing mode" wait_until canvas_id 3
check_eq "at the standard height" "$height" "$(geometry_of "$(frame_of "$TOOLBAR")" | cut -d' ' -f4)"
key ctrl+z
wait_until "! canvas_id" 3

echo "Auto-Hide on"
restart 1 0
focus_other
key ctrl+z
check "enters" wait_until canvas_id 3
key ctrl+z
check "leaves" wait_until "! canvas_id" 3
check "and minimises the toolbar" wait_until minimised 3
key ctrl+z
check "the next one restores it" wait_until "! minimised" 3
check "and enters" wait_until canvas_id 3
key ctrl+z
wait_until "! canvas_id" 3

echo "F1 chosen"
restart 0 1
focus_other
key F1
check "F1 enters" wait_until canvas_id 3
key F1
check "F1 leaves" wait_until "! canvas_id" 3
focus_other
key ctrl+z
sleep 0.5
check "Ctrl + Z reaches the focused application" other_got z
check "and does not enter drawing mode" bash -c "! xdotool search --onlyvisible --name '^画面スクリーン$' | grep -q ."

echo "after exit the key is free"
xdotool windowactivate --sync "$TOOLBAR"
key alt+F4
wait_exit "$APP_PID" 5
check_eq "exit status" "0" "$EXIT_STATUS"
"$HOLD_KEY" f1 >"$WORK/hold.out" &
holder=$!
PIDS+=($holder)
check "another client can grab F1 now" wait_until "grep -q held '$WORK/hold.out'" 3
kill $holder

echo "Ctrl + Z held by another program beforehand"
"$HOLD_KEY" ctrl+z >"$WORK/hold.out" &
holder=$!
PIDS+=($holder)
wait_until "grep -q held '$WORK/hold.out'" 3
settings 0 0
start_app "$WORK/run" || exit 1
check "says so on standard error" grep -q "Ctrl + Z is held by another program" "$WORK/app.err"
read -r cx cy _ < <(geometry_of "$TOOLBAR")
xdotool mousemove $((cx + 42)) $((cy + 13))
sleep 1.5
shot
cp "$WORK/shot.png" "${HOTKEY_SHOT:-/dev/null}" 2>/dev/null
xdotool click 1
check "the button still enters drawing mode" wait_until canvas_id 3
read -r cx cy _ < <(geometry_of "$TOOLBAR")
xdotool mousemove $((cx + 42)) $((cy + 13)) click 1
check "and leaves it" wait_until "! canvas_id" 3
kill $holder

finish
