#!/bin/sh
# Builds the SDL-free core and its unit tests for ARMv4T with Debian's armel
# cross compiler, runs the tests under qemu-arm and checks the machine code.
# Usage: tools/check-arm.sh [BUILD_DIR]   (default build-arm; JOBS=2)
#
# The checks:
# - every test passes under qemu-arm emulating an ARM946 (ARMv5TE, no
#   VFP), so an executed divide or VFP instruction stops the tests;
# - every object compiled here (the core, the tests, GoogleTest) is tagged
#   ARMv4T with no floating-point hardware attributes and contains no
#   divide, VFP/FPA/coprocessor or post-ARMv4T instruction;
# - the linked test program has no divide instruction and no floating-point
#   hardware attributes, and its only VFP code lies in functions of the
#   runtime libraries, none of which is defined by the objects above.
#   Debian's armel runtime is built for ARMv5TE, which is why the linked
#   program is tagged v5TE (reported, not an error).
# Prints one summary line; exits non-zero if anything failed.
set -eu

cd "$(dirname "$0")/.."
build=${1:-build-arm}
case $build in /*) ;; *) build="$PWD/$build" ;; esac
jobs=${JOBS:-2}
cross=${ARM_CROSS_PREFIX:-arm-linux-gnueabi-}
start=$(date +%s)

fail() {
    echo "check-arm: FAILED: $*" >&2
    exit 1
}

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/arm-linux-gnueabi.cmake \
      -DARM_CROSS_PREFIX="$cross" -DLANDSCAPE_CORE_ONLY=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$jobs" --target core_tests

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
if [ "$status" != 0 ] || [ "${failed:-1}" != 0 ] || [ "${total:-0}" -le 0 ]; then
    fail "ctest status $status, $failed of $total tests failed under $emulator"
fi

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

objects=$(find "$build/CMakeFiles/landscape_core.dir" "$build/tests/CMakeFiles/core_tests.dir" \
               "$build/googletest" -name '*.o' | sort)
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

program="$build/tests/core_tests"
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
own_functions="$build/own-functions.txt"
for object in $objects; do "${cross}nm" --defined-only "$object"; done |
    awk '$2 ~ /^[TtWw]$/ { print $3 }' | sort -u > "$own_functions"
shared=$(printf '%s\n' "$vfp_functions" | grep -Fx -f "$own_functions" || true)
[ -z "$shared" ] || fail "VFP code in our own functions: $(echo "$shared" | tr '\n' ' ')"
vfp_count=$(printf '%s\n' "$vfp_functions" | grep -c . || true)

echo "check-arm: OK: $passed passed, $skipped skipped, $failed failed of $total tests under $emulator;" \
     "$count objects ARMv4T soft-float without divide/VFP/post-v4T instructions;" \
     "core_tests: no divide, VFP only in $vfp_count runtime functions, tagged $program_arch by Debian's armel runtime;" \
     "$(($(date +%s) - start)) s"
