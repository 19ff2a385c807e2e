#!/bin/bash
# The built program end to end, as a user runs it.
#   end_to_end.sh PROGRAM REFUSE_VIDEO_MODE_LIB RENDER_FRAME
# Runs against the SDL 1.2 library the program is linked with; set
# LD_LIBRARY_PATH to run it against another one (sdl12-compat), and
# EXPECT_SDL_LIBRARY to a path prefix the loaded library must have.
set -u
program=$(realpath "$1")
refuse=$(realpath "$2")
render_frame=$(realpath "$3")
passed=0
failed=0
work=$(mktemp -d /tmp/landscape-e2e-XXXXXX)
xvfb_pid=
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

check() {   # check NAME CONDITION-RESULT DETAIL
    if [ "$2" = 0 ]; then
        passed=$((passed + 1)); echo "ok: $1"
    else
        failed=$((failed + 1)); echo "FAILED: $1: $3"
        for log in run.err run.out xvfb.log xdotool.err; do
            [ -s "$work/$log" ] && { echo "  $log:"; sed 's/^/    /' "$work/$log"; }
        done
    fi
}

export SDL_AUDIODRIVER=dummy

# SDL cannot start: status 1 and the one line.
SDL_VIDEODRIVER=no-such-driver "$program" >"$work/out" 2>"$work/err" </dev/null
status=$?
err=$(cat "$work/err")
[ $status = 1 ] && [[ "$err" == "Couldn't initialize SDL: "?* ]] && [ "$(wc -l <"$work/err")" = 1 ]
check "SDL start-up failure exits 1 with its line" $? "status $status, stderr '$err'"

# No display and no driver asked for: sdl12-compat's SDL 2 then falls back
# to its "offscreen" driver, which shows nothing; that is refused with status
# 1 and the one line. (Classic SDL draws in the terminal instead, which is
# not tried here.) XDG_RUNTIME_DIR keeps SDL's Wayland probe quiet.
if [[ "${EXPECT_SDL_LIBRARY:-}" == *sdl12-compat* ]]; then
    env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER XDG_RUNTIME_DIR="$work" \
        timeout 60 "$program" >"$work/out" 2>"$work/err" </dev/null
    status=$?
    err=$(cat "$work/err")
    [ $status = 1 ] && [ "$err" = "Couldn't initialize SDL: no display (SDL's \"offscreen\" video driver shows nothing)" ]
    check "with no display the offscreen driver is refused with status 1 and its line" $? "status $status, stderr '$err'"
fi

# The video mode is refused: status 2 and the one line with SDL's error.
SDL_VIDEODRIVER=dummy LD_PRELOAD="$refuse" "$program" >"$work/out" 2>"$work/err" </dev/null
status=$?
err=$(cat "$work/err")
[ $status = 2 ] && [ "$err" = "Couldn't set 320x240x8 video mode: No video mode large enough for 320x240 at 8 bits" ]
check "refused video mode exits 2 with its line" $? "status $status, stderr '$err'"

# A real X server for the rest. -noreset: by default the server resets
# whenever its last client disconnects, and a client connecting during that
# reset (the program starting just as an xdotool call ends) is dropped with
# "Couldn't open X11 display".
exec 3>"$work/display"
# -fbdir: the screen is also the file Xvfb_screen0 there, for watching the
# program draw.
Xvfb -displayfd 3 -noreset -fbdir "$work" -screen 0 640x480x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
# The display number arrives with its newline once the server is ready;
# a loaded machine can take a while.
for _ in $(seq 600); do grep -q '^[0-9][0-9]*$' "$work/display" 2>/dev/null && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$work/display")"
for _ in $(seq 100); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
xdotool getmouselocation >/dev/null 2>&1
check "Xvfb is up on $DISPLAY" $? "no X server"
unset SDL_VIDEODRIVER

start_program() {   # runs the program in $work/run, sets program_pid and window
    mkdir -p "$work/run"
    (cd "$work/run" && exec "$program") >"$work/run.out" 2>"$work/run.err" &
    program_pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --name "^Landscape$" 2>"$work/xdotool.err" | head -n 1)
    loaded_sdl=$(grep -o '/[^ ]*libSDL-1\.2[^ ]*' "/proc/$program_pid/maps" | head -n 1)
    if [ -n "$window" ]; then
        # No window manager runs here: the keyboard follows the pointer.
        xdotool mousemove --window "$window" 160 120
        xdotool windowfocus --sync "$window" 2>/dev/null
    fi
    sleep 0.5
}

screen_sum() {
    md5sum <"$work/Xvfb_screen0"
}

settled_screen() {   # the screen's checksum once it has stopped changing
    local now last
    last=$(screen_sum)
    for _ in $(seq 50); do
        sleep 0.2
        now=$(screen_sum)
        [ "$now" = "$last" ] && break
        last=$now
    done
    echo "$now"
}

wait_exit() {   # wait_exit SECONDS: the program's exit status, or 124
    for _ in $(seq $(($1 * 10))); do
        if ! kill -0 "$program_pid" 2>/dev/null; then
            wait "$program_pid"; return $?
        fi
        sleep 0.1
    done
    kill "$program_pid" 2>/dev/null; wait "$program_pid" 2>/dev/null
    return 124
}

# Escape quits with status 0.
start_program
[ -n "$window" ]
check "the window opens" $? "no window named Landscape"
if [ -n "${EXPECT_SDL_LIBRARY:-}" ]; then
    [[ "$loaded_sdl" == *"$EXPECT_SDL_LIBRARY"* ]]
    check "runs on $EXPECT_SDL_LIBRARY" $? "loaded '$loaded_sdl'"
fi
xdotool key Escape
wait_exit 10
status=$?
check "Escape ends the program with status 0" $status "status $status"

# Fly forward holding Up, take a screenshot with Space, quit with Escape.
rm -rf "$work/run"
start_program
before=$(settled_screen)
xdotool keydown Up
# The program has flown once its picture changes. Waiting for that, not for
# a fixed time, keeps a busy machine from delivering Up and Space together.
for _ in $(seq 200); do [ "$(screen_sum)" != "$before" ] && break; sleep 0.05; done
sleep 0.5
xdotool key space
sleep 0.5
xdotool keyup Up
sleep 0.3
xdotool key Escape
wait_exit 10
status=$?
check "after flying and a screenshot Escape exits 0" $status "status $status"
shot="$work/run/lnd000.bmp"
[ -f "$shot" ] && [ ! -e "$work/run/lnd001.bmp" ]
check "Space saved exactly one screenshot, lnd000.bmp" $? "$(ls "$work/run")"
result=$("$render_frame" --match "$shot" --max 3000 2>&1)
check "the screenshot is the high detail frame of the flight" $? "$result"
echo "  ($result)"
[[ "$result" =~ ^"high detail frame after "[1-9][0-9]*" forward steps"$ ]]
check "the camera flew before the screenshot" $? "$result"

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
