# Shared rig for the end-to-end tests: a private Xvfb with openbox, the real binary in a
# scratch working directory, synthetic input through XTest (xdotool), and checks of what a
# person would see. Source it from a test script: `source lib.sh "$1"`.
set -u

SLATEBOARD=$(readlink -f "${1:?usage: test_x.sh path/to/slateboard}")
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
WORK=$(mktemp -d /tmp/slateboard-e2e.XXXXXX)
export XDG_RUNTIME_DIR="$WORK/xdg"
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
PASSED=0
FAILED=0
PIDS=()
APP_PID=""

cleanup() {
    local pid
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${PIDS[@]}"; do wait "$pid" 2>/dev/null; done
    rm -rf "$WORK"
}
trap cleanup EXIT

pass() { PASSED=$((PASSED + 1)); echo "  ok: $*"; }
fail() { FAILED=$((FAILED + 1)); echo "  FAIL: $*"; }
check() {  # check "description" command...
    local what=$1; shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}
check_eq() {  # check_eq "description" expected actual
    if [ "$2" = "$3" ]; then pass "$1"; else fail "$1: expected [$2], got [$3]"; fi
}
finish() {
    echo "$PASSED passed, $FAILED failed"
    [ "$FAILED" -eq 0 ]
}

# Waits up to $2 seconds (default 10) for a command to succeed.
wait_until() {
    local cmd=$1 limit=${2:-10} i
    for ((i = 0; i < limit * 20; i++)); do
        eval "$cmd" >/dev/null 2>&1 && return 0
        sleep 0.05
    done
    return 1
}

# start_x [WIDTHxHEIGHT]: a private X server with openbox as window manager.
start_x() { start_x_with "${1:-1024x768}"; }

# start_x_with WIDTHxHEIGHT [Xvfb arguments...]: start_x with more arguments for the server
# (-dpi 192, +xinerama, more -screen options). X_RESOURCES, when set, goes into the resource
# database before the window manager starts (for instance "Xft.dpi: 192", which Qt and
# openbox read for their scale).
start_x_with() {
    local size=$1 fd_file="$WORK/display"
    shift
    rm -f "$fd_file"
    Xvfb -displayfd 3 -screen 0 "${size}x24" "$@" -nolisten tcp -noreset 3>"$fd_file" 2>"$WORK/xvfb.log" &
    PIDS+=($!)
    wait_until "[ -s '$fd_file' ]" 10 || { echo "Xvfb did not start"; cat "$WORK/xvfb.log"; exit 1; }
    export DISPLAY=":$(head -n1 "$fd_file")"
    if [ -n "${X_RESOURCES:-}" ]; then printf '%s\n' "$X_RESOURCES" | xrdb -nocpp -merge; fi
    openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
    PIDS+=($!)
    wait_until "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'" 10 || { echo "openbox did not start"; exit 1; }
}

# stop_x: ends everything started so far (program, window manager, X server), so that a test
# can go on with a server set up differently.
stop_x() {
    local pid
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${PIDS[@]}"; do wait "$pid" 2>/dev/null; done
    PIDS=()
    APP_PID=""
}

# start_app [dir]: starts Slateboard in the folder (default: $WORK/run) and waits for its toolbar.
start_app() {
    local dir=${1:-$WORK/run}
    mkdir -p "$dir"
    # APP_WRAPPER: a command to run the program under (strace ...), word-split on purpose.
    (cd "$dir" && exec ${APP_WRAPPER:-} "$SLATEBOARD" >"$WORK/app.out" 2>"$WORK/app.err") &
    APP_PID=$!
    PIDS+=($APP_PID)
    wait_until "toolbar_id" 10 || { echo "the toolbar did not appear"; cat "$WORK/app.err"; return 1; }
    TOOLBAR=$(toolbar_id)
    # The start-up timer gives the toolbar the focus about 100 ms after the load.
    wait_until "[ \"\$(xdotool getactivewindow 2>/dev/null)\" = \"$TOOLBAR\" ]" 5
}

toolbar_id() { xdotool search --onlyvisible --name '^SB$' 2>/dev/null | head -n1 | grep .; }

# The top-level frame window that openbox puts around a client.
frame_of() {
    local w=$1 parent
    while :; do
        parent=$(xwininfo -children -id "$w" 2>/dev/null | awk '/Parent window id:/ {print $4}')
        [ -z "$parent" ] && break
        [ "$(xwininfo -root | awk '/Window id:/ {print $4}')" = "$parent" ] && break
        w=$parent
    done
    echo "$w"
}

# "x y width height" of a window on the root, decimal.
geometry_of() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
        /^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print x, y, w, h}'
}

# wait_exit pid seconds: waits for a child process to end; sets EXIT_STATUS ("timeout" if it
# did not end). Call it directly, not in $(...), which cannot wait for this shell's children.
wait_exit() {
    local pid=$1 limit=${2:-10}
    EXIT_STATUS=timeout
    wait_until "! kill -0 $pid" "$limit" || return 1
    wait "$pid" 2>/dev/null
    EXIT_STATUS=$?
}

# The pixel at x y of the root window, as "r,g,b" (0..255).
pixel_at() {
    import -window root -depth 8 -crop "1x1+$1+$2" txt:- 2>/dev/null |
        sed -n '2p' | sed -E 's/^[^(]*\(([0-9]+),([0-9]+),([0-9]+).*/\1,\2,\3/'
}

key() { xdotool key --delay 30 "$@"; }

# show_backdrop COLOUR: paints the root window (the desktop) in one colour, so the desktop
# copy has something known to show.
show_backdrop() {
    local size
    size=$(xdpyinfo | awk '/dimensions:/ {print $2}')
    convert -size "$size" "xc:$1" "$WORK/backdrop.png"
    display -window root "$WORK/backdrop.png" 2>/dev/null  # exits 1 even when it worked
    import -window root -crop 1x1+1+1 -depth 8 txt:- | grep -q "$(convert xc:"$1" -depth 8 txt:- | sed -n '2p' | awk '{print $3}')"
}

canvas_id() { xdotool search --onlyvisible --name '^画面スクリーン$' 2>/dev/null | head -n1 | grep .; }

# shot: a screenshot of the whole screen; px X Y reads "r,g,b" from the latest shot.
shot() { import -window root "$WORK/shot.png"; }
px() {
    convert "$WORK/shot.png" -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
        sed -n '2p' | sed -E 's/^[^(]*\(([0-9]+),([0-9]+),([0-9]+).*/\1,\2,\3/'
}

# The X window ids in stacking order, bottom first, as the window manager lists them.
stacking() { xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g'; }
# above A B: window A is stacked above window B.
above() {
    stacking | tr ' ' '\n' | awk -v a="$(printf '0x%x' "$1")" -v b="$(printf '0x%x' "$2")" \
        '$0 == a {ia = NR} $0 == b {ib = NR} END {exit !(ia && ib && ia > ib)}'
}
