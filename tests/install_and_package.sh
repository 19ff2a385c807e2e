#!/bin/bash
# The program as it is installed:
#   install_and_package.sh install SOURCE_DIR BUILD_DIR
#     `make install` with DESTDIR and PREFIX=/usr lays out exactly the
#     expected files, naming the installed program and never the staging
#     folder; `make uninstall` with the same settings removes them all.
#   install_and_package.sh package SOURCE_DIR DEB_DIR RENDER_FRAME
#     `make deb` builds the Debian package; lintian, desktop-file-validate,
#     appstreamcli and groff pass it without a remark; its version,
#     section, dependencies and copyright are what the build and LICENSE
#     say; its program, unpacked, shows the start-up frame under Xvfb.
set -u
mode=$1 source=$(realpath "$2") dir=$3
. "$(dirname "$0")/xvfb.sh"
version=$("$source/tools/version.sh") id=$("$source/tools/version.sh" id)

# The Makefile as a user runs it, not as the make running these tests
# passes on its own settings.
user_make() { env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL make -C "$source" --no-print-directory "$@"; }
files_in() { (cd "$1" && find . ! -type d | sed 's|^\./||' | sort); }
# What an install with prefix /usr lays out; the package compresses the
# man page and adds its documentation.
expected_files() {   # expected_files MAN_PAGE_SUFFIX [MORE...]
    local man=$1 size
    shift
    {
        echo usr/games/landscape
        echo "usr/share/applications/$id.desktop"
        for size in 16 32 48 64 128 256; do echo "usr/share/icons/hicolor/${size}x$size/apps/$id.png"; done
        echo "usr/share/man/man6/landscape.6$man"
        echo "usr/share/metainfo/$id.metainfo.xml"
        [ $# = 0 ] || printf '%s\n' "$@"
    } | sort
}

if [ "$mode" = install ]; then
    # The build folder and DESTDIR given relative to the checkout, as a
    # user at its top level may give them.
    root="$work/staging root"
    mkdir -p "$dir" "$root"
    settings=(BUILD="$(realpath --relative-to="$source" "$dir")" DESTDIR="$(realpath --relative-to="$source" "$root")"
              PREFIX=/usr JOBS=1)
    user_make install "${settings[@]}" >"$work/run.out" 2>"$work/run.err"
    check "make install succeeds" $? "status $?"
    [ "$(files_in "$root")" = "$(expected_files "")" ]
    check "it lays out exactly the expected files under PREFIX=/usr" $? "$(files_in "$root")"
    wrong=
    for size in 16 32 48 64 128 256; do
        cmp -s "$source/data/icons/landscape-$size.png" "$root/usr/share/icons/hicolor/${size}x$size/apps/$id.png" ||
            wrong="$wrong $size"
    done
    [ -z "$wrong" ]
    check "each icon folder holds the icon of its size" $? "wrong at:$wrong"
    grep -qx "Exec=/usr/games/landscape" "$root/usr/share/applications/$id.desktop" &&
        grep -qx '\.I /usr/games/landscape' "$root/usr/share/man/man6/landscape.6"
    check "the menu entry and the man page name the program under the prefix" $? \
        "$(grep -h 'games/landscape' "$root/usr/share/applications/$id.desktop" "$root/usr/share/man/man6/landscape.6")"
    named=$(grep -rlF "$root" "$root")
    [ -z "$named" ]
    check "no installed file names the staging folder" $? "$named"
    user_make uninstall "${settings[@]}" >"$work/run.out" 2>"$work/run.err"
    check "make uninstall succeeds" $? "status $?"
    left=$(files_in "$root")
    [ -z "$left" ]
    check "it removes every file make install put there" $? "left: $left"
    echo "$passed passed, $failed failed"
    [ "$failed" = 0 ]
    exit
fi

render_frame=$(realpath "$4")
user_make deb DEB="$dir" JOBS=1 >"$work/run.out" 2>"$work/run.err"
check "make deb builds the package" $? "see $dir/build.log"
debs=("$dir"/landscape_"$version"_*.deb)
deb=${debs[0]}
[ ${#debs[@]} = 1 ] && [ -f "$deb" ]
check "it leaves one package, landscape_${version}_<arch>.deb, in its folder" $? "$(ls "$dir")"

# Every tag lintian knows of, informational ones included (among them its
# hardening checks: dpkg-buildflags' flags reaching the compiler and the
# linker): none is accepted.
tags=$(lintian --display-info "$deb" 2>"$work/lintian.err")
status=$?
[ $status = 0 ] && [ -z "$tags" ]
check "lintian finds nothing to say about it" $? "status $status: $tags $(cat "$work/lintian.err")"

fields=$(dpkg-deb -f "$deb" Version Section Depends)
[[ "$fields" == "Version: $version
Section: games
Depends: "*"libsdl1.2debian (>= "* ]]
check "its version is the build's, its section games, its dependencies dpkg-shlibdeps'" $? "$fields"

root="$work/package root"
dpkg-deb -x "$deb" "$root"
[ "$(files_in "$root")" = "$(expected_files .gz usr/share/doc/landscape/changelog.gz usr/share/doc/landscape/copyright)" ]
check "it holds exactly the installed files, the copyright and the changelog" $? "$(files_in "$root")"

# The licence text and holder of the package's copyright file are those of
# LICENSE.
copyright="$root/usr/share/doc/landscape/copyright"
licence=$(awk '/^License: Expat$/ { keep = 1; text = ""; next }
               keep && /^ / { line = substr($0, 2); text = text (line == "." ? "" : line) "\n"; next }
               { keep = 0 } END { printf "%s", text }' "$copyright")
holder=$(sed -n 's/^Copyright (c) //p' "$source/LICENSE")
[ "$licence" = "$(sed -n '/^Permission is hereby granted/,$p' "$source/LICENSE")" ] &&
    grep -qxF "Copyright: $holder" "$copyright"
check "its copyright file states LICENSE's holder and licence" $? "$(cat "$copyright")"

out=$(desktop-file-validate "$root/usr/share/applications/$id.desktop" 2>&1) && [ -z "$out" ]
check "desktop-file-validate passes the menu entry silently" $? "$out"
out=$(appstreamcli validate --pedantic --no-net "$root/usr/share/metainfo/$id.metainfo.xml" 2>&1) &&
    ! grep -q '^[EWIP]:' <<<"$out"
check "appstreamcli validates the AppStream data without a note, pedantic ones included" $? "$out"
out=$(zcat "$root/usr/share/man/man6/landscape.6.gz" | groff -man -ww -z 2>&1) && [ -z "$out" ]
check "groff renders the man page without a warning" $? "$out"

# The packaged program on a 1024 x 768 display: the window opens at 2x.
start_xvfb 1024x768
mkdir "$work/run"
start_program "$work/run" SDL_AUDIODRIVER=dummy SDL_VIDEO_WINDOW_POS=0,0 "$root/usr/games/landscape"
settle window
[ "$shown" = "high detail frame after 0 forward steps scale 2x " ] && [ "$WIDTH$HEIGHT" = 640480 ]
check "the packaged program shows the start-up frame at 2x, every pixel exact" $? "$shown in ${WIDTH:-?}x${HEIGHT:-?}"
quit_program
[ $status = 0 ] && [ ! -s "$work/run.err" ]
check "Escape ends it with status 0, having printed nothing" $? "status $status"

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
