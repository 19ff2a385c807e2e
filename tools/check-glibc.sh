#!/bin/sh
# Checks that ELF files load on a C library as old as glibc LIMIT: none of
# them may need a GLIBC_ symbol version newer than that, whether a symbol
# uses it or not (the loader refuses a file whose version needs it lacks).
#   tools/check-glibc.sh LIMIT FILE...     e.g. tools/check-glibc.sh 2.30 landscape/landscape.aarch64
# Prints "FILE: newest GLIBC_x.y" for each; on the first file that needs
# more, one line naming it and the symbol, and exits 1.
set -eu

limit=$1
shift
for file in "$@"; do
    needs=$(LC_ALL=C readelf -V -W "$file" | sed -n 's/^ *0x[0-9a-f]*: *Name: GLIBC_\([0-9.]*\) .*/\1/p' | sort -uV)
    [ -n "$needs" ] || { echo "check-glibc: FAILED: $file has no GLIBC_ version needs (not a dynamic ELF file?)" >&2; exit 1; }
    newest=$(echo "$needs" | tail -n 1)
    if [ "$(printf '%s\n%s\n' "$newest" "$limit" | sort -V | tail -n 1)" != "$limit" ]; then
        symbol=$(LC_ALL=C readelf --dyn-syms -W "$file" | awk -v v="@GLIBC_$newest" \
                 '{ for (i = 1; i <= NF; ++i) if (index($i, v) && substr($i, length($i) - length(v) + 1) == v) { print $i; exit } }')
        echo "check-glibc: FAILED: $file needs ${symbol:-GLIBC_$newest (with no symbol)}, newer than GLIBC_$limit" >&2
        exit 1
    fi
    echo "$file: newest GLIBC_$newest"
done
