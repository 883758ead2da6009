# Shared rig for the Wayland end-to-end tests: a private D-Bus, a headless sway, PipeWire and the
# desktop portal (wlr), all as an unprivileged user (sway refuses root); the real binary in a scratch
# folder; keys through wtype, the mouse through our virtual pointer; checks of what a person would
# see, read back with grim. Every wait is on a condition, polled by wait_until.
# Use: source lib.sh path/to/slateboard (first thing in the script: started as root, it runs a copy
# of the script again as the user nobody).
set -u
SB=$(readlink -f "${1:?usage: test_x.sh path/to/slateboard}")
VIRTUAL_POINTER=$(readlink -f "${VIRTUAL_POINTER:-$(dirname "$SB")/tests/virtual_pointer}")
if [ "$(id -u)" = 0 ]; then
    # The portal writes every screenshot to this one file: a stale one of root's would stop it.
    rm -f /tmp/out.png
    # The binaries and scripts go where that user can reach them: the build may be under root's
    # home (mode 700).
    BIN=$(mktemp -d /tmp/slateboard-wl-bin.XXXXXX) && chmod 755 "$BIN" &&
        cp "$SB" "$VIRTUAL_POINTER" "$(dirname "$0")"/*.sh "$(dirname "$0")"/../checks.sh "$BIN/" || exit 1
    setpriv --reuid=65534 --regid=65534 --clear-groups env -i PATH="$PATH" LANG=C.UTF-8 HOME=/nonexistent \
        KEEP_WORK="${KEEP_WORK:-}" VIRTUAL_POINTER="$BIN/$(basename "$VIRTUAL_POINTER")" \
        bash "$BIN/$(basename "$0")" "$BIN/$(basename "$SB")"
    status=$?
    rm -rf "$BIN"
    exit $status
fi
WORK=$(mktemp -d /tmp/slateboard-wl.XXXXXX)
export HOME=$WORK/home XDG_RUNTIME_DIR=$WORK/xdg XDG_CONFIG_HOME=$WORK/home/.config
mkdir -p -m 700 "$HOME" "$XDG_RUNTIME_DIR" "$WORK/run"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
RUN=$WORK/run PASSED=0 FAILED=0 PIDS=() APP_PID= TIMEOUT=10 LAST=
# The output's device pixels and its scale (SCALE=2: a HiDPI output of 512x384 logical pixels);
# OUTPUTS=2: a second output of that size to its right, a plain orange.
W=1024 H=768 SCALE=${SCALE:-1} OUTPUTS=${OUTPUTS:-1}
CANVAS_T='画面スクリーン' TOOLBAR_T='SB' HELP_T='Help  (Slateboard 1.2.8)'
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"

# The desktop: a picture known pixel by pixel (red across, green down, blue in 16-pixel bands), so
# that a canvas shifted, scaled or taken from another frame shows.
make_desktop_picture() {
    convert -size ${H}x$W gradient:'#000000-#ff0000' -rotate 90 \
        \( -size ${W}x$H gradient:'#00ff00-#000000' \) -compose plus -composite \
        \( -size 16x16 xc:'#000000' xc:'#0000c0' +append -write mpr:tile +delete -size ${W}x$H tile:mpr:tile \) \
        -compose plus -composite -depth 8 "PNG24:$WORK/desktop.png"
}
start_session() {
    make_desktop_picture || exit 1
    cat >"$WORK/sway.conf" <<CONF
xwayland disable
output HEADLESS-1 resolution ${W}x$H position 0 0 scale $SCALE bg $WORK/desktop.png center
default_border none
focus_follows_mouse no
seat seat0 fallback true
$([ "$OUTPUTS" = 1 ] || echo "output HEADLESS-2 resolution ${W}x$H position $W 0 bg #ff8800 solid_color")
bindsym Ctrl+z exec $SB --toggle
bindsym F1 exec $SB --toggle
CONF
    local bus
    # A bus that starts no service on demand: what runs is what the test started.
    cat >"$WORK/bus.conf" <<CONF
<busconfig>
  <type>session</type>
  <listen>unix:dir=$WORK</listen>
  <auth>EXTERNAL</auth>
  <policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/></policy>
</busconfig>
CONF
    bus=$(dbus-daemon --config-file="$WORK/bus.conf" --fork --print-address=1 --print-pid=1) || exit 1
    export DBUS_SESSION_BUS_ADDRESS=${bus%%$'\n'*}
    PIDS+=("${bus##*$'\n'}")
    WLR_BACKENDS=headless WLR_HEADLESS_OUTPUTS=$OUTPUTS WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman XDG_CURRENT_DESKTOP=sway \
        sway -c "$WORK/sway.conf" >"$WORK/sway.log" 2>&1 & PIDS+=($!)
    TIMEOUT=30 wait_until eval 'ls "$XDG_RUNTIME_DIR" | grep -qx "wayland-[0-9]*"' || { cat "$WORK/sway.log"; exit 1; }
    export WAYLAND_DISPLAY SWAYSOCK
    WAYLAND_DISPLAY=$(ls "$XDG_RUNTIME_DIR" | grep -x 'wayland-[0-9]*' | head -n1)
    TIMEOUT=30 wait_until eval 'SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock) && swaymsg -t get_version'
    XDG_CURRENT_DESKTOP=sway pipewire >"$WORK/pipewire.log" 2>&1 & PIDS+=($!)
    TIMEOUT=30 wait_until test -S "$XDG_RUNTIME_DIR/pipewire-0"
    XDG_CURRENT_DESKTOP=sway /usr/libexec/xdg-desktop-portal-wlr >"$WORK/portal-wlr.log" 2>&1 & PIDS+=($!)
    XDG_CURRENT_DESKTOP=sway /usr/libexec/xdg-desktop-portal >"$WORK/portal.log" 2>&1 & PIDS+=($!) PORTAL_PID=$!
    timeout 30 gdbus wait --session org.freedesktop.portal.Desktop || { echo "no portal"; exit 1; }
    start_pointer
    # The desktop's picture is up once the output shows it.
    TIMEOUT=30 wait_until eval 'shot "$WORK/first.png" && [ "$(pixel "$WORK/first.png" 500 300)" = "$(pixel "$WORK/desktop.png" 500 300)" ]'
}
stop_session() {
    [ -z "$APP_PID" ] || kill "$APP_PID" 2>/dev/null
    local i
    for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do kill "${PIDS[i]}" 2>/dev/null; done
    wait 2>/dev/null
    [ -n "${KEEP_WORK:-}" ] || rm -rf "$WORK"
}
trap stop_session EXIT

# The program, started in its folder; up once sway shows its toolbar.
start_app() {
    (cd "$RUN" && exec "$SB" "$@" >>"$WORK/app.log" 2>&1) & APP_PID=$!
}
# Windows as sway has them: WINDOW TITLE prints the title's x y width height (logical pixels),
# fullscreen (0/1) and visible.
window() { swaymsg -t get_tree | jq -r --arg t "$1" \
    '.. | objects | select(.type? == "con" or .type? == "floating_con") | select(.name == $t)
     | "\(.rect.x) \(.rect.y) \(.rect.width) \(.rect.height) \(.fullscreen_mode) \(.visible)"' | head -n1; }
shown() { [ "$(window "$1" | cut -d' ' -f6)" = true ]; }
# urgent TITLE: true when the compositor marks the window as asking for attention (an activation
# it refused), false when not.
urgent() { swaymsg -t get_tree | jq -r --arg t "$1" '.. | objects | select(.name? == $t) | .urgent' | head -n1; }
# box TITLE: the window's rectangle with its title bar in device pixels, as differ takes it (X0,Y0 X1,Y1).
box() { swaymsg -t get_tree | jq -r --arg t "$1" --argjson s "$SCALE" '.. | objects | select(.name? == $t)
    | "\(.rect.x * $s),\(.deco_rect.y * $s) \((.rect.x + .rect.width) * $s - 1),\((.rect.y + .rect.height) * $s - 1)"' | head -n1; }
# The canvas's corner marks, about 16 pixels deep.
CORNERS=("0,0 19,19" "$((W - 20)),0 $((W - 1)),19" "0,$((H - 20)) 19,$((H - 1))" "$((W - 20)),$((H - 20)) $((W - 1)),$((H - 1))")
# painted TITLE: sway shows the window, and the output has its grey face near its right edge, not
# the desktop.
painted() { local x y w h
    read -r x y w h _ <<<"$(window "$1")" && shown "$1" && shot "$WORK/now.png" &&
        x=$(((x + w - 12) * SCALE)) y=$(((y + h / 2) * SCALE)) &&
        LAST=$(pixel "$WORK/now.png" $x $y) && [ "$LAST" != "$(pixel "$WORK/desktop.png" $x $y)" ]; }
toolbar_painted() { painted "$TOOLBAR_T"; }
# seen_at X,Y...: the pixels a fresh screenshot shows there, separated by spaces.
seen_at() { local p; shot "$WORK/now.png" || return 1; for p; do pixel "$WORK/now.png" "${p%,*}" "${p#*,}"; done | paste -sd' '; }
gone() { [ -z "$(window "$1")" ]; }
focused() { swaymsg -t get_tree | jq -r '.. | objects | select(.focused? == true) | .name'; }
# What the first output shows: shot FILE; pixel FILE X Y prints #rrggbb.
shot() { grim -o HEADLESS-1 "$1"; }
pixel() { convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | sed -n '2s/.*\(#[0-9A-Fa-f]\{6\}\).*/\1/p' | tr a-f A-F; }
# seen X Y WANT: a fresh screenshot shows WANT at X,Y.
seen() { shot "$WORK/now.png" && LAST=$(pixel "$WORK/now.png" "$1" "$2") && [ "$LAST" = "$3" ]; }
# differ A B [MASK...]: how many pixels of the two pictures differ outside the rectangles X0,Y0,X1,Y1.
differ() { local a=$1 b=$2 r draw=(); shift 2
    for r; do draw+=(-draw "rectangle $r"); done
    convert "$a" -fill black "${draw[@]}" "$WORK/a.png" && convert "$b" -fill black "${draw[@]}" "$WORK/b.png" &&
        compare -metric AE "$WORK/a.png" "$WORK/b.png" null: 2>&1 | cut -d' ' -f1; }
# Input: keys KEY... (wtype's -k names; a leading "ctrl+" holds Control), the mouse through the
# compositor's virtual pointer, in device pixels (mouse move:X,Y down:left ...).
keys() { local k args=(-s 200)
    for k; do if [[ $k == ctrl+* ]]; then args+=(-M ctrl -k "${k#ctrl+}" -m ctrl); else args+=(-k "$k"); fi; done
    wtype "${args[@]}"; }
start_pointer() { coproc POINTER { exec "$VIRTUAL_POINTER" "$((W * OUTPUTS))" "$H"; }; PIDS+=("$POINTER_PID"); }
mouse() { local ack; echo "$*" >&"${POINTER[1]}" && read -r -t 10 ack <&"${POINTER[0]}" && [ "$ack" = ok ]; }
