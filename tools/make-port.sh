#!/bin/sh
# Builds the PortMaster port for aarch64 Linux handhelds (docs/HANDHELD.md):
#   tools/make-port.sh [BUILD_DIR]       (default build-port; JOBS=2)
# -> BUILD_DIR/landscape.zip, laid out as PortMaster installs it:
#   Landscape.sh                     the launcher, from port/
#   landscape/landscape.aarch64      the program, built by cmake/aarch64-handheld.cmake
#   landscape/libs.aarch64/libSDL-1.2.so.0   sdl12-compat, made to load on glibc 2.30
#   landscape/landscape.gptk         gptokeyb's mapping of the pad to keys
#   landscape/port.json, README.md, gameinfo.xml   from port/
#   landscape/screenshot.png         the start-up frame at 2x (640 x 480)
#   landscape/licenses/              sdl12-compat's, the GCC runtime's, gptokeyb's
# Every ELF file in it must need nothing newer than GLIBC_2.30
# (tools/check-glibc.sh); the zip is not written otherwise.
set -eu

cd "$(dirname "$0")/.."
build=${1:-build-port}
case $build in /*) ;; *) build="$PWD/$build" ;; esac
jobs=${JOBS:-2}
glibc_limit=2.30
start=$(date +%s)

fail() {
    echo "make-port: FAILED: $*" >&2
    exit 1
}

tools/port-sysroot.sh "$build" build >/dev/null || fail "no build sysroot"
sysroot="$build/build"

# The program for aarch64, and on the build machine the renderer that
# draws the screenshot.
cmake -S . -B "$build/program" -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-handheld.cmake \
      -DHANDHELD_SYSROOT="$sysroot" -DCMAKE_BUILD_TYPE=Release >"$build/program.log" 2>&1 &&
    cmake --build "$build/program" -j"$jobs" --target landscape >>"$build/program.log" 2>&1 ||
    { tail -n 20 "$build/program.log" >&2; fail "the aarch64 build failed (log: $build/program.log)"; }
cmake -S . -B "$build/host" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLANDSCAPE_CORE_ONLY=OFF \
      -DLANDSCAPE_TESTS=OFF -DLANDSCAPE_BENCH=OFF -DLANDSCAPE_TOOLS=ON >"$build/host.log" 2>&1 &&
    cmake --build "$build/host" -j"$jobs" --target render_frame >>"$build/host.log" 2>&1 ||
    { tail -n 20 "$build/host.log" >&2; fail "the host build of render_frame failed (log: $build/host.log)"; }

stage="$build/zip"
port="$stage/landscape"
rm -rf "$stage"
mkdir -p "$port/libs.aarch64" "$port/licenses"
install -m 755 port/Landscape.sh "$stage/Landscape.sh"
aarch64-linux-gnu-strip -o "$port/landscape.aarch64" "$build/program/landscape"
chmod 755 "$port/landscape.aarch64"
cp -L "$sysroot/usr/lib/aarch64-linux-gnu/sdl12-compat/libSDL-1.2.so.0" "$port/libs.aarch64/libSDL-1.2.so.0"
cp port/landscape.gptk port/port.json port/README.md port/gameinfo.xml "$port/"
"$build/host/tools/render_frame" --png "$port/screenshot.png" --scale 2 ||
    fail "render_frame could not draw the 2x screenshot"

cp "$sysroot/usr/share/doc/libsdl1.2-compat/copyright" "$port/licenses/LICENSE.sdl12-compat.txt"
cp /usr/share/doc/libstdc++6-arm64-cross/copyright "$port/licenses/LICENSE.libstdc++-libgcc.txt"
{
    echo "gptokeyb (PortMaster's gamepad-to-keyboard tool, which this port's launcher"
    echo "starts with landscape.gptk) is free software under the GNU General Public"
    echo "License, version 2; its source is at github.com/PortsMaster/gptokeyb."
    echo
    cat /usr/share/common-licenses/GPL-2
} >"$port/licenses/LICENSE.gptokeyb.txt"

# Every ELF file, found by its magic number, not by its name.
newline='
'
summary=
IFS=$newline
for file in $(find "$stage" -type f | LC_ALL=C sort); do
    [ "$(head -c 4 "$file" | od -An -c | tr -d ' ')" = '177ELF' ] || continue
    result=$(tools/check-glibc.sh "$glibc_limit" "$file" 2>&1) || fail "${result#check-glibc: FAILED: }"
    summary="$summary ${result#"$stage/"};"
done
unset IFS
[ -n "$summary" ] || fail "no ELF files in $stage"

# Fixed times (the last commit's) and order: the same files give the same zip.
stamp=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 946684800)}
find "$stage" -exec touch -h -d "@$stamp" {} +
rm -f "$build/landscape.zip"
(cd "$stage" && find Landscape.sh landscape | LC_ALL=C sort | zip -X -q -9 -@ "$build/landscape.zip") ||
    fail "zip failed"
echo "make-port: OK: $build/landscape.zip, $(wc -c <"$build/landscape.zip") bytes;$summary $(($(date +%s) - start)) s"
