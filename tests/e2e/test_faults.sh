#!/usr/bin/env bash
# What must hold when things go wrong: a kill during saves never damages settings.ini, a whole
# session writes no file but settings.ini, the X server going away ends the program with a
# message and a failure status, and without any X display it says so and ends at once, while
# --help and --version work there and an unknown option ends with status 2.
source "$(dirname "$0")/lib.sh" "$1"
start_x
echo "kill -9 during saves: R toggles 5 and 6, so each S writes the other of two files"
ini pattern=5 >"$RUN/settings.ini" && damaged=0
for round in {1..12}; do  # killed once the first of 60 saves is written
    start_app >/dev/null && s=$(stamp) || { damaged=$((damaged + 1)); continue; }
    xdotool key --delay 4 $(printf 'r s %.0s' {1..60}) &
    wait_until not is "$s" stamp
    kill -9 "$APP_PID" && wait "$APP_PID" "$!" 2>/dev/null
    # Whole: pattern 5 or 6, the rest as before (the place aside: some managers shift the toolbar).
    [[ "$(bytes | sed 6,7d)" == $(want pattern=[56] | sed 6,7d) ]] || damaged=$((damaged + 1))
done
check_eq "12 kills during saves left settings.ini whole" "0" "$damaged"
start_app >/dev/null && close_app  # a kill between naming and renaming leaves a temporary: the next start clears it
check_eq "and no temporary file behind" "settings.ini" "$(ls -A "$RUN")"
echo "a whole session writes nothing but settings.ini"
home=$WORK/home RUN=$WORK/session && mkdir -p "$WORK/home"
HOME=$home XDG_CONFIG_HOME=$home/.config XDG_CACHE_HOME=$home/.cache XDG_DATA_HOME=$home/.local/share \
    APP_WRAPPER="strace -f -qq -o $WORK/trace -e trace=/^(open|creat|rename|link|mkdir|symlink|truncate)" \
    start_app || exit 1
check "drawing mode, every pattern, a take-back" eval 'enter && for k in a l c r e f; do drag $k 100 100 300 250; done &&
    xdotool click 3'
for panel in "h $HELP_T" "Down $SETUP_T"; do
    check "${panel#* }: opened and closed" eval 'activate $TOOLBAR && key ${panel%% *} &&
        found P "${panel#* }" && wait_until active_is $P && key Escape && wait_until not any "${panel#* }"'
done
steps <<'EOF'
leave                          | the button leaves drawing mode         | not canvas
:                              | the toolbar keeps the keys             | active_is $TOOLBAR
saves                          | S writes the settings                  | :
key space                      | the countdown enters drawing mode      | canvas && over $TOOLBAR "$(canvas)" && active_is $TOOLBAR
leave                          | and the button leaves it               | not canvas
EOF
close_app
check_eq "the program ends with status 0" "0" "$EXIT_STATUS"
check_eq "the working folder holds settings.ini only" "settings.ini" "$(ls -A "$RUN")"
check_eq "nothing in the home folder" "" "$(find "$home" -mindepth 1 | head -5)"
# The writes that succeeded, less settings.ini (through its temporary names) and /dev/null.
writes=$(grep -E 'O_WRONLY|O_RDWR|O_CREAT|O_TMPFILE|rename|link|mkdir|creat\(|symlink|truncate' "$WORK/trace" | grep -v -E \
    '= -1 |"/dev/null"|openat\(AT_FDCWD, "\.", O_WRONLY\|O_CLOEXEC\|O_TMPFILE|"\./settings\.ini\.[0-9-]+"')
check_eq "no other file written anywhere" "" "$writes"
check "the trace saw the saves" grep -q 'rename(".*settings.ini' "$WORK/trace"
start_app && kill "$XVFB" && wait_exit "$APP_PID"
check "the program ends, with a failure status" [ "$EXIT_STATUS" != timeout -a "$EXIT_STATUS" != 0 ]
check "and says why" grep -q "slateboard: .*X11 connection broke" "$WORK/app.err"
nox() { (cd "$RUN" && exec env -u DISPLAY -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY timeout 60 "$SB" "$@" \
    >"$WORK/nox.out" 2>"$WORK/nox.err"); echo "$? $(cat "$WORK/nox.out" "$WORK/nox.err" | head -n 1)"; }
check_eq "with no display at all: exits with status 1, and says why" \
    "1 slateboard: no display: neither WAYLAND_DISPLAY nor DISPLAY is set; start Slateboard in a desktop session" "$(nox)"
check_eq "--toggle there finds no instance: status 1" "1 slateboard: no Slateboard is running in this session" \
    "$(nox --toggle)"
check_eq "--help needs no display: status 0, the usage" "0 Usage: slateboard [--use-config-dir] [Qt options]" \
    "$(nox --help)"
check_eq "--version neither" "0 slateboard 1.2.8" "$(nox --version)"
check_eq "an unknown option: status 2, named" "2 slateboard: unknown option '--bogus'" "$(nox -display :0 --bogus)"
finish
