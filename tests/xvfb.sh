# Sourced by the end-to-end scripts: a scratch directory $work, check (counts
# $passed, $failed), start_xvfb (a private X server, screen $work/Xvfb_screen0).
work=$(mktemp -d /tmp/landscape-e2e-XXXXXX)
xvfb_pid= passed=0 failed=0
trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; rm -rf "$work"' EXIT

check() {   # check NAME CONDITION-RESULT DETAIL
    [ "$2" = 0 ] && { passed=$((passed + 1)); echo "ok: $1"; return; }
    failed=$((failed + 1)); echo "FAILED: $1: $3"
    for log in run.err run.out xvfb.log xdotool.err; do
        [ -s "$work/$log" ] && { echo "  $log:"; sed 's/^/    /' "$work/$log"; }
    done
}

# -noreset: else a client that connects as the server resets after its last
# client left is dropped. The display number comes on fd 3 once it is ready.
start_xvfb() {
    exec 3>"$work/display"
    Xvfb -displayfd 3 -noreset -fbdir "$work" -screen 0 640x480x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 600); do grep -q '^[0-9][0-9]*$' "$work/display" 2>/dev/null && break; sleep 0.1; done
    export DISPLAY=":$(head -n 1 "$work/display")"
}
