#!/bin/bash
# Two builds of the program (x86, and ARM under qemu), each with its own
# build of tests/scripted_events.c, fly one scripted flight against one Xvfb
# and must save the same screenshots, byte for byte: the start-up view, after
# flying forward, after turning, and while flying forward and turning.
#   same_screenshots.sh PROGRAM SCRIPTED_EVENTS_LIB OTHER_PROGRAM OTHER_SCRIPTED_EVENTS_LIB
set -u
. "$(dirname "$0")/xvfb.sh"

# SDLKey numbers. Up held for 3050 steps forward, Left for 200 turns, keypad
# 9 (forward and right) for 500 passes, the last screenshot while it is held.
up=273 left=276 kp9=265 space=32 escape=27
export SCRIPTED_EVENTS="1+$space 2+$up 3052-$up 3053+$space 3054+$left 3254-$left 3255+$space
                        3256+$kp9 3756+$space 3757-$kp9 3758+$escape"
export SDL_AUDIODRIVER=dummy
shots="lnd000.bmp lnd001.bmp lnd002.bmp lnd003.bmp"

start_xvfb

for run in 1 2; do
    program=$(realpath "$1") preload=$(preloadable "$2")
    shift 2
    mkdir "$work/$run"
    (cd "$work/$run" && LD_PRELOAD="$preload" exec timeout 900 "$program") >"$work/$run.log" 2>&1
    status=$?
    check "$program flew the script and quit with status 0" $status "status $status: $(cat "$work/$run.log")"
    [ "$(cd "$work/$run" && echo *)" = "$shots" ]
    check "it saved the four screenshots" $? "$(cd "$work/$run" && echo *)"
done

[ "$(cd "$work/1" && md5sum $shots 2>/dev/null | cut -d' ' -f1 | sort -u | wc -l)" = 4 ]
check "the four views differ" $? "$(cd "$work/1" && md5sum $shots 2>&1)"
for shot in $shots; do
    cmp "$work/1/$shot" "$work/2/$shot"
    check "$shot is the same from both builds" $? "they differ"
done
[ "$failed" = 0 ]
