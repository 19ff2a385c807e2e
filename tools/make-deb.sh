#!/bin/sh
# Builds the Debian package with Debian's own tools (dpkg-buildpackage,
# debhelper's CMake build system; debian/):
#   tools/make-deb.sh [DIR]       (default build-deb; JOBS=2)
# -> DIR/landscape_<version>_<arch>.deb, with the .buildinfo and .changes
# files dpkg-buildpackage writes beside it. The package is built from a copy
# of what it is made of, DIR/landscape-<version>, so that debhelper's build
# tree and work files (and dpkg-buildpackage's output, which goes to the
# parent of the source tree) stay out of the checkout.
set -eu

cd "$(dirname "$0")/.."
dir=${1:-build-deb}
case $dir in /*) ;; *) dir="$PWD/$dir" ;; esac
version=$(tools/version.sh)
source="$dir/landscape-$version"

# What the program's build reads: the build files, the program's code and
# data, the packaging.
rm -rf "$source" "$dir"/landscape_*
mkdir -p "$source"
cp -a CMakeLists.txt LICENSE app assets cmake data debian hw render "$source/"

cd "$source"
# The build's own log; the last lines of it when it fails.
if ! DEB_BUILD_OPTIONS="parallel=${JOBS:-2}" dpkg-buildpackage -b -us -uc >"$dir/build.log" 2>&1; then
    tail -n 30 "$dir/build.log" >&2
    echo "make-deb: FAILED: dpkg-buildpackage (log: $dir/build.log)" >&2
    exit 1
fi
deb=$(ls "$dir"/landscape_"$version"_*.deb)
echo "make-deb: $deb"
