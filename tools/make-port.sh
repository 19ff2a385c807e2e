#!/bin/sh
# Builds the PortMaster port for aarch64 Linux handhelds (docs/HANDHELD.md):
#   tools/make-port.sh [BUILD_DIR]       (default build-port; JOBS=2,
#                                         PORTER, SOURCE_URL)
# -> BUILD_DIR/ports/landscape/, the folder a pull request to PortMaster-New
#    adds, from port/:
#   Landscape.sh                     the launcher
#   port.json                        PORTER its porter (default: landscape)
#   README.md                        with the version, its date and SOURCE_URL
#   gameinfo.xml                     with the release date
#   screenshot.png                   the start-up frame at 2x (640 x 480)
#   cover.png                        another view (forward, then left), 2x
#   landscape/landscape.aarch64      the program, built by cmake/aarch64-handheld.cmake
#   landscape/libs.aarch64/libSDL-1.2.so.0   sdl12-compat, made to load on glibc 2.30
#   landscape/landscape.gptk         gptokeyb's mapping of the pad to keys
#   landscape/licenses/              the program's, sdl12-compat's, the GCC runtime's, gptokeyb's
# -> BUILD_DIR/landscape.zip, that folder as PortMaster's release script
#    zips it: the launcher at the top, everything else in landscape/ (the
#    README as landscape/landscape.md), files only, by lower-cased name.
# Every ELF file in it must need nothing newer than GLIBC_2.30
# (tools/check-glibc.sh); the zip is not written otherwise.
set -eu

cd "$(dirname "$0")/.."
build=${1:-build-port}
case $build in /*) ;; *) build="$PWD/$build" ;; esac
jobs=${JOBS:-2}
glibc_limit=2.30
porter=${PORTER:-landscape}
source_url=${SOURCE_URL:-https://github.com/landscapeflyover/landscape}
version=$(tools/version.sh version)
release_date=$(tools/version.sh date)
start=$(date +%s)

fail() {
    echo "make-port: FAILED: $*" >&2
    exit 1
}

tools/port-sysroot.sh "$build" build >/dev/null || fail "no build sysroot"
sysroot="$build/build"

# The program for aarch64, and on the build machine the renderer that
# draws the screenshot and the cover.
cmake -S . -B "$build/program" -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-handheld.cmake \
      -DHANDHELD_SYSROOT="$sysroot" -DCMAKE_BUILD_TYPE=Release >"$build/program.log" 2>&1 &&
    cmake --build "$build/program" -j"$jobs" --target landscape >>"$build/program.log" 2>&1 ||
    { tail -n 20 "$build/program.log" >&2; fail "the aarch64 build failed (log: $build/program.log)"; }
cmake -S . -B "$build/host" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLANDSCAPE_CORE_ONLY=OFF \
      -DLANDSCAPE_TESTS=OFF -DLANDSCAPE_BENCH=OFF -DLANDSCAPE_TOOLS=ON >"$build/host.log" 2>&1 &&
    cmake --build "$build/host" -j"$jobs" --target render_frame >>"$build/host.log" 2>&1 ||
    { tail -n 20 "$build/host.log" >&2; fail "the host build of render_frame failed (log: $build/host.log)"; }

tree="$build/ports/landscape"
port="$tree/landscape"
rm -rf "$build/ports"
mkdir -p "$port/libs.aarch64" "$port/licenses"
install -m 755 port/Landscape.sh "$tree/Landscape.sh"
aarch64-linux-gnu-strip -o "$port/landscape.aarch64" "$build/program/landscape"
chmod 755 "$port/landscape.aarch64"
cp -L "$sysroot/usr/lib/aarch64-linux-gnu/sdl12-compat/libSDL-1.2.so.0" "$port/libs.aarch64/libSDL-1.2.so.0"
cp port/landscape.gptk "$port/"

# port.json as PortMaster's generator writes it (two-space indent), with the
# porter and the oldest C library the port was made for.
python3 -c '
import json, sys
port = json.load(open(sys.argv[1]))
port["attr"]["porter"] = [sys.argv[3]]
port["attr"]["min_glibc"] = sys.argv[4]
open(sys.argv[2], "w").write(json.dumps(port, indent=2, ensure_ascii=False) + "\n")
' port/port.json "$tree/port.json" "$porter" "$glibc_limit" || fail "could not write port.json"
# A value as sed's replacement text: its special characters escaped.
literal() { printf '%s' "$1" | sed 's/[\\&|]/\\&/g'; }
sed -e "s|@VERSION@|$(literal "$version")|g" -e "s|@RELEASE_DATE@|$(literal "$release_date")|g" \
    -e "s|@SOURCE_URL@|$(literal "$source_url")|g" -e "s|@PORTER@|$(literal "$porter")|g" \
    port/README.md >"$tree/README.md"
sed "s|@RELEASEDATE@|$(echo "$release_date" | tr -d -)T000000|" port/gameinfo.xml >"$tree/gameinfo.xml"
"$build/host/tools/render_frame" --png "$tree/screenshot.png" --scale 2 ||
    fail "render_frame could not draw the 2x screenshot"
"$build/host/tools/render_frame" --png "$tree/cover.png" --scale 2 --fly 120 forward --fly 45 left ||
    fail "render_frame could not draw the cover"

cp LICENSE "$port/licenses/LICENSE.landscape.txt"
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
for file in $(find "$tree" -type f | LC_ALL=C sort); do
    [ "$(head -c 4 "$file" | od -An -c | tr -d ' ')" = '177ELF' ] || continue
    result=$(tools/check-glibc.sh "$glibc_limit" "$file" 2>&1) || fail "${result#check-glibc: FAILED: }"
    summary="$summary ${result#"$tree/"};"
done
unset IFS
[ -n "$summary" ] || fail "no ELF files in $tree"

# The release layout: the metadata moved into the port's folder, the README
# named after the port.
stage="$build/zip"
rm -rf "$stage"
mkdir -p "$stage"
cp -a "$tree/Landscape.sh" "$tree/landscape" "$stage/"
for file in port.json gameinfo.xml screenshot.png cover.png; do cp -a "$tree/$file" "$stage/landscape/"; done
cp -a "$tree/README.md" "$stage/landscape/landscape.md"

# Fixed times (the last commit's) and order: the same files give the same zip.
stamp=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 946684800)}
find "$tree" "$stage" -exec touch -h -d "@$stamp" {} +
rm -f "$build/landscape.zip"
(cd "$stage" && find . -type f | cut -c3- |
     python3 -c 'import sys; sys.stdout.writelines(sorted(sys.stdin, key=str.lower))' |
     zip -X -D -q -9 -@ "$build/landscape.zip") ||
    fail "zip failed"
echo "make-port: OK: $tree/ and $build/landscape.zip, $(wc -c <"$build/landscape.zip") bytes;$summary $(($(date +%s) - start)) s"
