#!/usr/bin/env bash
# The toolbar as a user meets it: placed, titled and on top; one instance only; keys pick
# patterns that a save writes, under layouts of other scripts too; Space counts down; closing
# ends the program with status 0.
source "$(dirname "$0")/lib.sh" "$1"
start_x && start_app || exit 1
check_eq "title" "SB" "$(xdotool getwindowname "$TOOLBAR")"
check_eq "default settings file written" "$(want)" "$(bytes)"
expect "frame at Left 5685 / Top 6600 twips, 1335 twips wide, caption + 480 twips high" "379 440 89 $(standard_height)" \
    fgeo "$TOOLBAR"
check "always on top" has_state "$TOOLBAR" ABOVE
check "shown within 1 s of the start ($SHOWN_MS ms)" [ "$SHOWN_MS" -le 1000 ]
minimise_action "minimise action in normal mode" && check "no maximise" not can "$TOOLBAR" MAXIMIZE
read -r x y _ < <(geo "$TOOLBAR") && until_ok "the pattern picture shows the red arrow" eval \
    "import -window root -crop 23x22+$x+$((y + 2)) -depth 8 txt:- | grep -qiE '#(FF|[C-E][0-9A-F])0000'"
(cd "$RUN" && DISPLAY=$DISPLAY.0 exec "$SB" >/dev/null 2>&1) & wait_exit $!
check_eq "a second instance, on $DISPLAY.0, ends on its own with status 0" "0" "$EXIT_STATUS"
check_eq "still one toolbar" "1" "$(shown SB)"
check "the first instance runs on" kill -0 "$APP_PID"
echo "keys: each row typed, then S; the pattern is then in line 4"
for row in "5 r" "6 r" "7 Right" "7 shift+a ctrl+c alt+f" "7 F2 Left Left" "3 c c c" "8 f" "1 Right" \
    "2 l" "4 F5" "6 F7" "7 e"; do
    check "${row#* }, S: the file written" saves ${row#* }
    check_eq "${row#* }: pattern ${row%% *}" " ${row%% *} " "$(line 4)"
done
echo "layouts of other scripts: letters by their place on a US keyboard; X keycodes typed, then S (39)"
typed() { local s; s=$(stamp); "$HOLD_KEY" type "$@" 39; wait_until not is "$s" stamp; }
for row in "ru 5 27" "ru 6 27" "ru 3 54" "ru 4 54" "ru 7 26" "ru 8 41" "ru 2 46" "ru 1 38" "jp(kana) 3 54" "gr 7 26"; do
    set -- $row && setxkbmap "$1" && check "$1: ${*:3}, S: the file written" typed "${@:3}"
    check_eq "$1: pattern $2" " $2 " "$(line 4)"
done
steps <<'EOF'
setxkbmap gr; "$HOLD_KEY" type 24 | gr: Q, a semicolon there, shows the open panel | win Slateboard
key Return                        | -                                             | not win Slateboard
setxkbmap ru; "$HOLD_KEY" type 43 | ru: H opens the help, with the keys          | active_is "$(win "$HELP_T")"
"$HOLD_KEY" type 43               | and H hides it                                | not win "$HELP_T"
activate $TOOLBAR; setxkbmap fr   | -                                             | true
"$HOLD_KEY" type 38               | fr, Latin: Q, where a US keyboard has A       | win Slateboard
key Return; setxkbmap us          | -                                             | not win Slateboard
EOF
echo "countdown: Rdy until the first tick at one second, then 4, 3, 2, 1, then drawing mode"
label() { read -r x y _ h < <(geo "$TOOLBAR")  # within the client, which a tall caption makes shorter
    import -window root -crop "25x$((h < 25 ? h - 8 : 17))+$((x + 60))+$((y + 8))" rgb:- | md5sum; }
seen=("$(label)") start=$(date +%s%N) && key space
for n in 1 2 3 4; do wait_until not is "${seen[-1]}" label && seen+=("$LAST") && check "count $n, no canvas yet" not any "$CANVAS_T"; done
check_eq "four distinct counts after Rdy" "5" "$(printf '%s\n' "${seen[@]}" | sort -u | wc -l)"
until_ok "then drawing mode starts" canvas
ms=$((($(date +%s%N) - start) / 1000000)) && check "at five seconds ($ms ms)" [ $ms -ge 4500 -a $ms -le 9000 ]
expect "the label shows Rdy again" "${seen[0]}" label
check "the button leaves drawing mode" leave
minimise_action "minimise action back"
start=$(date +%s%N) && key ctrl+z && wait_until canvas; ms=$((($(date +%s%N) - start) / 1000000))
check "the hot key shows the canvas within 1 s ($ms ms)" [ $ms -le 1000 ] && key ctrl+z && wait_until not canvas
xdotool windowmove "$TOOLBAR" 100 100 && wait_until not is "379 440" fxy "$TOOLBAR"
close_app
check_eq "closing the toolbar exits with status 0" "0" "$EXIT_STATUS"
check_eq "settings not saved at exit" "$(want pattern=7)" "$(bytes)"
finish
