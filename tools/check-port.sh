#!/bin/bash
# Checks the PortMaster port that tools/make-port.sh builds (docs/HANDHELD.md
# lists the checks):
#   tools/check-port.sh [BUILD_DIR]      (default build-port; JOBS=2, PORTER
#                                         and SOURCE_URL as for make-port.sh)
set -u
cd "$(dirname "$0")/.."
build=${1:-build-port}
case $build in /*) ;; *) build="$PWD/$build" ;; esac
start=$(date +%s)
fail() { echo "check-port: FAILED: $*" >&2; exit 1; }

JOBS=${JOBS:-2} tools/make-port.sh "$build" || fail "make-port failed"
for root in bookworm bullseye; do tools/port-sysroot.sh "$build" "$root" >/dev/null || fail "no $root root"; done
cmake --build "$build/host" -j"${JOBS:-2}" --target landscape >"$build/host-program.log" 2>&1 ||
    fail "the x86 build failed (log: $build/host-program.log)"
render_frame="$build/host/tools/render_frame"
. tests/xvfb.sh
export SDL_AUDIODRIVER=dummy XDG_RUNTIME_DIR="$work"

# The pull request's folder and the zip, checked against PortMaster's rules
# (tools/check-port-files.py); then the zip, unpacked into a ports folder as
# a device holds it.
while IFS=$'\t' read -r name status detail; do
    check "$name" "$status" "$detail"
done < <(python3 tools/check-port-files.py "$build/ports/landscape" "$build/landscape.zip" "${PORTER:-landscape}" \
             "${SOURCE_URL:-https://github.com/landscapeflyover/landscape}" "$(tools/version.sh)" \
             "$(tools/version.sh date)" || echo $'check-port-files.py ran to its end\t1\tcheck-port-files.py failed')
ports="$work/sd card/roms/ports" game="$work/sd card/roms/ports/landscape"
mkdir -p "$ports" && unzip -q "$build/landscape.zip" -d "$ports" || fail "the zip does not unpack"
grep -q '^License: Zlib' "$game/licenses/LICENSE.sdl12-compat.txt" &&
    grep -q 'GCC RUNTIME LIBRARY EXCEPTION' "$game/licenses/LICENSE.libstdc++-libgcc.txt" &&
    grep -q 'GNU GENERAL PUBLIC LICENSE' "$game/licenses/LICENSE.gptokeyb.txt" &&
    cmp -s LICENSE "$game/licenses/LICENSE.landscape.txt"
check "licenses: the program's own (MIT), sdl12-compat's, the GCC runtime's and gptokeyb's" $? "$(ls "$game/licenses")"
elves=()
while IFS= read -r -d '' file; do
    [ "$(head -c 4 "$file")" = $'\x7fELF' ] && elves+=("$file")
done < <(find "$ports" -type f -print0)
glibc=$(tools/check-glibc.sh 2.30 "${elves[@]}" 2>&1) && [ ${#elves[@]} = 2 ]
check "neither ELF file (the program, sdl12-compat) needs more than GLIBC_2.30" $? "${#elves[@]} files: $glibc"
shot=$("$render_frame" --match "$game/screenshot.png" --max 0 2>&1)
[ "$(file -b "$game/screenshot.png" | cut -d, -f2)" = " 640 x 480" ] &&
    [ "$shot" = "high detail frame after 0 forward steps"$'\n'"scale 2x" ]
check "screenshot.png is the start-up frame at 2x, 640 x 480" $? "$(file -b "$game/screenshot.png"): $shot"
cover=$("$render_frame" --match "$game/cover.png" --fly 120 forward --fly 45 left --max 0 2>&1)
[ "$(file -b "$game/cover.png" | cut -d, -f2)" = " 640 x 480" ] &&
    [ "$cover" = "high detail frame after 0 forward steps"$'\n'"scale 2x" ] &&
    ! "$render_frame" --match "$game/cover.png" --max 0 >/dev/null 2>&1
check "cover.png is another view (120 steps forward, 45 left) at 2x, not the screenshot's" $? "$cover"

# Starts an X screen of the size given (WIDTHxHEIGHT), replacing the last.
screen() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" && wait "$xvfb_pid" 2>/dev/null
    rm -f "$work/Xvfb_screen0"
    start_xvfb "$1"
}
# Waits (at most 90 s) for render_frame to find the start-up frame in PICTURE.
startup_frame() {   # startup_frame PICTURE [--region X,Y,W,H]
    for _ in $(seq 450); do
        result=$("$render_frame" --match "$@" --max 0 2>&1) && return 0
        sleep 0.2
    done
    return 1
}
# Runs a program in DIR, waits for the start-up frame on the whole screen
# (WHERE: screen) or in the program's window (window), presses Space and
# then Escape; leaves the screenshot in DIR/lnd000.bmp, the status in $status.
fly() {   # fly DIR WHERE PROGRAM...
    local dir=$1 where=$2 region=()
    shift 2
    rm -f "$dir/lnd000.bmp"
    (cd "$dir" && exec "$@") >"$work/run.out" 2>"$work/run.err" &
    pid=$!
    if [ "$where" = window ]; then
        eval "$(timeout 60 xdotool search --sync --onlyvisible --name '^Landscape$' getwindowgeometry --shell)"
        region=(--region "$X,$Y,$WIDTH,$HEIGHT")
    fi
    startup_frame "$work/Xvfb_screen0" "${region[@]}"
    shown=$result
    maps=$(cat "/proc/$pid/maps" 2>/dev/null)
    xdotool mousemove 100 100 key space
    startup_frame "$dir/lnd000.bmp"
    saved=$result
    xdotool key Escape
    timeout 30 tail --pid="$pid" -f /dev/null || kill "$pid"
    wait "$pid" 2>/dev/null
    status=$?
}

# The x86 build on Debian 12's sdl12-compat, whose screenshot is the reference.
mkdir -p "$work/x86"
screen 640x480
fly "$work/x86" window env LD_LIBRARY_PATH=/usr/lib/x86_64-linux-gnu/sdl12-compat "$build/host/landscape"
[[ "$shown" == "high detail frame after 0 forward steps"* ]] && [ "$status" = 0 ] && [ -f "$work/x86/lnd000.bmp" ]
check "the x86 build shows the start-up frame and saves its screenshot" $? "$shown; status $status, $saved"

qemu=(qemu-aarch64 -E "LD_LIBRARY_PATH=$game/libs.aarch64")
for case in 480x320:1 640x480:2 720x720:2 1280x720:3; do
    size=${case%:*} scale=${case#*:}
    screen "$size"
    fly "$game" screen "${qemu[@]}" -L "$build/bookworm" ./landscape.aarch64
    [ "$shown" = "high detail frame after 0 forward steps"$'\n'"scale ${scale}x" ]
    check "$size: the screen shows the start-up frame at ${scale}x, centred on black" $? "$shown"
    [[ "$maps" == *"$game/libs.aarch64/libSDL-1.2.so.0"* && "$maps" == *"$build/bookworm/usr/lib/aarch64-linux-gnu/libSDL2-2.0.so.0"* ]]
    check "$size: the bundled sdl12-compat runs over Debian 12's SDL 2" $? "$(echo "$maps" | grep -o '/[^ ]*libSDL[^ ]*' | sort -u)"
    cmp -s "$game/lnd000.bmp" "$work/x86/lnd000.bmp"
    check "$size: Space saved the x86 build's screenshot, byte for byte" $? "$saved"
    [ "$status" = 0 ] && [ ! -s "$work/run.err" ]
    check "$size: Escape ends it with status 0, having printed nothing" $? "status $status"
done

# SDL 2.0.14 crashes in its quit: the shell's report of that signal is not ours.
screen 640x480
{ fly "$game" screen "${qemu[@]}" -L "$build/bullseye" ./landscape.aarch64; } 2>/dev/null
[[ "$shown" == "high detail frame after 0 forward steps"* && "$maps" == *"$build/bullseye/usr/lib/aarch64-linux-gnu/libc-2.31.so"* ]] &&
    cmp -s "$game/lnd000.bmp" "$work/x86/lnd000.bmp"
check "over Debian 11's glibc 2.31 and SDL 2.0.14 it shows the frame and saves the screenshot" $? "$shown; $saved"
rm -f "$game/lnd000.bmp"

# The launcher, against a stand-in PortMaster whose control.txt provides what
# PortMaster's does, each part recording how it was used; the program and
# gptokeyb are stand-ins too, the program ending with status $STATUS.
bash -n "$ports/Landscape.sh"
check "the launcher parses (bash -n)" $? "syntax error"
control="$work/xdg/PortMaster"
mkdir -p "$control"
cat >"$control/control.txt" <<'EOF'
export directory="${ROMS_ROOT#/}" controlfolder="$XDG_DATA_HOME/PortMaster"
export ESUDO="" ESUDOKILL="-1" DEVICE_ARCH=aarch64 CFW_NAME=Stand-in ANALOGSTICKS=2
export GPTOKEYB="$ESUDO $controlfolder/gptokeyb $ESUDOKILL"
get_controls() { sdl_controllerconfig="stand-in mapping"; echo "get_controls" >>"$CALLS"; }
pm_platform_helper() { echo "pm_platform_helper $1" >>"$CALLS"; }
pm_message() { echo "pm_message $1" >>"$CALLS"; }
pm_finish() { echo "pm_finish" >>"$CALLS"; }
EOF
printf '#!/bin/sh\necho "gptokeyb $PWD $*" >"$CALLS.gptokeyb"\n' >"$control/gptokeyb"
mv "$game/landscape.aarch64" "$work/landscape.aarch64"
printf '#!/bin/sh\necho "program $PWD [$LD_LIBRARY_PATH] [$SDL_GAMECONTROLLERCONFIG] $#" >>"$CALLS"\nexit $STATUS\n' \
    >"$game/landscape.aarch64"
chmod +x "$control/gptokeyb" "$game/landscape.aarch64"
launch() {   # launch STATUS: the launcher's calls in $calls, its status in $status
    rm -f "$work/calls" "$work/calls.gptokeyb"
    env -u LD_LIBRARY_PATH -u SDL_GAMECONTROLLERCONFIG CALLS="$work/calls" STATUS="$1" XDG_DATA_HOME="$work/xdg" \
        ROMS_ROOT="$work/sd card/roms" HOME="$work" timeout 60 bash "$ports/Landscape.sh" >"$work/run.out" 2>"$work/run.err"
    status=$?
    for _ in $(seq 100); do [ -s "$work/calls.gptokeyb" ] && break; sleep 0.1; done
    calls=$(cat "$work/calls" "$work/calls.gptokeyb" 2>&1)
}
started="get_controls
pm_platform_helper $game/landscape.aarch64
program $game [$game/libs.aarch64:] [stand-in mapping] 0"
gptokeyb="gptokeyb $game -1 landscape.aarch64 -c ./landscape.gptk"
launch 0
[ $status = 0 ] && [ "$calls" = "$started"$'\n'"pm_finish"$'\n'"$gptokeyb" ]
check "the launcher cds into the port, sets the library path and the pad's mapping, starts gptokeyb and the program" \
    $? "$calls"
[ -f "$game/log.txt" ]
check "the launcher logs into the port's folder" $? "no log.txt"
launch 2
[ "$calls" = "$started"$'\n'"pm_message Landscape could not start (status 2): see ports/landscape/log.txt"$'\n'"pm_finish"$'\n'"$gptokeyb" ]
check "when the program cannot start, the launcher tells the player through pm_message" $? "$calls"
launch 143
[[ "$calls" == *pm_finish* && "$calls" != *pm_message* ]]
check "ended by gptokeyb's kill (SIGTERM), the launcher shows nothing" $? "$calls"
mv "$work/landscape.aarch64" "$game/landscape.aarch64"

echo "check-port: $(($(date +%s) - start)) s"
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
