#!/bin/bash
# The built program as a user runs it:
#   end_to_end.sh PROGRAM PRELOAD_DIR RENDER_FRAME
# PRELOAD_DIR holds the libraries tests/CMakeLists.txt builds to preload.
# LD_LIBRARY_PATH may choose another SDL 1.2 library (sdl12-compat), whose
# path must then contain EXPECT_SDL_LIBRARY.
set -u
program=$(realpath "$1") render_frame=$(realpath "$3")
. "$(dirname "$0")/xvfb.sh"
refuse=$(preloadable "$2/librefuse_video_mode.so") menu=$(preloadable "$2/libmenu_stand_in.so")

# SDL_AUDIODRIVER stays unset: the program starts SDL's silent audio driver
# itself, so the runs below that must print nothing also show that no sound
# library complained (on a machine without sound, ALSA would, eight lines).
unset SDL_AUDIODRIVER
# Any hand-over to the console's menu, as the stand-in saw it: only the
# GP2X has one to hand back to, so this build never tries.
menu_log="$work/menu.log"
export MENU_LOG="$menu_log"

# The program refuses to start with the status and one line matching
# PATTERN, and does not hand over to any menu.
refused() {   # refused NAME STATUS PATTERN ENV-ARGUMENTS...
    local name=$1 want=$2 pattern=$3 status err menu_calls
    shift 3
    rm -f "$menu_log"
    timeout 60 env "$@" "$program" >"$work/out" 2>"$work/err" </dev/null
    status=$?
    err=$(cat "$work/err") menu_calls=$(cat "$menu_log" 2>/dev/null)
    [ $status = "$want" ] && [[ "$err" == $pattern ]] && [ "$(wc -l <"$work/err")" = 1 ] &&
        [ -z "$menu_calls" ]
    check "$name" $? "status $status, stderr '$err', menu '$menu_calls'"
}
refused "SDL start-up failure exits 1 with its line, before the exit handler exists" 1 \
    "Couldn't initialize SDL: ?*" SDL_VIDEODRIVER=no-such-driver LD_PRELOAD="$menu"
refused "refused video mode exits 2 with its line" 2 \
    "Couldn't set 320x240x8 video mode: No video mode large enough for *" \
    SDL_VIDEODRIVER=dummy DISPLAY=:99 LD_PRELOAD="$refuse $menu"
# A display that cannot be opened (a typo, an expired ssh -X): classic SDL
# would draw in this terminal, sdl12-compat would show nothing. The display
# is named; a driver SDL_VIDEODRIVER asks for is still taken (above).
# XDG_RUNTIME_DIR keeps SDL 2's Wayland probe quiet.
absent=99
while [ -e "/tmp/.X11-unix/X$absent" ]; do absent=$((absent + 1)); done
refused "a display that cannot be opened is named, with status 1" 1 \
    "Couldn't initialize SDL: couldn't open display \":$absent\" (SDL started its \"*\" video driver)" \
    -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY=:$absent XDG_RUNTIME_DIR="$work"
# No display and no driver asked for: sdl12-compat's SDL 2 falls back to its
# "offscreen" driver, which shows nothing (classic SDL would draw in this
# terminal). An empty DISPLAY or WAYLAND_DISPLAY names no display.
# XDG_RUNTIME_DIR keeps SDL's Wayland probe quiet.
if [[ "${EXPECT_SDL_LIBRARY:-}" == *sdl12-compat* ]]; then
    refused "with no display the offscreen driver is refused with status 1 and its line" 1 \
        "Couldn't initialize SDL: no display (SDL's \"offscreen\" video driver shows nothing)" \
        -u SDL_VIDEODRIVER DISPLAY= WAYLAND_DISPLAY= XDG_RUNTIME_DIR="$work"
    # SDL 2 refuses an audio driver it does not have: the one asked for is used.
    refused "an audio driver SDL_AUDIODRIVER names is the one SDL starts" 1 \
        "Couldn't initialize SDL: Audio target 'no-such-driver' not available" \
        SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=no-such-driver
else
    timeout 3 env -u SDL_VIDEODRIVER DISPLAY= WAYLAND_DISPLAY= TERM=xterm "$program" </dev/null >/dev/null 2>&1
    status=$?
    [ $status = 124 ]
    check "with no display classic SDL still draws in the terminal" $? "status $status"
fi

# A 1920 x 1080 display: the window opens at 4x (the largest scale within
# 90 % of the display).
start_xvfb 1920x1080
unset SDL_VIDEODRIVER

# In a window: fly forward holding Up, taking a screenshot with Space on the
# way and another after it, resize the window, go fullscreen and back, quit. No window manager runs here, so
# none moves the window when it goes fullscreen: it opens at the corner.
mkdir -p "$work/run"
rm -f "$menu_log"
start_program "$work/run" SDL_VIDEO_WINDOW_POS=0,0 LD_PRELOAD="$menu" "$program"
# The path ends the line of the maps and may hold spaces.
loaded_sdl=$(awk '/libSDL-1\.2/ { sub(/^([^ ]+ +){5}/, ""); print; exit }' "/proc/$program_pid/maps")
[ -n "$window" ]
check "the window opens" $? "no window named Landscape"
[[ "$loaded_sdl" == *"${EXPECT_SDL_LIBRARY:-libSDL}"* ]]
check "runs on ${EXPECT_SDL_LIBRARY:-SDL 1.2}" $? "loaded '$loaded_sdl'"
settle window
[ "$shown" = "high detail frame after 0 forward steps scale 4x " ] && [ "$WIDTH" = 1280 ] && [ "$HEIGHT" = 960 ]
check "the window shows the start-up frame at 4x, every pixel exact" $? "$shown in ${WIDTH}x$HEIGHT"
before=$(screen_sum)
xdotool keydown Up
# Waiting for the picture to change, not for a fixed time, keeps a busy
# machine from delivering Up and Space together.
for _ in $(seq 200); do [ "$(screen_sum)" != "$before" ] && break; sleep 0.05; done
sleep 0.5
xdotool key space
sleep 0.5
xdotool keyup Up
settle window
flown=$shown
[[ "$flown" =~ ^"high detail frame after "[1-9][0-9]*" forward steps scale 4x "$ ]]
check "after flying the window shows a full-detail frame of the flight at 4x" $? "$flown"
xdotool key space
sleep 0.5
title=$(xdotool getwindowname "$window")
[ "$title" = "Landscape: saved lnd001.bmp" ]
check "the window's title names the screenshot just saved" $? "'$title'"
# Resized, fullscreen (F11) and back (Alt+Enter): the same frame, centred at
# the largest whole scale, black around it; the camera does not move.
xdotool windowsize "$window" 1000 700
settle window
[ "$shown" = "${flown/4x/2x}" ] && [ "$WIDTH$HEIGHT" = 1000700 ]
check "resized to 1000x700 it shows that frame at 2x" $? "$shown in ${WIDTH}x$HEIGHT"
xdotool key F11
settle
[ "$shown" = "$flown" ]
check "F11: fullscreen, that frame at 4x on the whole display" $? "$shown"
xdotool key alt+Return
settle window
[ "$shown" = "${flown/4x/2x}" ] && [ "$WIDTH$HEIGHT" = 1000700 ]
check "Alt+Enter: back in the 1000x700 window" $? "$shown in ${WIDTH}x$HEIGHT"
quit_program
[ $status = 0 ] && [ ! -s "$work/run.err" ] && [ ! -s "$menu_log" ]
check "Escape ends the program with status 0, having printed nothing and handed over to no menu" $? \
    "status $status, menu '$(cat "$menu_log" 2>/dev/null)'"
[ "$(cd "$work/run" && echo *)" = "lnd000.bmp lnd001.bmp" ]
check "Space saved two screenshots, lnd000.bmp and lnd001.bmp, and nothing else did" $? "$(ls "$work/run")"
result=$("$render_frame" --match "$work/run/lnd000.bmp" --max 3000 2>&1)
[[ "$result" =~ ^"high detail frame after "[1-9][0-9]*" forward steps"$ ]]
check "the screenshot taken while flying is a full-detail frame of the flight" $? "$result"
result=$("$render_frame" --match "$work/run/lnd001.bmp" --max 3000 2>&1)
[ "$result scale 4x " = "$flown" ]
check "the one taken after it is the frame the window showed" $? "$result against $flown"

# In a folder that cannot be written (a read-only mount in a namespace of
# its own): a screenshot says so, once, and the program carries on.
mkdir "$work/read-only"
if unshare -rm true 2>/dev/null; then
    start_program "$work/read-only" unshare -rm sh -c 'mount --bind -o ro . . && cd "$PWD" && exec "$0"' "$program"
    xdotool key space
    sleep 0.5
    title=$(xdotool getwindowname "$window")
    quit_program
    [ $status = 0 ] && [ "$(cat "$work/run.err")" = "Couldn't save lnd000.bmp: Read-only file system" ] &&
        [ "$title" = "Landscape: couldn't save lnd000.bmp" ] && [ -z "$(ls "$work/read-only")" ]
    check "a screenshot into a read-only folder prints one line, names it in the title, and the program goes on" $? \
        "status $status, title '$title'"
else
    echo "skipped: a screenshot into a read-only folder (unshare -rm is not permitted here)"
fi

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
