#!/bin/sh
# Unpacks Debian's armel SDL 1.2, with everything it and the program need at
# run time, into a sysroot: for linking the program dynamically with the
# armel cross compiler and running it under `qemu-arm -L SYSROOT`.
#   tools/arm-sysroot.sh DIR     -> DIR/sysroot; the packages stay in DIR/debs
#
# The packages come from the build machine's own apt sources, through a
# private apt state (DIR/apt) that knows only the armel architecture, so
# nothing is installed and no foreign architecture is added to the machine
# (a multiarch install of libsdl1.2-dev:armel would remove the amd64 one).
# The closure is what apt would install on an empty armel system for
# libsdl1.2debian and libstdc++6, at the armel index's versions; of
# libsdl1.2-dev only the package itself is unpacked (headers, sdl-config,
# the libSDL.so link). Once DIR/debs holds a complete download, reruns use it
# and touch no network.
#
# The layout is merged-/usr (lib -> usr/lib) with an empty etc/ld.so.cache.
# qemu-arm looks every path up in the sysroot first and on the host second:
# without a cache of its own the loader reads the host's, and where that
# lists armel libraries (a multiarch host) under /usr/lib paths that an
# unmerged sysroot keeps under /lib, it quietly loads the host's copies.
set -eu

dir=$(mkdir -p "$1" && cd "$1" && pwd)
debs="$dir/debs"
sysroot="$dir/sysroot"
manifest="$debs/packages.txt"

downloaded() {
    [ -s "$manifest" ] && [ "$(ls "$debs" | grep -c '\.deb$')" = "$(wc -l <"$manifest")" ]
}

if ! downloaded; then
    state="$dir/apt"
    mkdir -p "$state/lists/partial" "$state/cache/archives/partial" "$debs"
    : >"$state/status"
    set -- -q -o APT::Architecture=armel -o APT::Architectures::=armel \
        -o Dir::State="$state" -o Dir::State::Lists="$state/lists" \
        -o Dir::State::status="$state/status" -o Dir::Cache="$state/cache" \
        -o APT::Install-Recommends=false
    # As root apt would hand downloads to its unprivileged user, who may not
    # be able to write here.
    [ "$(id -u)" != 0 ] || set -- "$@" -o APT::Sandbox::User=root
    apt-get "$@" update >"$state/update.log" ||
        { cat "$state/update.log" >&2; echo "arm-sysroot: apt-get update failed" >&2; exit 1; }
    apt-get "$@" install -s libsdl1.2debian libstdc++6 |
        awk '$1 == "Inst" { print $2 "=" substr($3, 2) }' >"$debs/closure.txt"
    dev=$(apt-cache "$@" policy libsdl1.2-dev | sed -n 's/^ *Candidate: //p')
    grep -q '^libsdl1\.2debian=' "$debs/closure.txt" && [ -n "$dev" ] && [ "$dev" != "(none)" ] ||
        { echo "arm-sysroot: no armel SDL 1.2 in the package index" >&2; exit 1; }
    echo "libsdl1.2-dev=$dev" >>"$debs/closure.txt"
    rm -f "$debs"/*.deb
    (cd "$debs" && apt-get "$@" -qq download $(cat closure.txt))
    mv "$debs/closure.txt" "$manifest"
    rm -rf "$state"
fi

if ! cmp -s "$manifest" "$sysroot/packages.txt"; then
    rm -rf "$sysroot"
    mkdir -p "$sysroot/usr/lib" "$sysroot/etc"
    for deb in "$debs"/*.deb; do
        dpkg-deb -x "$deb" "$sysroot"
    done
    if [ -d "$sysroot/lib" ]; then
        cp -a "$sysroot/lib/." "$sysroot/usr/lib/"
        rm -rf "$sysroot/lib"
    fi
    ln -s usr/lib "$sysroot/lib"
    : >"$sysroot/etc/ld.so.cache"
    cp "$manifest" "$sysroot/packages.txt"
fi
echo "arm-sysroot: $(wc -l <"$manifest") packages, $(du -sh "$sysroot" | cut -f1) in $sysroot"
