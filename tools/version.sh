#!/bin/sh
# Prints what the build states once in CMakeLists.txt, for the scripts that
# run outside CMake (the port, the web site, the package's checks):
#   tools/version.sh            the version, e.g. 1.0.0
#   tools/version.sh date       its release date, YYYY-MM-DD
#   tools/version.sh id         the desktop entry's and AppStream's id
set -e
lists="$(dirname "$0")/../CMakeLists.txt"
case "${1:-version}" in
    version) sed -n 's/^project(landscape VERSION \([0-9.]*\) .*/\1/p' "$lists" ;;
    date)    sed -n 's/^set(LANDSCAPE_RELEASE_DATE \([0-9-]*\))$/\1/p' "$lists" ;;
    id)      sed -n 's/^set(LANDSCAPE_APP_ID \([A-Za-z0-9._]*\))$/\1/p' "$lists" ;;
    *)       echo "usage: tools/version.sh [version|date|id]" >&2; exit 2 ;;
esac
