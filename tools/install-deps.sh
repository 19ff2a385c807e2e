#!/bin/sh
# Installs the Debian packages a make target needs, if any are missing.
# Usage: tools/install-deps.sh PACKAGE...
# As root the packages are installed with apt-get, otherwise through sudo
# when it works without a password; failing both, prints the one command
# to run and exits non-zero.
set -e

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
