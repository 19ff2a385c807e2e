#!/bin/bash
# Counts what each kind of rendering pass executes on the console's
# instruction set, ours beside the straightforward baseline:
#  - ARM instructions, by running bench/pass_counts (built for ARMv4T, soft
#    float) under qemu-arm one instruction per block, with the trace limited
#    to the address ranges of the pass functions and the library routines
#    they call (division, memset);
#  - x86-64 instructions and first-level data-cache misses, by running the
#    same program (built for
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
jobs=${JOBS:-2}
# Built as the program is built (-O2).
cmake -S "$root" -B "$out/arm" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/arm-linux-gnueabi.cmake" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLANDSCAPE_CORE_ONLY=ON -DLANDSCAPE_TESTS=OFF >/dev/null
cmake --build "$out/arm" -j"$jobs" --target pass_counts >/dev/null
cmake -S "$root" -B "$out/host" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLANDSCAPE_CORE_ONLY=ON -DLANDSCAPE_TESTS=OFF >/dev/null
cmake --build "$out/host" -j"$jobs" --target pass_counts >/dev/null
arm="$out/arm/bench/pass_counts"
host="$out/host/bench/pass_counts"

# Every function of the pass modules (rays, near-row skip, column loop,
# composition) and of the baseline, and the library routines they call.
# Set-up code among them cancels out of the difference below; the camera's
# turn and move (render/camera.cpp) are not counted.
core="$out/arm/CMakeFiles/landscape_core.dir/render"
pass_objects="$core/rays.cpp.o $core/near_rows.cpp.o $core/column.cpp.o $core/frame.cpp.o
              $(ls "$core"/draw_column*.o) $out/arm/bench/CMakeFiles/pass_counts.dir/__/tests/reference_passes.cpp.o"
pass_functions=$(for object in $pass_objects; do arm-linux-gnueabi-nm --defined-only "$object"; done |
                 awk '$2 ~ /^[TtWw]$/ { print $3 }' | sort -u | tr '\n' ' ')
ranges=$(arm-linux-gnueabi-nm -S "$arm" | awk -v names="$pass_functions" '
    BEGIN { split(names " __divsi3 __aeabi_idiv __aeabi_idivmod __udivsi3 __aeabi_uidivmod memset", list, " ")
            for (i in list) counted[list[i]] = 1 }
    NF >= 4 && ($4 in counted) { printf "%s0x%s+0x%s", sep, $1, $2; sep = "," }')

instructions() {   # instructions KIND SET FRAMES LEVEL
    qemu-arm -singlestep -d exec,nochain -dfilter "$ranges" "$arm" "$@" 2>&1 >/dev/null | grep -c '^Trace'
}
cachegrind() {   # cachegrind KIND SET FRAMES LEVEL: "x86-instructions D1-misses"
    valgrind --tool=cachegrind --cache-sim=yes --D1=16384,64,32 --cachegrind-out-file=/dev/null \
        "$host" "$@" 2>&1 | awk '/I   refs:/ { gsub(",", "", $4); i = $4 }
                                 /D1  misses:/ { gsub(",", "", $4); d = $4 }
                                 END { print i, d }'
}
per_frame() {   # per_frame KIND SET LEVEL: "arm-instructions x86-instructions D1-misses"
    local a1 a2 c1 c2
    a1=$(instructions "$1" "$2" 1 "$3")
    a2=$(instructions "$1" "$2" 2 "$3")
    c1=($(cachegrind "$1" "$2" 1 "$3"))
    c2=($(cachegrind "$1" "$2" 2 "$3"))
    echo $((a2 - a1)) $((c2[0] - c1[0])) $((c2[1] - c1[1]))
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "Per frame or pass; ratio = ours / baseline, both measured in this run."
printf "%-8s %-5s %10s %10s %5s   %10s %10s %5s   %8s %8s %5s\n" pass level "ARM ours" "ARM base" ratio \
    "x86 ours" "x86 base" ratio "D1 ours" "D1 base" ratio
for level in high low; do
    for kind in turn move rays compose; do
        o=($(per_frame $kind ours $level))
        b=($(per_frame $kind baseline $level))
        printf "%-8s %-5s %10d %10d %5s   %10d %10d %5s   %8d %8d %5s\n" $kind $level \
            "${o[0]}" "${b[0]}" "$(ratio "${o[0]}" "${b[0]}")" \
            "${o[1]}" "${b[1]}" "$(ratio "${o[1]}" "${b[1]}")" \
            "${o[2]}" "${b[2]}" "$(ratio "${o[2]}" "${b[2]}")"
    done
done
