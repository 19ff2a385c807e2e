#!/bin/sh
# Installs the Debian packages a make target needs, if any are missing.
# Usage: tools/install-deps.sh PACKAGE...
# As root the packages are installed with apt-get, otherwise through sudo
# when it works without a password; failing both, prints the one command
# to run and exits non-zero. Where there is no dpkg-query (a distribution
# other than Debian's family) it looks for what each package provides (a
# command, a header, a pkg-config module) and goes on when all of it is
# there, or names what is missing in words any distribution's packages
# answer to.
set -e

# What PACKAGE provides, looked for on the system: prints nothing when it
# is there, else what it is in words.
lacking() {   # lacking PACKAGE
    has() { command -v "$1" >/dev/null 2>&1; }
    header() { for dir in /usr/include /usr/local/include; do [ -e "$dir/$1" ] && return 0; done; return 1; }
    library() { for file in "$@"; do [ -e "$file" ] && return 0; done; return 1; }
    case $1 in
        g++) has g++ || has c++ || echo "a C++ compiler (g++ or clang++ as c++)" ;;
        libsdl1.2-dev) has sdl-config || echo "SDL 1.2's development files with sdl-config (sdl12-compat's or the classic SDL's)" ;;
        libsdl1.2-compat) library /usr/lib*/libSDL-1.2.so.0 /usr/lib/*/libSDL-1.2.so.0 /usr/lib/*/sdl12-compat/libSDL-1.2.so.0 ||
            echo "SDL 1.2's library (sdl12-compat)" ;;
        pkg-config) has pkg-config || has pkgconf || echo "pkg-config" ;;
        libspng-dev) { has pkg-config && pkg-config --exists spng; } || header spng.h || echo "libspng's development files" ;;
        libgtest-dev|googletest) header gtest/gtest.h || echo "GoogleTest's development files" ;;
        libbenchmark-dev) header benchmark/benchmark.h || echo "Google Benchmark's development files" ;;
        emscripten) has emcc || echo "Emscripten (emcc)" ;;
        xvfb) has Xvfb || echo "the virtual X server Xvfb" ;;
        chromium) has chromium || has chromium-browser || echo "Chromium" ;;
        firefox-esr) has firefox-esr || has firefox || echo "Firefox" ;;
        crossbuild-essential-armel) has arm-linux-gnueabi-g++ || echo "an armel cross compiler (arm-linux-gnueabi-g++)" ;;
        crossbuild-essential-arm64) has aarch64-linux-gnu-g++ || echo "an aarch64 cross compiler (aarch64-linux-gnu-g++)" ;;
        qemu-user) has qemu-arm && has qemu-aarch64 || echo "QEMU's user-mode emulators (qemu-arm, qemu-aarch64)" ;;
        *) has "$1" || echo "$1" ;;
    esac
}

if ! command -v dpkg-query >/dev/null 2>&1; then
    missing=""
    for package in "$@"; do
        what=$(lacking "$package")
        [ -n "$what" ] && missing="$missing
  - $what"
    done
    [ -z "$missing" ] && exit 0
    echo "Missing (install them with your system's package manager, then run make again):$missing" >&2
    exit 1
fi

missing=""
for package in "$@"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    if [ "$status" != "installed" ]; then
        missing="$missing $package"
    fi
done
[ -z "$missing" ] && exit 0

command="apt-get install -y$missing"
if [ "$(id -u)" = 0 ]; then
    run=""
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
    run="sudo"
else
    echo "Missing packages; run: sudo apt-get update && sudo $command" >&2
    exit 1
fi

echo "Installing:$missing"
export DEBIAN_FRONTEND=noninteractive
$run apt-get -o DPkg::Lock::Timeout=900 update -qq
$run $command -qq -o DPkg::Lock::Timeout=900
