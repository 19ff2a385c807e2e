#!/bin/bash
# The built program as a user runs it:
#   end_to_end.sh PROGRAM REFUSE_VIDEO_MODE_LIB RENDER_FRAME
# LD_LIBRARY_PATH may choose another SDL 1.2 library (sdl12-compat), whose
# path must then contain EXPECT_SDL_LIBRARY.
set -u
program=$(realpath "$1") refuse=$(realpath "$2") render_frame=$(realpath "$3")
. "$(dirname "$0")/xvfb.sh"

export SDL_AUDIODRIVER=dummy

# The program refuses to start with the status and one line matching PATTERN.
refused() {   # refused NAME STATUS PATTERN ENV-ARGUMENTS...
    local name=$1 want=$2 pattern=$3 status err
    shift 3
    timeout 60 env "$@" "$program" >"$work/out" 2>"$work/err" </dev/null
    status=$?
    err=$(cat "$work/err")
    [ $status = "$want" ] && [[ "$err" == $pattern ]] && [ "$(wc -l <"$work/err")" = 1 ]
    check "$name" $? "status $status, stderr '$err'"
}
refused "SDL start-up failure exits 1 with its line" 1 "Couldn't initialize SDL: ?*" SDL_VIDEODRIVER=no-such-driver
refused "refused video mode exits 2 with its line" 2 \
    "Couldn't set 320x240x8 video mode: No video mode large enough for *" \
    SDL_VIDEODRIVER=dummy LD_PRELOAD="$refuse"
# No display and no driver asked for: sdl12-compat's SDL 2 falls back to its
# "offscreen" driver, which shows nothing (classic SDL would draw in this
# terminal). XDG_RUNTIME_DIR keeps SDL's Wayland probe quiet.
if [[ "${EXPECT_SDL_LIBRARY:-}" == *sdl12-compat* ]]; then
    refused "with no display the offscreen driver is refused with status 1 and its line" 1 \
        "Couldn't initialize SDL: no display (SDL's \"offscreen\" video driver shows nothing)" \
        -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER XDG_RUNTIME_DIR="$work"
fi

start_xvfb
unset SDL_VIDEODRIVER
screen_sum() { md5sum <"$work/Xvfb_screen0"; }

# In a window: fly forward holding Up, take a screenshot with Space, quit.
mkdir -p "$work/run"
(cd "$work/run" && exec "$program") >"$work/run.out" 2>"$work/run.err" &
program_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name "^Landscape$" 2>"$work/xdotool.err" | head -n 1)
loaded_sdl=$(grep -o '/[^ ]*libSDL-1\.2[^ ]*' "/proc/$program_pid/maps" | head -n 1)
[ -n "$window" ]
check "the window opens" $? "no window named Landscape"
[[ "$loaded_sdl" == *"${EXPECT_SDL_LIBRARY:-libSDL}"* ]]
check "runs on ${EXPECT_SDL_LIBRARY:-SDL 1.2}" $? "loaded '$loaded_sdl'"
# No window manager runs here: the keyboard follows the pointer.
xdotool mousemove --window "$window" 160 120
xdotool windowfocus --sync "$window" 2>/dev/null
# The start-up frame, once the picture has stopped changing.
before=$(screen_sum)
for _ in $(seq 50); do sleep 0.2; now=$(screen_sum); [ "$now" = "$before" ] && break; before=$now; done
xdotool keydown Up
# Waiting for the picture to change, not for a fixed time, keeps a busy
# machine from delivering Up and Space together.
for _ in $(seq 200); do [ "$(screen_sum)" != "$before" ] && break; sleep 0.05; done
sleep 0.5
xdotool key space
sleep 0.5
xdotool keyup Up
sleep 0.3
xdotool key Escape
timeout 10 tail --pid="$program_pid" -f /dev/null || kill "$program_pid"
wait "$program_pid"
status=$?
[ $status = 0 ] && [ ! -s "$work/run.err" ]
check "Escape ends the program with status 0, having printed nothing" $? "status $status"
shot="$work/run/lnd000.bmp"
[ -f "$shot" ] && [ ! -e "$work/run/lnd001.bmp" ]
check "Space saved exactly one screenshot, lnd000.bmp" $? "$(ls "$work/run")"
result=$("$render_frame" --match "$shot" --max 3000 2>&1)
[[ "$result" =~ ^"high detail frame after "[1-9][0-9]*" forward steps"$ ]]
check "the screenshot is a high detail frame of the flight, after flying" $? "$result"

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
