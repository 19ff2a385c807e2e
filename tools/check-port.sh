#!/bin/bash
# Checks the PortMaster port that tools/make-port.sh builds (docs/HANDHELD.md
# lists the checks):
#   tools/check-port.sh [BUILD_DIR]      (default build-port; JOBS=2)
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

# The zip, unpacked into a ports folder as a device holds it.
ports="$work/sd card/roms/ports" game="$work/sd card/roms/ports/landscape"
mkdir -p "$ports" && unzip -q "$build/landscape.zip" -d "$ports" || fail "the zip does not unpack"
expected="Landscape.sh landscape/ landscape/README.md landscape/gameinfo.xml landscape/landscape.aarch64
landscape/landscape.gptk landscape/libs.aarch64/ landscape/libs.aarch64/libSDL-1.2.so.0 landscape/licenses/
landscape/licenses/LICENSE.gptokeyb.txt landscape/licenses/LICENSE.libstdc++-libgcc.txt
landscape/licenses/LICENSE.sdl12-compat.txt landscape/port.json landscape/screenshot.png"
listing=$(unzip -Z1 "$build/landscape.zip" | LC_ALL=C sort | tr '\n' ' ')
[ "$listing" = "$(echo $expected) " ] && [ -x "$ports/Landscape.sh" ] && [ -x "$game/landscape.aarch64" ]
check "the zip holds the launcher and the port's folder, the two programs executable" $? "$listing"
python3 - "$game" <<'EOF'
import json, sys, xml.etree.ElementTree as tree
game = sys.argv[1]
port = json.load(open(game + '/port.json'))
attr = port['attr']
assert port['version'] == 2 and port['name'] == 'landscape.zip', port
assert port['items'] == ['Landscape.sh', 'landscape'] and attr['arch'] == ['aarch64'], port
assert attr['title'] == 'Landscape' and attr['rtr'] is True and attr['runtime'] is None, attr
assert all(word in attr['inst'] for word in ('D-pad', 'SELECT', 'START')), attr['inst']
info = tree.parse(game + '/gameinfo.xml').getroot().find('game')
assert info.findtext('path') == './Landscape.sh' and info.findtext('name') == 'Landscape', info
assert info.findtext('image') == './landscape/screenshot.png' and 'flyover' in info.findtext('desc')
readme = open(game + '/README.md').read()
assert all(row in readme for row in ('| SELECT or A | screenshot', '| START | quit', 'sdl12-compat')), readme
EOF
check "port.json, gameinfo.xml and README.md describe the program and its controls" $? "see above"
gptk=$(grep -v '^#' "$game/landscape.gptk" | tr -s ' \n' ' ')
want="up = up down = down left = left right = right left_analog_up = up left_analog_down = down"
want="$want left_analog_left = left left_analog_right = right back = space a = space start = esc"
[[ "$gptk" == "$want "* ]] && ! grep -v '^#' "$game/landscape.gptk" | tail -n +12 | grep -qv '= \\"$'
check "the gptokeyb mapping sends the arrows, Space and Escape, and nothing else" $? "$gptk"
grep -q '^License: Zlib' "$game/licenses/LICENSE.sdl12-compat.txt" &&
    grep -q 'GCC RUNTIME LIBRARY EXCEPTION' "$game/licenses/LICENSE.libstdc++-libgcc.txt" &&
    grep -q 'GNU GENERAL PUBLIC LICENSE' "$game/licenses/LICENSE.gptokeyb.txt"
check "licenses: sdl12-compat's, the GCC runtime's and gptokeyb's" $? "$(ls "$game/licenses")"
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
for case in 640x480:2 720x720:2 1280x720:3; do
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
# gptokeyb are stand-ins too.
bash -n "$ports/Landscape.sh"
check "the launcher parses (bash -n)" $? "syntax error"
control="$work/xdg/PortMaster"
mkdir -p "$control"
cat >"$control/control.txt" <<'EOF'
export directory="${ROMS_ROOT#/}" controlfolder="$XDG_DATA_HOME/PortMaster"
export ESUDO="" ESUDOKILL="-1" DEVICE_ARCH=aarch64 CFW_NAME=Stand-in ANALOGSTICKS=2
export GPTOKEYB="$ESUDO $controlfolder/gptokeyb $ESUDOKILL"
get_controls() { sdl_controllerconfig="stand-in"; echo "get_controls" >>"$CALLS"; }
pm_platform_helper() { echo "pm_platform_helper $1" >>"$CALLS"; }
pm_finish() { echo "pm_finish" >>"$CALLS"; }
EOF
printf '#!/bin/sh\necho "gptokeyb $PWD $*" >"$CALLS.gptokeyb"\n' >"$control/gptokeyb"
mv "$game/landscape.aarch64" "$work/landscape.aarch64"
printf '#!/bin/sh\necho "program $PWD [$LD_LIBRARY_PATH] $#" >>"$CALLS"\n' >"$game/landscape.aarch64"
chmod +x "$control/gptokeyb" "$game/landscape.aarch64"
env -u LD_LIBRARY_PATH CALLS="$work/calls" XDG_DATA_HOME="$work/xdg" ROMS_ROOT="$work/sd card/roms" HOME="$work" \
    timeout 60 bash "$ports/Landscape.sh" >"$work/run.out" 2>"$work/run.err"
status=$?
for _ in $(seq 100); do [ -s "$work/calls.gptokeyb" ] && break; sleep 0.1; done
calls=$(cat "$work/calls" "$work/calls.gptokeyb" 2>&1)
[ $status = 0 ] && [ "$calls" = "get_controls
pm_platform_helper $game/landscape.aarch64
program $game [$game/libs.aarch64:] 0
pm_finish
gptokeyb $game -1 landscape.aarch64 -c ./landscape.gptk" ]
check "the launcher cds into the port, sets the library path, starts gptokeyb and the program" $? "$calls"
[ -f "$game/log.txt" ]
check "the launcher logs into the port's folder" $? "no log.txt"
mv "$work/landscape.aarch64" "$game/landscape.aarch64"

echo "check-port: $(($(date +%s) - start)) s"
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
