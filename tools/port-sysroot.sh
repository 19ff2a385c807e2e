#!/bin/sh
# Unpacks Debian arm64 packages into the roots the handheld port is built
# and tried against, without installing anything on this machine:
#   tools/port-sysroot.sh DIR build      -> DIR/build: Debian 11's C library
#       (glibc 2.31) to compile and link against, with Debian 12's
#       sdl12-compat (libsdl1.2-compat, its -dev package's headers and
#       sdl-config), which the port bundles
#   tools/port-sysroot.sh DIR bookworm   -> DIR/bookworm: Debian 12's runtime
#       with SDL 2.26, a device's system for qemu-aarch64 -L
#   tools/port-sysroot.sh DIR bullseye   -> DIR/bullseye: the same from
#       Debian 11 (glibc 2.31, SDL 2.0.14)
# Each set's packages are downloaded once into DIR/debs/SET, through a
# private apt state that knows only arm64 and that suite of the machine's
# Debian mirror; reruns use them and touch no network. As in
# tools/arm-sysroot.sh, a root is merged-/usr with an empty ld.so.cache, so
# that the emulated loader never picks up the host's libraries.
set -eu

fail() {
    echo "port-sysroot: FAILED: $*" >&2
    exit 1
}

[ $# = 2 ] || fail "usage: tools/port-sysroot.sh DIR build|bookworm|bullseye"
dir=$(mkdir -p "$1" && cd "$1" && pwd)
set_name=$2
# Packages with what apt would install with them on an empty system, and
# packages taken alone.
case $set_name in
    build) suite=bullseye closure="" alone="bullseye:libc6 bullseye:libc6-dev bullseye:linux-libc-dev
                                            bookworm:libsdl1.2-compat bookworm:libsdl1.2-compat-dev" ;;
    bookworm) suite=bookworm closure="libsdl2-2.0-0" alone="" ;;
    bullseye) suite=bullseye closure="libsdl2-2.0-0" alone="" ;;
    *) fail "unknown set $set_name (build, bookworm or bullseye)" ;;
esac
debs="$dir/debs/$set_name"
root="$dir/$set_name"
manifest="$debs/packages.txt"

# The Debian mirror the machine's own apt sources name for bookworm.
mirror=$(apt-get indextargets --format '$(REPO_URI) $(CODENAME)' 2>/dev/null |
         awk '$2 == "bookworm" { print $1; exit }')
mirror=${mirror:-http://deb.debian.org/debian/}

# apt-get or apt-cache with a private state for SUITE, arm64 only:
#   apt SUITE apt-get|apt-cache ARGUMENTS...
apt() {
    state="$dir/apt/$1" command=$2
    shift 2
    "$command" -q -o APT::Architecture=arm64 -o APT::Architectures::=arm64 \
        -o Dir::State="$state" -o Dir::State::Lists="$state/lists" -o Dir::State::status="$state/status" \
        -o Dir::Cache="$state/cache" -o Dir::Etc::sourcelist="$state/sources.list" \
        -o Dir::Etc::sourceparts="$state/parts" -o Dir::Etc::preferencesparts="$state/parts" \
        -o APT::Install-Recommends=false $sandbox "$@"
}
# As root apt would hand downloads to its unprivileged user, who may not be
# able to write here.
sandbox=
[ "$(id -u)" != 0 ] || sandbox="-o APT::Sandbox::User=root"

prepare() {   # prepare SUITE: the private state, its index fetched
    state="$dir/apt/$1"
    [ -d "$state/lists" ] && return
    mkdir -p "$state/lists/partial" "$state/cache/archives/partial" "$state/parts"
    : >"$state/status"
    echo "deb [arch=arm64 signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror $1 main" \
        >"$state/sources.list"
    apt "$1" apt-get update >"$state/update.log" 2>&1 ||
        { rm -rf "$state/lists"; fail "apt-get update for $1 arm64 failed: $(tail -n 1 "$state/update.log")"; }
}

downloaded() {
    [ -s "$manifest" ] && [ "$(ls "$debs" | grep -c '\.deb$')" = "$(wc -l <"$manifest")" ]
}

if ! downloaded; then
    rm -rf "$debs"
    mkdir -p "$debs"
    : >"$debs/list"
    if [ -n "$closure" ]; then
        prepare "$suite"
        apt "$suite" apt-get install -s $closure | awk '$1 == "Inst" { print $2 "=" substr($3, 2) }' >"$debs/list"
        [ -s "$debs/list" ] || fail "apt found no installable $closure in $suite arm64"
        (cd "$debs" && apt "$suite" apt-get -qq download $(cat list)) || fail "downloading $suite arm64 packages failed"
    fi
    for item in $alone; do
        prepare "${item%%:*}"
        version=$(apt "${item%%:*}" apt-cache policy "${item#*:}" 2>/dev/null | sed -n 's/^ *Candidate: //p')
        [ -n "$version" ] && [ "$version" != "(none)" ] || fail "no ${item#*:} in ${item%%:*} arm64"
        (cd "$debs" && apt "${item%%:*}" apt-get -qq download "${item#*:}=$version") || fail "downloading ${item#*:} failed"
        echo "${item#*:}=$version" >>"$debs/list"
    done
    mv "$debs/list" "$manifest"
fi

if ! cmp -s "$manifest" "$root/packages.txt"; then
    rm -rf "$root"
    mkdir -p "$root/usr/lib" "$root/etc"
    for deb in "$debs"/*.deb; do
        dpkg-deb -x "$deb" "$root"
    done
    if [ -d "$root/lib" ] && [ ! -L "$root/lib" ]; then
        cp -a "$root/lib/." "$root/usr/lib/"
        rm -rf "$root/lib"
    fi
    ln -s usr/lib "$root/lib"
    # Absolute links (libm.so -> /lib/aarch64-linux-gnu/libm.so.6) would
    # point at the host's files: the linker then quietly takes libm.a.
    find "$root" -type l -lname '/*' | while read -r link; do
        target=$(readlink "$link")
        relative=$(realpath -m --relative-to="$(dirname "$link")" "$root$target")
        ln -sfn "$relative" "$link"
    done
    if [ "$set_name" = build ]; then
        # What Debian's libsdl1.2-compat-shim adds: the library under its
        # soname where the linker looks. And sdl12-compat's sdl-config names
        # /usr/include whatever prefix it is given: its headers are named
        # relative to the compiler's sysroot (-I=), which also keeps a space
        # in the checkout's path out of the flags.
        ln -s sdl12-compat/libSDL-1.2.so.0 "$root/usr/lib/aarch64-linux-gnu/libSDL-1.2.so.0"
        # Debian 12 built sdl12-compat against glibc 2.36, where dlopen, dlsym
        # and dlclose are in libc.so.6 at version GLIBC_2.34; the devices'
        # older C libraries have them in libdl.so.2 at GLIBC_2.17, a version
        # that glibc 2.34 and newer still provide in libc.so.6. Take them
        # from GLIBC_2.17, as a build against glibc 2.33 or older would, and
        # need libdl.so.2 (docs/HANDHELD.md). The program links against this
        # library, and the port bundles it.
        compat="$root/usr/lib/aarch64-linux-gnu/sdl12-compat/$(readlink "$root/usr/lib/aarch64-linux-gnu/sdl12-compat/libSDL-1.2.so.0")"
        python3 "$(dirname "$0")/retarget-symbol-version.py" "$compat" libc.so.6 GLIBC_2.34 GLIBC_2.17 \
            dlopen dlsym dlclose >/dev/null
        patchelf --add-needed libdl.so.2 "$compat"
        sed -i 's|-I${includedir}/SDL|-I=${includedir}/SDL|' "$root/usr/bin/sdl-config"
        grep -q -- '-I=${includedir}/SDL' "$root/usr/bin/sdl-config" || fail "unexpected sdl-config in libsdl1.2-compat-dev"
    fi
    : >"$root/etc/ld.so.cache"
    cp "$manifest" "$root/packages.txt"
fi
echo "port-sysroot: $set_name: $(wc -l <"$manifest") packages ($(du -sh "$debs" | cut -f1) of downloads), $root"
