#!/usr/bin/env bash
# settings.ini as the user keeps it: saved values come back at the next start, a damaged file
# is replaced by the defaults, a place on a monitor that is gone is kept in the file but not
# used, a start from the desktop menu keeps it in the configuration folder, and a folder that
# cannot be written still starts.
source "$(dirname "$0")/lib.sh" "$1"
onscreen_wm() { [[ $WM =~ ^(metacity|kwin) ]]; }
twips() { printf '%s%d ' "$( (($1 < 0)) || echo ' ')" $(($1 * 15)); }  # pixels in twips, as the file has them
start_x
ini colour=9 width=3 fill=13 pattern=4 top=1200 left=4500 hotkey=1 >"$RUN/settings.ini" && saved=$(bytes)
steps <<'EOF'
# saved values come back
start_app                      | toolbar frame at Left 4500 / Top 1200 twips | is "300 80" fxy $TOOLBAR
:                              | the file is only read                       | holds "$saved"
saves                          | S writes the same bytes again               | holds "$saved"
xdotool windowmove $TOOLBAR 200 -10 | the toolbar is moved                  | not is "300 80" fxy $TOOLBAR
wait_until settled fgeo $TOOLBAR && read -r x y _ <<<"$LAST"; saves | S saves its place in twips | [ "$(line 6)/$(line 7)" = "$(twips y)/$(twips x)" ]
close_app                      | exit status 0                               | [ $EXIT_STATUS = 0 ]
# started in drawing mode (line 5 False): the toolbar framed as in normal mode, at its place, above the canvas
ini off=False top=1200 left=4500 >$RUN/settings.ini; start_app | the canvas is up from the start | canvas
:                              | the toolbar has its title bar | [ $WM = none ] || (($(extents $TOOLBAR | cut -d' ' -f3) > 0))
:                              | its frame at Left 4500 / Top 1200 twips | is "300 80" fxy $TOOLBAR
:                              | above the canvas, with the keys | above $TOOLBAR $(canvas) && active_is $TOOLBAR
close_app                      | -                                           | :
# a place saved on a monitor that is gone, 3000 pixels to the right
ini top=6000 left=45000 >$RUN/settings.ini; start_app | on the screen, at its saved height | on_screen && ((y == 400))
enter                          | in drawing mode too, at the same place      | [ "$(fxy $TOOLBAR)" = "$x $y" ]
:                              | the file keeps the saved place | holds "$(want top=6000 left=45000)"
close_app                      | -                                           | :
# a place partly off the screen but within reach, 900 twips left of it
# (metacity and KWin put every new window wholly on the screen: there it comes at 0; icewm now
# and then keeps a new window's first place on the screen and refuses the move back out)
ini left=-900 >$RUN/settings.ini; start_app | kept 60 pixels out | is "$(onscreen_wm && echo 0 || echo -60) 440" fxy $TOOLBAR || { [ $WM = icewm ] && is "-$(extents $TOOLBAR | cut -d' ' -f1) 440" fxy $TOOLBAR; }
saves                          | and saved back as it was                    | onscreen_wm || [ "$(line 7)" = "-900 " ]
close_app                      | -                                           | :
EOF
echo "a damaged file is replaced by the defaults"
ini width=abc top=1200 left=4500 >"$RUN/settings.ini" && start_app || exit 1
check_eq "defaults written" "$(want)" "$(bytes)"
expect "toolbar at the default place, not the damaged file's" "379 440" fxy "$TOOLBAR"
close_app
echo "started from the desktop menu: settings.ini in the configuration folder, not where it starts"
mkdir "$WORK/home" && (cd "$WORK/home" && XDG_CONFIG_HOME=$WORK/home/cfg exec "$SB" $(sed -n 's/^Exec=slateboard//p' \
    "$(dirname "$0")/../../resources/slateboard.desktop") 2>"$WORK/app.err") & APP_PID=$! && PIDS+=($!)
until_ok "the toolbar comes up" eval 'found_now TOOLBAR SB && active_is $TOOLBAR'
check_eq "the defaults written there" "$(want)" "$(bytes "$WORK/home/cfg/slateboard/settings.ini")"
check_eq "both folders made, private; nothing else written" "700 700 cfg" \
    "$(stat -c %a "$WORK/home/cfg" "$WORK/home/cfg/slateboard" | xargs) $(ls -A "$WORK/home")"
close_app
echo "a folder that cannot be written"
RUN=$WORK/readonly && mkdir -m 555 "$RUN"
[ "$(id -u)" != 0 ] || {  # root writes anywhere: the program runs as nobody instead
    APP_WRAPPER="setpriv --reuid=65534 --regid=65534 --clear-groups"; chown 65534 "$XDG_RUNTIME_DIR"; chmod o+x "$WORK"; }
start_app || exit 1
check "no file appeared" [ -z "$(ls -A "$RUN")" ]
check "it says why on standard error" grep -q "settings" "$WORK/app.err"
expect "toolbar at the default place" "379 440" fxy "$TOOLBAR"
key s && until_ok "a failed save shows a message" win Slateboard
activate "$(win Slateboard)" && key Return && until_ok "Return closes it" not win Slateboard
close_app
check_eq "exit status" "0" "$EXIT_STATUS"
finish
