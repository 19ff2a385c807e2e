#!/bin/bash
# Counts what each kind of rendering pass executes on the console's
# instruction set, ours beside the straightforward baseline:
#  - ARM instructions, by running bench/pass_counts (built for ARMv4T, soft
#    float) under qemu-arm one instruction per block, with the trace limited
#    to the address ranges of the pass functions and the library routines
#    they call (division, memset);
#  - first-level data-cache misses, by running the same program (built for
#    the host) under cachegrind with the ARM920T's data cache: 16 KiB,
#    64-way, 32-byte lines.
# Each figure is the difference between a run of 2 frames and a run of 1,
# so the identical set-up of both runs cancels out.
#   tools/bench-arm.sh [BUILD_DIR]
set -eu
out=${1:-build-bench-arm}
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$out"
out=$(cd "$out" && pwd)
sources=(bench/pass_counts.cpp tests/reference_passes.cpp assets/landscape.cpp render/camera.cpp
         render/projection.cpp render/rays.cpp render/frame.cpp)
if [ -n "${LANDSCAPE_DATA_SOURCE:-}" ]; then sources+=("$LANDSCAPE_DATA_SOURCE"); else sources+=(assets/landscape_data.cpp); fi
flags=(-std=c++11 -O2 -ffp-contract=off -I"$root" -I"$root/tests")
arm="$out/pass_counts.arm"
host="$out/pass_counts.host"
(cd "$root" && arm-linux-gnueabi-g++ "${flags[@]}" -march=armv4t -mtune=arm920t -marm -mfloat-abi=soft -static -o "$arm" "${sources[@]}")
(cd "$root" && g++ "${flags[@]}" -g -o "$host" "${sources[@]}")

ranges=$(arm-linux-gnueabi-nm -S -C "$arm" | awk '
    NF >= 4 && $4 ~ /^(buildRays|sampleTerrain|composeFrame|referenceBuildRays|referenceSampleTerrain|referenceComposeFrame|__divsi3|__aeabi_idivmod|__udivsi3|__aeabi_uidivmod|memset)\(?/ {
        printf "%s0x%s+0x%s", sep, $1, $2; sep = "," }')

instructions() {   # instructions KIND SET FRAMES LEVEL
    qemu-arm -singlestep -d exec,nochain -dfilter "$ranges" "$arm" "$@" 2>&1 >/dev/null | grep -c '^Trace'
}
misses() {   # misses KIND SET FRAMES LEVEL: D1 read + write misses
    valgrind --tool=cachegrind --cache-sim=yes --D1=16384,64,32 --cachegrind-out-file=/dev/null \
        "$host" "$@" 2>&1 | awk '/D1  misses:/ { gsub(",", "", $4); print $4 }'
}
per_frame() {   # per_frame COUNTER KIND SET LEVEL
    local one two
    one=$("$1" "$2" "$3" 1 "$4")
    two=$("$1" "$2" "$3" 2 "$4")
    echo $((two - one))
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

printf "%-8s %-5s %12s %12s %6s   %10s %10s %6s\n" pass level "ARM ours" "ARM base" ratio "D1 ours" "D1 base" ratio
for level in high low; do
    for kind in turn move rays sample compose; do
        io=$(per_frame instructions $kind ours $level)
        ib=$(per_frame instructions $kind baseline $level)
        mo=$(per_frame misses $kind ours $level)
        mb=$(per_frame misses $kind baseline $level)
        printf "%-8s %-5s %12d %12d %6s   %10d %10d %6s\n" $kind $level "$io" "$ib" "$(ratio "$io" "$ib")" \
            "$mo" "$mb" "$(ratio "$mo" "$mb")"
    done
done
