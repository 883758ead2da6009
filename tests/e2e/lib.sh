# Shared rig for the end-to-end tests: a private Xvfb with a window manager, the real binary in a scratch
# folder, input through XTest (xdotool), checks of what a person would see. Every wait is on a
# condition, polled by wait_until. Use: source lib.sh path/to/slateboard
set -u
SB=$(readlink -f "${1:?usage: test_x.sh path/to/slateboard}")
HOLD_KEY=${HOLD_KEY:-$(dirname "$SB")/tests/hold_key} DESKTOP=${DESKTOP:-$(dirname "$SB")/tests/desktop_window}
WORK=$(mktemp -d /tmp/slateboard-e2e.XXXXXX)
export XDG_RUNTIME_DIR=$WORK/xdg && mkdir -m 700 "$XDG_RUNTIME_DIR" "$WORK/run"
unset WAYLAND_DISPLAY  # X11 only, even when started from a Wayland session
RUN=$WORK/run PASSED=0 FAILED=0 PIDS=() GROUPS_=() APP_PID= TIMEOUT=10 R=1 LAST=
CANVAS_T='画面スクリーン' HELP_T='Help  (Slateboard 1.2.8)' SETUP_T='設定  (Slateboard 1.2.8)'
# settings.ini as a first start writes it; ini makes every other one from it.
DEFAULTS=$' 12 \r\n 2 \r\n 14 \r\n 1 \r\nTrue\r\n 6600 \r\n 5685 \r\n 0 \r\n 0 \r\n'
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"  # (timeouts of 30 s for the starts of the server, the manager and the program)
# A failed check tells who had the keys then, for a run that cannot be watched.
fail() { FAILED=$((FAILED + 1)); echo "  FAIL: $*"
    local f; f=$(xdotool getwindowfocus 2>/dev/null) && echo "    (focus: $f $(xdotool getwindowname "$f" 2>/dev/null))"; }
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
    local names=(colour width fill pattern off top left autohide hotkey) lines kv i
    mapfile -t lines <<<"${DEFAULTS//$'\r'/}"
    for kv; do for i in {0..8}; do [ "${names[i]}" != "${kv%%=*}" ] || lines[i]=" ${kv#*=} "; done; done
    lines[4]=${lines[4]// /}
    printf '%s\r\n' "${lines[@]:0:9}"
}
want() { ini "$@"; echo x; }  # ini's bytes, to compare with bytes
bytes() { cat "${1:-$RUN/settings.ini}"; echo x; }
# holds BYTES: settings.ini holds exactly these (bytes' form); LAST shows what it holds, a line a bar.
holds() { LAST=$(tr -d '\r' <"$RUN/settings.ini" | tr '\n' '|'); [ "$(bytes)" = "$1" ]; }
line() { sed -n "$1p" "$RUN/settings.ini" | tr -d '\r'; }
stamp() { stat -c '%i %y' "$RUN/settings.ini"; }
# saves [KEYS...]: the keys and S typed, done once the file is written anew, all keys handled.
saves() { local s; s=$(stamp); key "$@" s; wait_until not is "$s" stamp; }
# X server and program. start_x [WIDTHxHEIGHT [Xvfb arguments]]: the server, the RandR monitors MONS
# (monitors' arguments; SB_MONITORS=2: two 1024x768 side by side), the test desktop BACKDROP, then the
# window manager SB_WM (openbox, openbox-picom, xfwm4, metacity, metacity-composite, kwin, i3, fluxbox, icewm,
# none). SB_XVFB: more arguments for every server (-extension MIT-SHM: one without shared memory).
WM=${SB_WM:-openbox} MONS=${MONS:-$([ "${SB_MONITORS:-1}" = 1 ] || echo 1024 768 L)}
start_x() { rm -f "$WORK/display" "$WORK/bus" "$WORK/root.log"
    Xvfb -displayfd 3 -screen 0 "${1:-$((1024 * ${SB_MONITORS:-1}))x768}x24" "${@:2}" ${SB_XVFB:-} -nolisten tcp -noreset \
        3>"$WORK/display" 2>/dev/null &
    XVFB=$! && PIDS+=($!)
    TIMEOUT=30 wait_until test -s "$WORK/display" && export DISPLAY=":$(head -n1 "$WORK/display")" || exit 1
    [ -z "${X_RESOURCES:-}" ] || printf '%s\n' "$X_RESOURCES" | xrdb -nocpp -merge
    [ -z "$MONS" ] || monitors $MONS || exit 1
    # The requests windows send to the window manager, logged (see started) once the log is seen to work.
    stdbuf -oL xev -root -event substructure -event property >>"$WORK/root.log" & PIDS+=($!)
    # The first synthetic key moves the server's keyboard onto the test tool's device, and every client
    # is told of a new keyboard map; a window manager then lets its shortcuts go and takes them again,
    # and an Alt + F4 typed in between reaches the focused window (a first close lost about once in 15
    # starts under openbox). That key is typed here, before any client holds a shortcut.
    TIMEOUT=30 wait_until eval 'xprop -root -f _SB_LOG 8s -set _SB_LOG 1 && grep -q _SB_LOG "$WORK/root.log"' &&
        xdotool key shift && backdrop "${BACKDROP:-32,128,192}" && start_wm || exit 1
}
# monitors WIDTH HEIGHT PRIMARY: RandR monitors L at 0,0 and R beside it, L or R primary.
monitors() { local l=(L "$1/271x$2/203+0+0" none) r=(R "$1/271x$2/203+$1+0" none)
    if [ "$3" = L ]; then l=('*L' "${l[1]}" screen); else r=('*R' "${r[1]}" screen); fi
    { xrandr --setmonitor "${l[@]}" && xrandr --setmonitor "${r[@]}"; } &>/dev/null &&
        xrandr --listmonitors | grep -q "^ [01]: \*$3 "
}
# The window manager, with a scratch home and a private D-Bus so that it reads and writes no user
# configuration; up once it names its check window, and a compositor owns _NET_WM_CM_S0 where one runs.
wm() { env -u QT_SCALE_FACTOR DBUS_SESSION_BUS_ADDRESS="$(head -n1 "$WORK/bus")" NO_AT_BRIDGE=1 HOME="$WORK/wmhome" \
    XDG_CONFIG_HOME="$WORK/wmhome/.config" XDG_CACHE_HOME="$WORK/wmhome/.cache" XDG_DATA_HOME="$WORK/wmhome/.local" \
    setsid "$@" >>"$WORK/wm.log" 2>&1 & PIDS+=($!) GROUPS_+=($!); }
start_wm() { local cm= && mkdir -p "$WORK/wmhome/.config/" "$WORK/wmhome/.fluxbox"
    [ $WM = none ] || { dbus-daemon --session --nofork --print-address=3 3>"$WORK/bus" 2>>"$WORK/wm.log" & PIDS+=($!); }
    [ $WM = none ] || TIMEOUT=30 wait_until test -s "$WORK/bus" || return
    case $WM in
    openbox | openbox-picom) wm openbox --sm-disable --config-file /etc/xdg/openbox/rc.xml
        [ $WM = openbox ] || { cm=1 && wm picom --fading --backend xrender; } ;;
    xfwm4) cm=1 && wm xfwm4 --compositor=on --sm-client-disable ;;
    metacity) wm metacity --sm-disable --compositor=none ;;
    metacity-composite) cm=1 && wm metacity --sm-disable --compositor=xrender ;;
    kwin) printf '[%s]\nBorderActivate%s=9\n' Effect-overview '' Effect-windowview All \
            >"$WORK/wmhome/.config/kwinrc"  # no hot corner at 0,0
        cm=1 && wm kwin_x11 ;;
    i3) printf '%s\n' '# i3 config file (v4)' 'font pango:monospace 8' 'bindsym Mod1+F4 kill' \
            'bar {' 'status_command cat' '}' >"$WORK/i3.conf" && wm i3 -c "$WORK/i3.conf" ;;
    fluxbox) echo 'background: none' >"$WORK/wmhome/.fluxbox/overlay" && wm fluxbox ;;  # no wallpaper
    icewm) wm icewm ;;
    none) return ;;
    *) echo "SB_WM=$WM: no such window manager here" >&2; return 1 ;;
    esac
    TIMEOUT=30 wait_until eval "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'" &&
        { [ -z $cm ] || TIMEOUT=30 wait_until "$DESKTOP" -cm; }
}
# (A window manager runs in a process group of its own, killed outright with what it forked: fluxbox
# may hang in its handler of the polite signal, and would hold the test's output open.)
stop_x() { local g; for g in "${GROUPS_[@]}"; do kill -KILL -- "-$g" 2>/dev/null; done
    [ ${#PIDS[@]} = 0 ] || { kill "${PIDS[@]}"; wait "${PIDS[@]}"; } 2>/dev/null; PIDS=() GROUPS_=() APP_PID=; }
trap 'stop_x; rm -rf "$WORK"' EXIT
# start_app [FOLDER]: the program started there ($RUN), under APP_WRAPPER if set (word-split on
# purpose: strace ...); done once started; SHOWN_MS: how long the toolbar took to appear.
start_app() {
    mkdir -p "${1:-$RUN}"; : >"$WORK/root.log"
    (cd "${1:-$RUN}" && exec ${APP_WRAPPER:-} "$SB" >"$WORK/app.out" 2>"$WORK/app.err") &
    APP_PID=$! && PIDS+=($!) && local t=$(date +%s%N)
    TIMEOUT=30 found TOOLBAR SB && SHOWN_MS=$((($(date +%s%N) - t) / 1000000)) &&
        TIMEOUT=30 wait_until started || { cat "$WORK/app.err"; return 1; }
    TIMEOUT=3 wait_until placed "${1:-$RUN}" || :
}
# placed FOLDER: the toolbar's frame is where the folder's settings.ini (or the defaults) puts it, where that is
# well inside the screen; a manager that tells the frame only once the window is mapped (KWin, fluxbox) has the
# toolbar moved there just after its start, and a click computed before would miss it.
placed() { local top left x y w h && read -r top left < <({ cat "$1/settings.ini" 2>/dev/null || echo "$DEFAULTS"; } |
        sed -n '6p;7p' | tr -d ' \r' | paste -sd' ') && read -r w h < <(xdpyinfo | awk -F'[ x]+' '/dimensions:/ {print $3, $4}')
    ((top % 15 == 0 && left % 15 == 0)) 2>/dev/null || return 0
    x=$((left / 15 * R)) y=$((top / 15 * R))
    ((x >= 0 && y >= 0 && x + 120 * R <= w && y + 120 * R <= h)) || return 0
    [ "$(fxy "$TOOLBAR")" = "$x $y" ]; }
# started: the toolbar has the focus and has asked twice to be kept on top: once activated, and at the end
# of its start, about 100 ms after it is shown (most managers focus a new window before that).
started() { active_is "$TOOLBAR" &&
    (($(grep -A1 "^ClientMessage.* window $(printf 0x%x "$TOOLBAR")," "$WORK/root.log" | grep -c _NET_WM_STATE) > 1)); }
# wait_exit PID: waits for a child to end; EXIT_STATUS is its status, "timeout" if it ran on.
wait_exit() { EXIT_STATUS=timeout; wait_until not kill -0 "$1" && { wait "$1"; EXIT_STATUS=$?; }; }
# close_app: the close command to the toolbar.
close_app() { close_window "$TOOLBAR"; wait_exit "$APP_PID"; }
# close_window WINDOW: Alt + F4 at the window; the request a manager would send where there is none, where
# the window is hidden, and under KWin (whose keyboard shortcuts need the desktop's shortcut service).
close_window() { if [[ $WM =~ ^(none|kwin)$ ]] || ! xwininfo -id "$1" | grep -q IsViewable; then "$DESKTOP" -close "$1"
    else activate "$1"; key alt+F4; fi; }
# Windows. win TITLE: the shown window of this exact title; any TITLE: one, shown or not; shown TITLE:
# how many are shown. search ARGS: xdotool's search, again while a window went during it (a manager's
# animation), which ends it with an X error and no windows at all.
title_re() { printf '^%s$' "$(printf '%s' "$1" | sed 's/[][().*+?^$|\\]/\\&/g')"; }
search() { local out i; for i in {1..10}; do out=$(xdotool search "$@" 2>&1); [[ $out == *"X Error"* ]] || break; done
    grep -x '[0-9]\+' <<<"$out"; }
win() { search --onlyvisible --name "$(title_re "$1")" | head -n1 | grep .; }
any() { search --name "$(title_re "$1")" | grep -q .; }
shown() { search --onlyvisible --name "$(title_re "$1")" | wc -l; }
canvas() { win "$CANVAS_T"; }
# found VAR TITLE: waits until a window of this title is shown and sets VAR to it, from the search that
# found it.
found() { wait_until found_now "$@"; }
found_now() { local id; id=$(win "$2") && printf -v "$1" %s "$id"; }
# Given no window, xwininfo would wait for a click on one: an empty id fails at once instead.
xwininfo() { local a prev=; for a; do [ "$prev" != -id ] || [ -n "$a" ] || return 1; prev=$a; done
    command xwininfo "$@"; }
# The window with the keyboard focus (_NET_ACTIVE_WINDOW can still name one that is gone).
active_is() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
activate() { if [ $WM = none ]; then xdotool windowfocus "$1"; else "$DESKTOP" -activate "$1"; fi 2>/dev/null
    wait_until active_is "$1"; }
has_state() { xprop -id "$1" _NET_WM_STATE | grep -q "_NET_WM_STATE_$2"; }  # ABOVE, HIDDEN, FULLSCREEN
# minimised WINDOW: i3 minimises no window, nor does a desktop without a manager: the toolbar that Auto-Hide
# hides is unmapped there.
minimised() { if [[ $WM =~ ^(i3|none)$ ]]; then ! xwininfo -id "$1" | grep -q IsViewable; else has_state "$1" HIDDEN; fi; }
# minimise_action "description" [not]: waits for the toolbar's minimise action (its absence with not) where
# the manager gives allowed actions at all (not i3, nor without a manager).
minimise_action() { if xprop -root _NET_SUPPORTED | grep -q _NET_WM_ALLOWED_ACTIONS; then
    until_ok "$1" ${2:-} can "$TOOLBAR" MINIMIZE; else echo "  note: $WM has no allowed actions: unchecked: $1"; fi; }
can() { xprop -id "$1" _NET_WM_ALLOWED_ACTIONS | grep -q "_NET_WM_ACTION_$2"; }   # MINIMIZE
extents() { xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= //; s/,//gp' | grep . || echo 0 0 0 0; }  # l r t b
# frame_of WINDOW: the top-level frame that the window manager puts around it.
frame_of() { local w=$1 r p; while read -r r p < <(xwininfo -children -id "$w" | awk '/Root window id:/ {r = $4}
    /Parent window id:/ {p = $4} END {print r, p}') && [ "$p" != "$r" ]; do w=$p; done; echo "$w"; }
# geo: "x y width height" of a window on the root; fgeo: of its frame (the visible one, as the manager
# gives its extents, without the invisible borders some add; none when the window is not framed, whatever
# stale extents say); fxy: the frame's place;
# on_screen: the toolbar's frame lies on the 1024 x 768 screen.
geo() { xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
    /^ *Width:/ {w = $2} /^ *Height:/ {h = $2} END {print x, y, w, h}'; }
fgeo() { local x y w h l r t b fw fh && read -r x y w h < <(geo "$1") && read -r l r t b < <(extents "$1") &&
    read -r _ _ fw fh < <(geo "$(frame_of "$1")") && ((fw > w || fh > h)) || l=0 r=0 t=0 b=0
    echo $((x - l)) $((y - t)) $((w + l + r)) $((h + t + b)); }
fxy() { fgeo "$1" | cut -d' ' -f1,2; }
on_screen() { read -r x y w h < <(fgeo "$TOOLBAR") && ((x >= 0 && x + w <= 1024 && y >= 0 && y + h <= 768)); }
# standard_height: the toolbar's outer height, caption + 480 twips (KWin keeps a client at least as tall as
# its frame's top and bottom: with its 41-pixel caption under Xvfb, the toolbar is taller by what its client lacks).
standard_height() { local left top bottom tall; read -r left _ top bottom < <(extents "$TOOLBAR") && tall=$((top - left + 32))
    [ $WM != kwin ] || ((tall - top - bottom >= top + bottom)) || tall=$((2 * (top + bottom))); echo $tall; }
# above A B: window A's frame is stacked above window B's on the server.
above() { xwininfo -root -children | awk -v a="$(printf '0x%x' "$(frame_of "$1")")" \
    -v b="$(printf '0x%x' "$(frame_of "$2")")" '$1 == a {i = NR} $1 == b {j = NR} END {exit !(i && j && i < j)}'; }
# over A B: A is above B or beside it (a manager may stack a full-screen window over everything once the
# focus is on another monitor: metacity).
over() { above "$1" "$2" || ! overlap "$(fgeo "$1")" "$(geo "$2")"; }
overlap() { local a=($1) b=($2); ((a[0] < b[0] + b[2] && b[0] < a[0] + a[2] && a[1] < b[1] + b[3] && b[1] < a[1] + a[3])); }
# Input. button: a click on the toolbar's drawing-mode button (R: the device pixel ratio).
key() { xdotool key --delay 30 "$@"; }
click_in() { local x y; read -r x y _ < <(geo "$1"); xdotool mousemove $((x + $2)) $((y + $3)) click 1; }
button() { click_in "$TOOLBAR" $((42 * R + R / 2)) $((13 * R)); }
# enter: drawing mode by the button, done when the toolbar is shown again above the canvas (or beside it), active.
enter() { button; found CANVAS "$CANVAS_T" && wait_until over "$TOOLBAR" "$CANVAS" &&
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
# backdrop R,G,B | FILE.ppm: the test desktop in one colour or that picture, so that the canvas's copy
# of it is known; a desktop-type window shows it, the same under every manager (i3 has no desktop layer).
backdrop() { local f=$1 && [ -f "$f" ] || { f=$WORK/backdrop.ppm && convert -size "$(xdpyinfo |
        awk '/dimensions:/ {print $2; exit}')" "xc:rgb($1)" -depth 8 "$f"; }
    "$DESKTOP" "$f" $([ "$WM" != i3 ] || echo override) & PIDS+=($!)
    TIMEOUT=30 wait_until eval 'shot; [ "$(px 1,1 300,300)" = "$(PX_OF=$f px 1,1 300,300)" ]'; }
