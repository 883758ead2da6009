# Results and conditions shared by the end-to-end rigs. wait_until COMMAND...: polls until it succeeds,
# for $TIMEOUT seconds.
pass() { PASSED=$((PASSED + 1)); echo "  ok: $*"; }
fail() { FAILED=$((FAILED + 1)); echo "  FAIL: $*"; }
# check WHAT COMMAND...: a condition that sets LAST to what it saw tells it when it fails.
check() { local what=$1; shift; LAST=; if "$@"; then pass "$what"; else fail "$what${LAST:+ (last seen: $LAST)}"; fi; }
check_eq() { if [ "$2" = "$3" ]; then pass "$1"; else fail "$1: expected [$2], got [$3]"; fi; }
finish() { echo "$PASSED passed, $FAILED failed"; [ "$FAILED" -eq 0 ]; }
wait_until() { local end=$((SECONDS + TIMEOUT))
    until "$@" >/dev/null 2>&1; do [ $SECONDS -lt $end ] || return 1; sleep 0.05; done; }
until_ok() { local what=$1; shift; check "$what" wait_until "$@"; }
not() { ! "$@"; }
is() { LAST=$("${@:2}" 2>/dev/null); [ "$LAST" = "$1" ]; }  # is WANT COMMAND...
# settled COMMAND...: two reads in a row agree, and LAST holds what they read. A window's frame is read
# in several requests, and a manager that is framing or moving the window may be caught halfway.
settled() { local was; was=$("$@" 2>/dev/null) && is "$was" "$@"; }
# expect "description" WANT COMMAND...: waits until the command prints WANT.
expect() { local w=$1; shift; if wait_until is "$@"; then pass "$w"; else fail "$w: expected [$1], got [$LAST]"; fi; }
