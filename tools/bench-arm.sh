#!/bin/bash
# Counts what each kind of rendering pass executes on the console's
# instruction set, ours beside the straightforward baseline:
#  - ARM instructions, by running bench/pass_counts (built for ARMv4T, soft
#    float) under qemu-arm one instruction per block, with the trace limited
#    to the address ranges of the pass functions and the library routines
#    they call (division, memset), and the cycles they would take on the
#    ARM920T by the model in tools/arm-cycles.awk;
#  - x86-64 instructions and first-level data-cache misses, by running the
#    same program (built for the host) under cachegrind with the ARM920T's
#    data cache: 16 KiB, 64-way, 32-byte lines.
# Each figure is the difference between a run of 2 frames and a run of 1,
# so the identical set-up of both runs cancels out. A second table
# estimates the time of a turn and a move frame at 200 MHz.
#   tools/bench-arm.sh [BUILD_DIR]
set -euo pipefail
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

fail() {
    echo "bench-arm: FAILED: $*" >&2
    exit 1
}

# Every function of the pass modules (rays, near-row skip, column loop,
# composition), the baseline's three passes (tests/reference_passes.h, out
# of line, found by name in the program) and the library routines they
# call. Set-up code among them cancels out of the difference below; the
# camera's turn and move (render/camera.cpp) are not counted. Each of them
# must be found, or the counts would quietly leave work out.
core="$out/arm/CMakeFiles/landscape_core.dir/render"
pass_functions=""
for object in rays.cpp near_rows.cpp column.cpp frame.cpp draw_column_arm.s; do
    [ -f "$core/$object.o" ] || fail "no object $core/$object.o"
    pass_functions="$pass_functions $(arm-linux-gnueabi-nm --defined-only "$core/$object.o" |
                                      awk '$2 ~ /^[TtWw]$/ { print $3 }' | tr '\n' ' ')"
done
symbols=$(arm-linux-gnueabi-nm -S "$arm")
baseline_functions=$(echo "$symbols" | awk 'NF >= 4 && $4 ~ /^_Z[0-9]+reference(BuildRays|SampleTerrain|ComposeFrame)/ { print $4 }' |
                     tr '\n' ' ')
counted=$(echo "$symbols" | awk -v names="$pass_functions $baseline_functions __divsi3 __aeabi_idiv __aeabi_idivmod __udivsi3 __aeabi_uidivmod memset" '
    BEGIN { split(names, list, " "); for (i in list) wanted[list[i]] = 1 }
    NF >= 4 && ($4 in wanted) { print $4 }' | sort -u)
demangled=$(echo "$counted" | arm-linux-gnueabi-c++filt)
for needed in buildRays castRays composeFrame findFirstSamples drawColumn referenceBuildRays \
              referenceSampleTerrain referenceComposeFrame memset; do
    echo "$demangled" | grep -Eq "^$needed(\(|$)" || fail "$needed not found in $arm"
done
echo "$counted" | grep -Eqx '__divsi3|__aeabi_idiv' || fail "no division routine in $arm"
ranges=$(echo "$symbols" | awk -v names="$(echo $counted)" '
    BEGIN { split(names, list, " "); for (i in list) counted[list[i]] = 1 }
    NF >= 4 && ($4 in counted) { printf "%s0x%s+0x%s", sep, $1, $2; sep = "," }')

listing="$out/pass_counts.lst"
arm-linux-gnueabi-objdump -d --no-show-raw-insn "$arm" > "$listing"

arm_run() {   # arm_run KIND SET FRAMES LEVEL: "instructions estimated-cycles"
    qemu-arm -singlestep -d exec,nochain -dfilter "$ranges" "$arm" "$@" 2>&1 >/dev/null |
        awk -v listing="$listing" -f "$root/tools/arm-cycles.awk"
}
cachegrind() {   # cachegrind KIND SET FRAMES LEVEL: "x86-instructions D1-misses D1-read-misses"
    valgrind --tool=cachegrind --cache-sim=yes --D1=16384,64,32 --cachegrind-out-file=/dev/null \
        "$host" "$@" 2>&1 | awk '/I   refs:/ { gsub(",", "", $4); i = $4 }
                                 /D1  misses:/ { gsub(",", ""); d = $4
                                                 r = $0; sub(/ rd.*/, "", r); sub(/.*[^0-9]/, "", r) }
                                 END { print i, d, r }'
}
# One run's counts as words, exactly `fields` of them, or a failure.
counts() {   # counts FIELDS COMMAND...
    local fields=$1 words
    shift
    words=$("$@") || fail "$* failed"
    [ "$(echo "$words" | wc -w)" = "$fields" ] || fail "$* gave '$words'"
    echo "$words"
}
per_frame() {   # per_frame KIND SET LEVEL: "ARM-instructions ARM-cycles x86-instructions D1-misses D1-read-misses"
    local a1 a2 c1 c2
    a1=($(counts 2 arm_run "$1" "$2" 1 "$3")) && a2=($(counts 2 arm_run "$1" "$2" 2 "$3")) &&
        c1=($(counts 3 cachegrind "$1" "$2" 1 "$3")) && c2=($(counts 3 cachegrind "$1" "$2" 2 "$3")) || return 1
    echo $((a2[0] - a1[0])) $((a2[1] - a1[1])) $((c2[0] - c1[0])) $((c2[1] - c1[1])) $((c2[2] - c1[2]))
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# Presenting the screen, modelled as copying its 76,800 bytes 32 at a time
# with 8-register ldm/stm (8 + 8 cycles, and a subs and a taken bne: 4),
# the frame's 2,400 lines all missing the data cache on the way.
present_lines=2400
present_cycles=$((present_lines * 20))

# Everything is counted before anything is printed: a table with a part
# missing is never shown.
rows=""
estimates=""
for level in high low; do
    for kind in turn move rays compose; do
        o=($(per_frame $kind ours $level))
        b=($(per_frame $kind baseline $level))
        [ ${#o[@]} = 5 ] && [ ${#b[@]} = 5 ] || fail "incomplete counts for the $kind $level pass"
        rows="$rows$(printf "%-8s %-5s %10d %10d %5s   %10d %10d %5s   %8d %8d %5s" $kind $level \
            "${o[0]}" "${b[0]}" "$(ratio "${o[0]}" "${b[0]}")" \
            "${o[2]}" "${b[2]}" "$(ratio "${o[2]}" "${b[2]}")" \
            "${o[3]}" "${b[3]}" "$(ratio "${o[3]}" "${b[3]}")")
"
        case $kind in turn|move)
            # The straightforward passes do all that ours do and more.
            [ "${b[0]}" -gt "${o[0]}" ] ||
                fail "the baseline's $kind $level frame counts ${b[0]} ARM instructions, ours ${o[0]}"
            estimates="$estimates$kind $level ours ${o[1]} ${o[4]}
$kind $level baseline ${b[1]} ${b[4]}
" ;;
        esac
    done
done

echo "Per frame or pass; ratio = ours / baseline, both measured in this run. Ours casts"
echo "samples when composition first needs them: its rays pass aims the rays and builds their"
echo "boxes, and compose redraws a view whose samples are cast; compare the frames."
printf "%-8s %-5s %10s %10s %5s   %10s %10s %5s   %8s %8s %5s\n" pass level "ARM ours" "ARM base" ratio \
    "x86 ours" "x86 base" ratio "D1 ours" "D1 base" ratio
printf '%s' "$rows"
echo
echo "Estimated ARM920T frame times at 200 MHz: cycles of the passes (tools/arm-cycles.awk),"
echo "plus 20 to 40 cycles per D1 read miss, plus presenting the screen ($present_cycles cycles"
echo "and $present_lines read misses)."
printf "%-8s %-5s %-8s %10s %9s %21s %13s\n" frame level set "cycles" "D1 reads" "total cycles" "frames/s"
printf '%s' "$estimates" | awk -v lines=$present_lines -v present=$present_cycles '
    { low = $4 + present + ($5 + lines) * 20; high = $4 + present + ($5 + lines) * 40
      printf "%-8s %-5s %-8s %10d %9d %10d..%-10d %5.0f..%-5.0f\n", $1, $2, $3, $4, $5, low, high,
             200e6 / high, 200e6 / low }'
