# Shared rig for the end-to-end tests: a private Xvfb with openbox, the real binary in a scratch
# folder, input through XTest (xdotool), checks of what a person would see. Every wait is on a
# condition, polled by wait_until. Use: source lib.sh path/to/slateboard
set -u
SB=$(readlink -f "${1:?usage: test_x.sh path/to/slateboard}")
HOLD_KEY=${HOLD_KEY:-$(dirname "$SB")/tests/hold_key} WORK=$(mktemp -d /tmp/slateboard-e2e.XXXXXX)
export XDG_RUNTIME_DIR=$WORK/xdg && mkdir -m 700 "$XDG_RUNTIME_DIR" "$WORK/run"
RUN=$WORK/run PASSED=0 FAILED=0 PIDS=() APP_PID= TIMEOUT=30 R=1 LAST=
CANVAS_T='画面スクリーン' HELP_T='Help  (Slateboard 1.2.8)' SETUP_T='設定  (Slateboard 1.2.8)'
# settings.ini as a first start writes it; ini makes every other one from it.
DEFAULTS=$' 12 \r\n 2 \r\n 14 \r\n 1 \r\nTrue\r\n 6600 \r\n 5685 \r\n 0 \r\n 0 \r\n'
# Results and conditions. wait_until COMMAND...: polls until it succeeds, for $TIMEOUT seconds.
pass() { PASSED=$((PASSED + 1)); echo "  ok: $*"; }
fail() { FAILED=$((FAILED + 1)); echo "  FAIL: $*"; }
check() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }
check_eq() { if [ "$2" = "$3" ]; then pass "$1"; else fail "$1: expected [$2], got [$3]"; fi; }
finish() { echo "$PASSED passed, $FAILED failed"; [ "$FAILED" -eq 0 ]; }
wait_until() { local end=$((SECONDS + TIMEOUT))
    until "$@" >/dev/null 2>&1; do [ $SECONDS -lt $end ] || return 1; sleep 0.05; done; }
until_ok() { local what=$1; shift; check "$what" wait_until "$@"; }
not() { ! "$@"; }
is() { LAST=$("${@:2}" 2>/dev/null); [ "$LAST" = "$1" ]; }  # is WANT COMMAND...
# expect "description" WANT COMMAND...: waits until the command prints WANT.
expect() { local w=$1; shift; if wait_until is "$@"; then pass "$w"; else fail "$w: expected [$1], got [$LAST]"; fi; }
# steps: a table on standard input, a step a line: action | what must then hold | condition (shell
# code, waited for). A failed action fails the step; "-" for what checks nothing; "# x" prints x.
steps() {
    local act what cond
    while IFS='|' read -r act what cond <&3; do
        [[ $what =~ ^\ *(.*[^ ])\ *$ ]] && what=${BASH_REMATCH[1]}
        if [[ $act == '# '* ]]; then echo "${act#\# }"
        elif ! eval "$act" </dev/null; then fail "$what: [$act] failed"
        elif [ "$what" = - ]; then wait_until eval "$cond"
        elif LAST= && wait_until eval "$cond"; then pass "$what"
        else fail "$what${LAST:+ (last seen: $LAST)}"; fi
    done 3<&0
}
# settings.ini. ini [NAME=VALUE ...]: the defaults with the named lines changed.
ini() {
    local names=(colour width fill pattern - top left autohide hotkey) lines kv i
    mapfile -t lines <<<"${DEFAULTS//$'\r'/}"
    for kv; do for i in {0..8}; do [ "${names[i]}" != "${kv%%=*}" ] || lines[i]=" ${kv#*=} "; done; done
    printf '%s\r\n' "${lines[@]:0:9}"
}
want() { ini "$@"; echo x; }  # ini's bytes, to compare with bytes
bytes() { cat "${1:-$RUN/settings.ini}"; echo x; }
line() { sed -n "$1p" "$RUN/settings.ini" | tr -d '\r'; }
stamp() { stat -c '%i %y' "$RUN/settings.ini"; }
# saves [KEYS...]: the keys and S typed, done once the file is written anew, all keys handled.
saves() { local s; s=$(stamp); key "$@" s; wait_until not is "$s" stamp; }
# X server and program. start_x [WIDTHxHEIGHT [Xvfb arguments]]; X_RESOURCES go to xrdb.
start_x() { rm -f "$WORK/display"
    Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" "${@:2}" -nolisten tcp -noreset 3>"$WORK/display" 2>/dev/null &
    XVFB=$! && PIDS+=($!)
    wait_until test -s "$WORK/display" && export DISPLAY=":$(head -n1 "$WORK/display")" || exit 1
    [ -z "${X_RESOURCES:-}" ] || printf '%s\n' "$X_RESOURCES" | xrdb -nocpp -merge
    # openbox does not give the toolbar the focus when it appears: the toolbar takes it from its
    # start-up timer, so an active toolbar has finished starting.
    sed 's|^<applications>|&<application title="SB"><focus>no</focus></application>|' \
        /etc/xdg/openbox/rc.xml >"$WORK/rc.xml"
    openbox --sm-disable --config-file "$WORK/rc.xml" >/dev/null 2>&1 & PIDS+=($!)
    wait_until eval "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'" || exit 1
}
stop_x() { [ ${#PIDS[@]} = 0 ] || { kill "${PIDS[@]}"; wait "${PIDS[@]}"; } 2>/dev/null; PIDS=() APP_PID=; }
trap 'stop_x; rm -rf "$WORK"' EXIT
# start_app [FOLDER]: the program started there ($RUN), under APP_WRAPPER if set (word-split on
# purpose: strace ...); done when its toolbar has the focus.
start_app() {
    mkdir -p "${1:-$RUN}"; (cd "${1:-$RUN}" && exec ${APP_WRAPPER:-} "$SB" >"$WORK/app.out" 2>"$WORK/app.err") &
    APP_PID=$! && PIDS+=($!)
    wait_until win SB && TOOLBAR=$(win SB) && wait_until active_is "$TOOLBAR" || { cat "$WORK/app.err"; false; }
}
# wait_exit PID: waits for a child to end; EXIT_STATUS is its status, "timeout" if it ran on.
wait_exit() { EXIT_STATUS=timeout; wait_until not kill -0 "$1" && { wait "$1"; EXIT_STATUS=$?; }; }
close_app() { activate "$TOOLBAR"; key alt+F4; wait_exit "$APP_PID"; }
# Windows. win TITLE: the shown window of this exact title; any TITLE: one, shown or not.
title_re() { printf '^%s$' "$(printf '%s' "$1" | sed 's/[][().*+?^$|\\]/\\&/g')"; }
win() { xdotool search --onlyvisible --name "$(title_re "$1")" 2>/dev/null | head -n1 | grep .; }
any() { xdotool search --name "$(title_re "$1")" 2>/dev/null | grep -q .; }
canvas() { win "$CANVAS_T"; }
# The window with the keyboard focus (_NET_ACTIVE_WINDOW can still name one that is gone).
active_is() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
activate() { xdotool windowactivate "$1" 2>/dev/null; wait_until active_is "$1"; }
has_state() { xprop -id "$1" _NET_WM_STATE | grep -q "_NET_WM_STATE_$2"; }         # ABOVE, HIDDEN
can() { xprop -id "$1" _NET_WM_ALLOWED_ACTIONS | grep -q "_NET_WM_ACTION_$2"; }   # MINIMIZE
extents() { xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g'; }       # left right top bottom
# frame_of WINDOW: the top-level frame that openbox puts around it.
frame_of() { local w=$1 r p; while read -r r p < <(xwininfo -children -id "$w" | awk '/Root window id:/ {r = $4}
    /Parent window id:/ {p = $4} END {print r, p}') && [ "$p" != "$r" ]; do w=$p; done; echo "$w"; }
# geo: "x y width height" of a window on the root; fgeo: of its frame; fxy: the frame's place;
# on_screen: the toolbar's frame lies on the 1024 x 768 screen.
geo() { xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
    /^ *Width:/ {w = $2} /^ *Height:/ {h = $2} END {print x, y, w, h}'; }
fgeo() { geo "$(frame_of "$1")"; }
fxy() { fgeo "$1" | cut -d' ' -f1,2; }
on_screen() { read -r x y w h < <(fgeo "$TOOLBAR") && ((x >= 0 && x + w <= 1024 && y >= 0 && y + h <= 768)); }
# above A B: window A is stacked above window B.
above() { xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/, /\n/g' | awk -v a="$(printf '0x%x' "$1")" \
    -v b="$(printf '0x%x' "$2")" '$0 == a {ia = NR} $0 == b {ib = NR} END {exit !(ia && ib && ia > ib)}'; }
# Input. button: a click on the toolbar's drawing-mode button (R: the device pixel ratio).
key() { xdotool key --delay 30 "$@"; }
click_in() { local x y; read -r x y _ < <(geo "$1"); xdotool mousemove $((x + $2)) $((y + $3)) click 1; }
button() { click_in "$TOOLBAR" $((42 * R + R / 2)) $((13 * R)); }
# enter: drawing mode by the button, done when the toolbar is shown again above the canvas, active.
enter() { button; wait_until canvas && CANVAS=$(canvas) && wait_until above "$TOOLBAR" "$CANVAS" &&
    wait_until active_is "$TOOLBAR"; }
leave() { button; wait_until not canvas; }
dclick() { xdotool mousemove "$1" "$2" click --repeat 2 --delay 80 "${3:-1}"; }  # dclick X Y [BUTTON]
# drag KEY X1 Y1 X2 Y2 [BUTTON]: picks a pattern by its key and drags in four steps.
drag() { local i s=(); for i in 1 2 3 4; do s+=(mousemove $(($2 + ($4 - $2) * i / 4)) $(($3 + ($5 - $3) * i / 4))); done
    key "$1" && xdotool mousemove "$2" "$3" mousedown "${6:-1}" "${s[@]}" mouseup "${6:-1}"; }
# Pixels. px X,Y ...: "r,g,b" of each pixel of the latest shot (or of PX_OF), one a line.
shot() { import -window root "$WORK/shot.ppm"; }
px() { local p f=; for p; do f+="%[fx:round(255*p{$p}.r)],%[fx:round(255*p{$p}.g)],%[fx:round(255*p{$p}.b)]\n"; done
    convert "${PX_OF:-$WORK/shot.ppm}" -format "$f" info:; }
shows() { shot; LAST=$(px "${@%%=*}" | tr '\n' ' '); [ "$LAST" = "${*#*=} " ]; }  # shows X,Y=R,G,B ...
# see "description" X,Y=R,G,B ...: waits until a screenshot shows each pixel in its colour.
see() { local w=$1; shift; if wait_until shows "$@"; then pass "$w"; else fail "$w: expected [${*#*=}], got [$LAST]"; fi; }
# backdrop R,G,B: the desktop in one colour, so that the canvas's copy of it is known.
backdrop() { convert -size "$(xdpyinfo | awk '/dimensions:/ {print $2}')" "xc:rgb($1)" "$WORK/backdrop.png"
    display -window root "$WORK/backdrop.png" 2>/dev/null; wait_until shows "1,1=$1"; }
