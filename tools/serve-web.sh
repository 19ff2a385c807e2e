#!/bin/sh
# Serves the web site's folder with Python's web server and says where to
# open it:   tools/serve-web.sh SITE HOST PORT
# HOST 127.0.0.1 (or another loopback address) keeps it to this machine;
# 0.0.0.0 (every IPv4 address), :: (every address) or one of this
# machine's addresses serves it to the network, and the addresses to open
# from a phone are listed.
set -e
site=$1 host=$2 port=$3

url() {
    case $1 in
        *:*) echo "  http://[$1]:$port/" ;;
        *)   echo "  http://$1:$port/" ;;
    esac
}

case $host in
    127.*|::1|localhost)
        echo "The flyover is at http://$host:$port/ (this machine only; Ctrl+C stops the server)" ;;
    *)
        echo "The flyover is served to the network; open it from a phone or another machine at:"
        case $host in
            0.0.0.0) for address in $(hostname -I); do case $address in *:*) ;; *) url "$address" ;; esac; done ;;
            ::)      for address in $(hostname -I); do url "$address"; done ;;
            *)       url "$host" ;;
        esac
        echo "Over plain HTTP from another machine the page flies, but browsers neither install"
        echo "it nor keep it offline, nor read gamepads: that takes HTTPS (docs/WEB.md)."
        echo "Ctrl+C stops the server." ;;
esac
exec python3 -m http.server "$port" --bind "$host" --directory "$site"
