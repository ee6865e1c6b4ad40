#!/usr/bin/env bash
# The handheld build and its check on the PC (./dev cross):
#   1. the armel sysroot (make_sysroot.sh) and GoogleTest built for armel into it;
#   2. the device binary: ARMv4T, soft float, linked statically (the handheld's
#      own C library is far older than Debian's, so nothing is taken from it);
#   3. the simulator and the test suite for the same target, the tests run
#      under qemu-arm through ctest;
#   4. the same headless run on x86-64 and on armel under qemu: the frame
#      hashes and the WAV bytes must be identical.
# Environment: CROSS_FRAMES (frames of the comparison run, default 600).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
out="$root/build-cross"
sysroot="$out/sysroot"
toolchain="$root/cmake/toolchain-armel.cmake"
frames="${CROSS_FRAMES:-600}"
jobs="$(nproc)"
export QEMU_LD_PREFIX=/usr/arm-linux-gnueabi

"$root/tools/cross/make_sysroot.sh" "$sysroot"
if [ ! -f "$sysroot/usr/lib/cmake/GTest/GTestConfig.cmake" ]; then
    cmake -S /usr/src/googletest -B "$out/gtest" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DPALENDRO_SYSROOT="$sysroot" -DCMAKE_INSTALL_PREFIX="$sysroot/usr" -DBUILD_GMOCK=OFF \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$out/gtest" --parallel "$jobs" --target install >/dev/null
fi

configure() {  # configure DIR [cmake options...]
    local dir="$1"; shift
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DPALENDRO_SYSROOT="$sysroot" "$@" >/dev/null
    cmake --build "$dir" --parallel "$jobs"
}

echo "== device binary (ARMv4T, soft float, static)"
configure "$out/device" -DPALENDRO_DEVICE=ON -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_EXE_LINKER_FLAGS=-static -DCMAKE_PROJECT_INCLUDE="$root/tools/cross/static.cmake"
device="$out/device/shell/palendro"
file -b "$device" | cut -d, -f1-4
arm-linux-gnueabi-size "$device" | tail -1 | awk '{print "text " $1 ", data " $2 ", bss " $3 " bytes"}'
# Our objects say v4T; the linked C, C++ and module-player libraries come from
# Debian's armel, which is ARMv5TE, and the binary as a whole says so.
echo "our code:      $(arm-linux-gnueabi-readelf -A "$out/device/shell/CMakeFiles/palendro.dir/entry_device.cpp.o" | awk -F: '/Tag_CPU_arch:/ {gsub(/ /, "", $2); print $2}')"
echo "whole binary:  $(arm-linux-gnueabi-readelf -A "$device" | awk -F: '/Tag_CPU_arch:/ {gsub(/ /, "", $2); print $2}')"

echo "== simulator and tests for armel, under qemu-arm"
configure "$out/sim" -DCMAKE_BUILD_TYPE=RelWithDebInfo
status=0
ctest --test-dir "$out/sim" --output-on-failure -j "$jobs" || status=1

echo "== x86-64 against armel: $frames frames headless"
cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
cmake --build "$root/build" --parallel "$jobs" --target palendro >/dev/null
cmp_dir="$out/compare"
mkdir -p "$cmp_dir"
run() {  # run NAME COMMAND...
    local name="$1"; shift
    (cd "$root" && "$@" --headless --frames "$frames" --frame-hash --wav "$cmp_dir/$name.wav") \
        >"$cmp_dir/$name.hashes" 2>"$cmp_dir/$name.err"
}
run x86 "$root/build/shell/palendro"
lib="$sysroot/usr/lib/arm-linux-gnueabi"
run armel qemu-arm -E LD_LIBRARY_PATH="$lib:$sysroot/lib/arm-linux-gnueabi:$lib/pulseaudio" \
    "$out/sim/shell/palendro"
for kind in hashes wav; do
    a="$cmp_dir/x86.$kind" b="$cmp_dir/armel.$kind"
    if cmp -s "$a" "$b"; then
        echo "$kind: identical ($(wc -c <"$a") bytes, sha256 $(sha256sum "$a" | cut -c1-16))"
    else
        status=1
        echo "$kind: DIFFER ($(wc -c <"$a") against $(wc -c <"$b") bytes)"
        [ "$kind" = hashes ] && diff "$a" "$b" | head -4
        [ "$kind" = wav ] && cmp "$a" "$b" | head -1
    fi
done
exit $status
