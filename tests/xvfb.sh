# Sourced by the end-to-end scripts: a scratch directory $work, check (counts
# $passed, $failed), start_xvfb [WIDTHxHEIGHT] (a private X server, 640x480
# unless given, whose screen Xvfb keeps in $work/Xvfb_screen0), preloadable
# (a copy of a library to preload, in a folder whose path has no space),
# start_program and quit_program (the program in its window, and ended
# with Escape), settle (what the screen or the program's window shows, as
# the script's $render_frame recognises it).
work=$(mktemp -d /tmp/landscape-e2e-XXXXXX)
mkdir "$work/preload"
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
    Xvfb -displayfd 3 -noreset -fbdir "$work" -screen 0 "${1:-640x480}x24" -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 600); do grep -q '^[0-9][0-9]*$' "$work/display" 2>/dev/null && break; sleep 0.1; done
    export DISPLAY=":$(head -n 1 "$work/display")"
}

# LD_PRELOAD splits its list at spaces, so a library in a checkout whose
# path holds one is preloaded from a copy.
preloadable() {   # preloadable LIBRARY: prints the copy's path
    local dir
    dir=$(mktemp -d "$work/preload/XXXXXX") && cp "$1" "$dir/" && echo "$dir/${1##*/}"
}

screen_sum() { md5sum <"$work/Xvfb_screen0"; }
# What the screen shows once it has stopped changing: in the window $window
# (its geometry now, left in X, Y, WIDTH, HEIGHT), or on the whole screen,
# as render_frame --match says it, in $shown.
shown=
settle() {   # settle [window]
    local before now region=()
    before=$(screen_sum)
    for _ in $(seq 50); do sleep 0.2; now=$(screen_sum); [ "$now" = "$before" ] && break; before=$now; done
    if [ -n "${1:-}" ]; then
        eval "$(xdotool getwindowgeometry --shell "$window")"
        region=(--region "$X,$Y,$WIDTH,$HEIGHT")
    fi
    shown=$("$render_frame" --match "$work/Xvfb_screen0" "${region[@]}" --max 3000 2>&1 | tr '\n' ' ')
}

# Starts the program in DIR, its output in $work/run.out and run.err, waits
# for its window and gives that the keyboard (the keyboard follows the
# pointer); leaves $program_pid and $window (empty when none opened).
start_program() {   # start_program DIR [VARIABLE=VALUE...] PROGRAM
    local dir=$1
    shift
    (cd "$dir" && exec env "$@") >"$work/run.out" 2>"$work/run.err" &
    program_pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --name "^Landscape$" 2>"$work/xdotool.err" | head -n 1)
    [ -n "$window" ] || return
    xdotool mousemove --window "$window" 160 120
    xdotool windowfocus --sync "$window" 2>/dev/null
}

# Escape, and the program's exit status in $status.
quit_program() {
    xdotool key Escape
    timeout 10 tail --pid="$program_pid" -f /dev/null || kill "$program_pid"
    wait "$program_pid"
    status=$?
}
