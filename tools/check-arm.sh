#!/bin/sh
# Builds the whole program and the core's unit tests for ARMv4T with Debian's
# armel cross compiler, linked dynamically against Debian's armel SDL 1.2 and
# runtime unpacked into BUILD_DIR/sysroot (tools/arm-sysroot.sh), runs them
# under qemu-arm and checks the machine code.
# Usage: tools/check-arm.sh [BUILD_DIR]   (default build-arm; JOBS=2)
# Leaves the program at BUILD_DIR/landscape, and BUILD_DIR/run-landscape,
# which starts it under qemu-arm with that sysroot.
#
# The checks:
# - every core test passes under qemu-arm emulating an ARM946 (ARMv5TE, no
#   VFP), so an executed divide or VFP instruction stops the tests;
# - the program passes the end-to-end suite (tests/end_to_end.sh) under Xvfb
#   through run-landscape, and saves the very same screenshots as an x86
#   build of it (BUILD_DIR/host) flying the same scripted flight
#   (tests/same_screenshots.sh);
# - every object compiled here (the core, the shell, the tests, the preload
#   libraries, GoogleTest) is tagged ARMv4T with no floating-point hardware
#   attributes and contains no divide, VFP/FPA/coprocessor or post-ARMv4T
#   instruction;
# - the linked programs have no divide instruction and no floating-point
#   hardware attributes, and their only VFP code lies in functions of the
#   runtime libraries, none of which is defined by the objects above.
#   Debian's armel runtime is built for ARMv5TE, which is why the linked
#   programs are tagged v5TE (reported, not an error).
# Prints one summary line; exits non-zero if anything failed.
set -eu

cd "$(dirname "$0")/.."
build=${1:-build-arm}
case $build in /*) ;; *) build="$PWD/$build" ;; esac
jobs=${JOBS:-2}
cross=${ARM_CROSS_PREFIX:-arm-linux-gnueabi-}
triplet=${cross%-}
start=$(date +%s)

fail() {
    echo "check-arm: FAILED: $*" >&2
    exit 1
}

tools/arm-sysroot.sh "$build"
sysroot="$build/sysroot"
# The sysroot goes into link flags, which split at spaces: where the build
# directory's path holds one, the build reads the sysroot through a link
# whose path has none (the same for the same directory).
case $sysroot in
*" "*)
    link="/tmp/landscape-arm-sysroot-$(echo "$sysroot" | md5sum | cut -c1-12)"
    ln -sfn "$sysroot" "$link"
    sysroot=$link ;;
esac
# A build directory configured before without this sysroot (the static
# core-only build) keeps its link flags in its cache: start it afresh.
grep -qsxF "ARM_SYSROOT:PATH=$sysroot" "$build/CMakeCache.txt" || rm -f "$build/CMakeCache.txt"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/arm-linux-gnueabi.cmake -DARM_SYSROOT="$sysroot" \
      -DARM_CROSS_PREFIX="$cross" -DLANDSCAPE_CORE_ONLY=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$jobs" --target core_tests landscape refuse_video_mode scripted_events menu_stand_in
# The x86 build the screenshots are compared with, the launcher, and the
# renderer that checks screenshots.
cmake -S . -B "$build/host" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLANDSCAPE_CORE_ONLY=OFF -DLANDSCAPE_TESTS=ON
cmake --build "$build/host" -j"$jobs" --target landscape scripted_events render_frame run_landscape_arm
install -m 755 "$build/host/tools/run_landscape_arm" "$build/run-landscape"

# The tests, under the emulator the toolchain file chose.
junit="$build/core_tests-junit.xml"
rm -f "$junit"
status=0
(cd "$build" && ctest --output-on-failure -j"$jobs" --output-junit "$junit") || status=$?
[ -f "$junit" ] || fail "ctest stopped (status $status) before reporting any test results"
suite=$(sed -n '/<testsuite /,/>/p' "$junit" | tr '\n\t' '  ')
attribute() {
    echo "$suite" | sed -n "s/.* $1=\"\([0-9]*\)\".*/\1/p"
}
total=$(attribute tests)
failed=$(attribute failures)
skipped=$(attribute skipped)
passed=$((total - failed - skipped))
emulator=$(grep -o 'qemu-arm[^]"]*' "$build"/tests/core_tests*_include.cmake | head -n1 | tr ';' ' ')
emulator=${emulator%% -L *}
if [ "$status" != 0 ] || [ "${failed:-1}" != 0 ] || [ "${total:-0}" -le 0 ]; then
    fail "ctest status $status, $failed of $total tests failed under $emulator"
fi

# The whole program as a user runs it, and beside the x86 build.
EXPECT_SDL_LIBRARY="$build/sysroot/usr/lib/$triplet/libSDL-1.2.so" tests/end_to_end.sh "$build/run-landscape" \
    "$build/tests/preload libraries" "$build/host/tools/render_frame" >"$build/end_to_end.log" 2>&1 ||
    { cat "$build/end_to_end.log"; fail "the end-to-end suite failed on the ARM build"; }
end_to_end=$(tail -n 1 "$build/end_to_end.log")
tests/same_screenshots.sh "$build/host/landscape" "$build/host/tests/preload libraries/libscripted_events.so" \
    "$build/run-landscape" "$build/tests/preload libraries/libscripted_events.so" \
    >"$build/same_screenshots.log" 2>&1 ||
    { cat "$build/same_screenshots.log"; fail "the ARM build's screenshots are not the x86 build's"; }
same=$(grep -c '^ok: .* is the same from both builds$' "$build/same_screenshots.log")

# Instructions the console's ARM920T does not have: hardware divide,
# VFP/NEON and the older FPA and VFP mnemonics, coprocessor access (no FPU
# coprocessors there), and everything added after ARMv4T.
not_v4t='^(sdiv|udiv|v[a-z]|ldf|stf|lfm|sfm|mvf|mnf|adf|suf|muf|dvf|fl[td]|fst|fmr|fms|fmx|fcp|fcmp|fadd|fsub|fmul|fdiv|ldc|stc|mrc|mcr|cdp|mrrc|mcrr|blx|clz|ldrd|strd|pld|bkpt|smul[bt]|smulw|smla[bt]|smlaw|smlal[bt]|qd?add|qd?sub|ldrex|strex|clrex|rev|[su]xt|[su]q?add8|[su]q?add16|[su]q?sub8|[su]q?sub16|sel|usad|ssat|usat|pkh|dmb|dsb|isb|movw|movt|bfc|bfi|sbfx|ubfx|rbit|mls|cps|srs|rfe|setend|wfi|wfe|sev|yield|smc)'
fp_hardware='Tag_(FP_arch|VFP_arch|Advanced_SIMD_arch|ABI_VFP_args|ABI_HardFP_use|WMMX_arch)'

# Mnemonics of a disassembly, each prefixed by its function: "function mnemonic".
mnemonics() {
    "${cross}objdump" -d --no-show-raw-insn "$@" |
        awk -F'\t' '/^[0-9a-f]+ <.*>:$/ { split($0, f, "<"); fn = substr(f[2], 1, length(f[2]) - 2) }
                    NF >= 2 && $1 ~ /^ *[0-9a-f]+:$/ { split($2, m, " "); print fn, m[1] }'
}

objects=$(find "$build/CMakeFiles/landscape_core.dir" "$build/CMakeFiles/landscape_app.dir" \
               "$build/CMakeFiles/landscape.dir" "$build/tests/CMakeFiles/core_tests.dir" \
               "$build/tests/CMakeFiles/refuse_video_mode.dir" "$build/tests/CMakeFiles/scripted_events.dir" \
               "$build/tests/CMakeFiles/menu_stand_in.dir" \
               "$build/googletest" -name '*.o' | sort)
# One object a line: the build directory's path may hold spaces.
newline='
'
IFS=$newline
count=0
for object in $objects; do
    count=$((count + 1))
    attributes=$("${cross}readelf" -A "$object")
    echo "$attributes" | grep -q 'Tag_CPU_arch: v4T$' ||
        fail "$object is not ARMv4T: $(echo "$attributes" | grep 'Tag_CPU_arch:' || echo 'no architecture tag')"
    if echo "$attributes" | grep -Eq "$fp_hardware"; then
        fail "$object asks for floating-point hardware: $(echo "$attributes" | grep -E "$fp_hardware" | tr -s ' \n' ' ')"
    fi
    bad=$(mnemonics "$object" | awk -v re="$not_v4t" '$2 ~ re' | sort -u | head -n 5)
    [ -z "$bad" ] || fail "$object has instructions an ARM920T lacks: $(echo "$bad" | tr '\n' ';')"
done
[ "$count" -gt 0 ] || fail "no object files found in $build"

own_functions="$build/own-functions.txt"
for object in $objects; do "${cross}nm" --defined-only "$object"; done |
    awk '$2 ~ /^[TtWw]$/ { print $3 }' | sort -u > "$own_functions"
programs=""
for program in "$build/tests/core_tests" "$build/landscape"; do
    name=${program##*/}
    program_attributes=$("${cross}readelf" -A "$program")
    if echo "$program_attributes" | grep -Eq "$fp_hardware"; then
        fail "$program asks for floating-point hardware"
    fi
    program_arch=$(echo "$program_attributes" | sed -n 's/.*Tag_CPU_arch: //p')
    listing=$(mnemonics "$program")
    divides=$(echo "$listing" | awk '$2 ~ /^(sdiv|udiv)/' | wc -l)
    [ "$divides" = 0 ] || fail "$program has $divides divide instructions"
    # Functions with VFP code must all come from the runtime libraries.
    vfp_functions=$(echo "$listing" | awk '$2 ~ /^(v[a-z]|fl[td]|fst|fmr|fmx)/ { print $1 }' | sort -u)
    shared=$(printf '%s\n' "$vfp_functions" | grep -Fx -f "$own_functions" || true)
    [ -z "$shared" ] || fail "VFP code in our own functions of $name: $(echo "$shared" | tr '\n' ' ')"
    vfp_count=$(printf '%s\n' "$vfp_functions" | grep -c . || true)
    programs="$programs $name: no divide, VFP only in $vfp_count runtime functions, tagged $program_arch;"
done

echo "check-arm: OK: $passed passed, $skipped skipped, $failed failed of $total core tests under $emulator;" \
     "the program under $emulator with Debian's armel SDL ($(wc -l <"$sysroot/packages.txt") packages):" \
     "end to end $end_to_end, $same of 4 screenshots identical to the x86 build's;" \
     "$count objects ARMv4T soft-float without divide/VFP/post-v4T instructions;$programs" \
     "$(($(date +%s) - start)) s"
