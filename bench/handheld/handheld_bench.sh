#!/usr/bin/env bash
# The handheld's budget on the PC: builds the headless simulator with an ARM
# toolchain, runs it under qemu-arm with our TCG plugin (frame_count.c) for a
# whole scroll-text cycle and prints, one "key value" per line:
#   arm_frames N          loop iterations measured
#   arm_mean N            mean ARM instructions of one loop iteration
#   arm_worst N           the worst iteration ...
#   arm_worst_at N        ... and its index (0 = the first iteration)
#   arm_mean_first N      mean over the first COMPARE frames (beside the x86 callgrind run)
#   arm_heap_peak BYTES   heap of the simulator process (brk + anonymous mmap)
#   arm_stack_peak BYTES  stack high-water mark
#   device_file BYTES     the handheld binary as built, and stripped:
#   device_stripped BYTES
#   device_text / device_data / device_bss BYTES
#   device_frames N       the device program's loop iterations measured (its test
#                         build under qemu with the sound device's double,
#                         1,024-byte fragments: tests/handheld/device_run_test.py)
#   device_mean N / device_worst N / device_worst_at N   as arm_*, on the device's
#                         own sound path (the OSS driver, GETOSPACE each pass)
#   upper_stores_mean N / upper_stores_worst N / upper_bytes_mean N /
#   upper_bytes_worst N   stores into upper memory (its /dev/mem mapping) per
#                         iteration: uncached on the handheld
#
#   bench/handheld/handheld_bench.sh TOOLCHAIN_FILE OUT_DIR [cmake options...]
# Environment: HANDHELD_FRAMES (default 6600: the scroll text's 6,437 frames
# and the scenes before it), HANDHELD_DEVICE_SECONDS (default 60: the device
# program's sound, seconds of the double's clock, 60 passes each),
# HANDHELD_COMPARE (default 1800),
# HANDHELD_BUILD_TYPE (default Release: -O3, the handheld binary's flags).
#
# A loop iteration is counted from the entry of osd_input (the loop body's
# first call) to the next one, without the vertical-blank wait (from the entry
# of hw_wait_vsync to the entry of music_update): on the handheld that time is
# idle, in the simulator it is the simulator's own frame work. What the
# simulator does inside the counted part (its register file behind hw_rd16 and
# friends, its sound sink behind the mixer) is counted too, a few hundred
# instructions where the handheld takes a load or a store.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
toolchain="${1:?usage: handheld_bench.sh TOOLCHAIN_FILE OUT_DIR [cmake options...]}"
out="${2:?usage: handheld_bench.sh TOOLCHAIN_FILE OUT_DIR [cmake options...]}"
shift 2
frames="${HANDHELD_FRAMES:-6600}"
compare="${HANDHELD_COMPARE:-1800}"
build_type="${HANDHELD_BUILD_TYPE:-Release}"
jobs="$(nproc)"
mkdir -p "$out"
log="$out/bench.log"
: >"$log"

# The plugin, against the header of the qemu that will load it.
"$root/cmake/fetch_qemu_plugin_header.sh" "$out/qemu-plugin"
plugin="$out/frame_count.so"
if [ ! -f "$plugin" ] || [ "$root/bench/handheld/frame_count.c" -nt "$plugin" ] ||
    [ "$out/qemu-plugin/qemu-plugin.h" -nt "$plugin" ]; then
    gcc -shared -fPIC -O2 -Wall -Wextra -Werror -I"$out/qemu-plugin" \
        -o "$plugin" "$root/bench/handheld/frame_count.c"
fi

configure() {  # configure DIR [cmake options...]
    local dir="$1"; shift
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE="$build_type" -DPALENDRO_TESTS=OFF -DPALENDRO_BENCH=OFF \
        "$@" >>"$log" 2>&1 || { echo "handheld_bench: cannot configure $dir (see $log)" >&2; exit 1; }
    cmake --build "$dir" --parallel "$jobs" --target palendro >>"$log" 2>&1 ||
        { echo "handheld_bench: cannot build $dir (see $log)" >&2; exit 1; }
}
tool() {  # tool DIR NAME -> a binutils program of DIR's toolchain (CMAKE_NM, CMAKE_STRIP ...)
    sed -n "s/^CMAKE_$2:FILEPATH=//p" "$1/CMakeCache.txt"
}

echo "handheld_bench: simulator ($build_type) with $(basename "$toolchain")" >&2
configure "$out/sim" -DPALENDRO_WINDOW=OFF "$@"
sim="$out/sim/shell/palendro"
nm="$(tool "$out/sim" NM)"
address() {  # address SYMBOL -> 0x... of SYMBOL in the simulator
    local a
    a="$("$nm" "$sim" | awk -v s="$1" '$3 == s && ($2 == "T" || $2 == "t") { print $1; exit }')"
    [ -n "$a" ] || { echo "handheld_bench: no $1 in $sim" >&2; exit 1; }
    echo "0x$a"
}
counts="$out/frames.txt"
rm -f "$counts"
args="out=$counts,frame=$(address _Z9osd_inputv),off=$(address _Z13hw_wait_vsyncv)"
args+=",on=$(address _Z12music_updatev),end=$(address _Z10music_stopv)"
echo "handheld_bench: $frames frames under qemu-arm -cpu ti925t with the plugin" >&2
(cd "$root" && qemu-arm -cpu ti925t -plugin "$plugin,$args" "$sim" --headless --frames "$frames") \
    >/dev/null 2>>"$log" || { echo "handheld_bench: the simulator failed under qemu (see $log)" >&2; exit 1; }
[ -s "$counts" ] || { echo "handheld_bench: the plugin wrote no counts" >&2; exit 1; }
awk -v compare="$compare" '
    NF == 1 { n++; s += $1; if (n <= compare) c += $1; if ($1 > worst) { worst = $1; at = n - 1 } }
    NF == 2 { extra[$1] = $2 }
    END {
        if (n == 0) exit 1
        printf "arm_frames %d\narm_mean %d\narm_worst %d\narm_worst_at %d\n", n, s / n, worst, at
        printf "arm_mean_first %d\n", c / (n < compare ? n : compare)
        printf "arm_heap_peak %d\narm_stack_peak %d\n", extra["heap_peak"], extra["stack_peak"]
    }' "$counts"

echo "handheld_bench: device binary ($build_type)" >&2
configure "$out/device" -DPALENDRO_DEVICE=ON "$@"
device="$out/device/shell/palendro"
strip="$(tool "$out/device" STRIP)"
size="${strip%strip}size"  # CMake names no size tool: it stands beside strip
"$strip" -o "$out/device-stripped" "$device"
echo "device_file $(stat -c %s "$device")"
echo "device_stripped $(stat -c %s "$out/device-stripped")"
"$size" "$device" | awk 'NR == 2 { printf "device_text %d\ndevice_data %d\ndevice_bss %d\n", $1, $2, $3 }'

echo "handheld_bench: the device program's test build with the sound device's double" >&2
cmake --build "$out/device" --parallel "$jobs" --target palendro_device_test >>"$log" 2>&1 ||
    { echo "handheld_bench: cannot build palendro_device_test (see $log)" >&2; exit 1; }
sim="$out/device/shell/palendro_device_test"  # address() looks here now
upper_page="$(awk '/constexpr uint32_t UPPER_PHYS = / { sub(/u;.*/, "", $5); print $5 }' \
    "$root/hw/regs.h")"
device_counts="$out/device_frames.txt"
rm -f "$device_counts"
args="out=$device_counts,frame=$(address _Z9osd_inputv),off=$(address _Z13hw_wait_vsyncv)"
args+=",on=$(address _Z12music_updatev),end=$(address _Z10music_stopv)"
args+=",upper=$(printf %x $((upper_page >> 12)))"
DEVICE_FRAGMENTS=1024 DEVICE_PLAY_SECONDS="${HANDHELD_DEVICE_SECONDS:-60}" \
    DEVICE_QEMU_PLUGIN="$plugin,$args" python3 "$root/tests/handheld/device_run_test.py" "$sim" \
    "$out/device/device-test-root" "$root" - >>"$log" 2>&1 ||
    { echo "handheld_bench: the device program failed under qemu (see $log)" >&2; exit 1; }
awk '
    NF == 1 { n++; s += $1; if ($1 > worst) { worst = $1; at = n - 1 } }
    NF == 2 && $1 ~ /^upper_/ { print }
    END {
        if (n == 0) exit 1
        printf "device_frames %d\ndevice_mean %d\ndevice_worst %d\ndevice_worst_at %d\n", n, s / n, worst, at
    }' "$device_counts"
