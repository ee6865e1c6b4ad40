#!/usr/bin/env bash
# The handheld build (cmake/toolchain-handheld.cmake: newlib, ARMv4T, the
# firmware's Linux 2.4 system calls from handheld/) and its checks on the PC.
#
#   handheld/handheld.sh package          the device binary, checked, and the folder
#                                         for the SD card: out/handheld/ (./dev handheld)
#   handheld/handheld.sh test X86_PROGRAM everything of package, then the checks that
#                                         stand in for the hardware (./dev test):
#     - the simulator and the test suite of this build under qemu-arm -cpu ti925t;
#     - HANDHELD_FRAMES (default 1800) headless frames: the same frame hashes and
#       WAV bytes as X86_PROGRAM (the PC build of the same tree);
#     - the device program's test build (its /dev/mem an ordinary file, its
#       /dev/dsp the sound device's double) run whole under qemu at four
#       fragment sizes (tests/handheld/device_run_test.py).
# The real palendro.gpe is never run here: under user-mode qemu it would reach
# this machine's own /dev/mem.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$root/build-handheld"
toolchain="$root/cmake/toolchain-handheld.cmake"
frames="${HANDHELD_FRAMES:-1800}"
jobs="$(nproc)"
mode="${1:-}"
case "$mode" in
package) ;;
test) x86="${2:?usage: handheld.sh test X86_PROGRAM}" ;;
*) echo "usage: handheld/handheld.sh package | test X86_PROGRAM" >&2; exit 2 ;;
esac

configure() {  # configure DIR [cmake options...]: one libmikmod source for both builds
    local dir="$1"; shift
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DPALENDRO_MIKMOD_CACHE="$out/_deps/libmikmod" "$@" >/dev/null
    cmake --build "$dir" --parallel "$jobs"
}

echo "== device binary: ARMv4T, soft float, newlib, static"
configure "$out/device" -DPALENDRO_DEVICE=ON
device="$out/device/shell/palendro"
python3 "$root/handheld/check_binary.py" "$device"
# The test builds' helpers (the sound device's double, temporary files) stay out of it.
if arm-none-eabi-nm "$device" | grep -E ' (hh::)?(dsp_double_[a-z]+|mkstemp|mkdtemp)$|dsp_double' >&2; then
    echo "palendro: carries test-only code (above)" >&2
    exit 1
fi
python3 "$root/handheld/check_binary.py" "$out/device/shell/palendro_device_test" | tail -1

card="$root/out/handheld/palendro"
rm -rf "$card" "$root/out/handheld/palendro-handheld.zip"
mkdir -p "$card"
cp "$device" "$card/palendro.gpe"
cp "$root/bellwarm_harmonic.xm" "$card/"
cp "$root/handheld/README.txt" "$card/README.txt"
python3 - "$root/out/handheld" <<'PY'
import os, sys, zipfile
base = sys.argv[1]
with zipfile.ZipFile(os.path.join(base, "palendro-handheld.zip"), "w", zipfile.ZIP_DEFLATED) as z:
    for name in sorted(os.listdir(os.path.join(base, "palendro"))):
        info = zipfile.ZipInfo("palendro/" + name, (2026, 1, 1, 0, 0, 0))
        info.external_attr = (0o755 if name.endswith(".gpe") else 0o644) << 16
        info.compress_type = zipfile.ZIP_DEFLATED
        with open(os.path.join(base, "palendro", name), "rb") as f:
            z.writestr(info, f.read())
PY
echo "card folder: out/handheld/palendro/ ($(ls "$card" | tr '\n' ' ')), zip: out/handheld/palendro-handheld.zip ($(wc -c <"$root/out/handheld/palendro-handheld.zip") bytes)"
[ "$mode" = package ] && exit 0

echo "== GoogleTest for newlib"
gtest="$out/gtest-prefix"
if [ ! -f "$gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
    # newlib has no regular expressions and no PATH_MAX.
    cmake -S /usr/src/googletest -B "$out/gtest" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=ON \
        -DCMAKE_CXX_FLAGS="-DPATH_MAX=4096 -DGTEST_HAS_POSIX_RE=0" \
        -DCMAKE_INSTALL_PREFIX="$gtest" >/dev/null
    cmake --build "$out/gtest" --parallel "$jobs" --target install >/dev/null
fi

echo "== simulator and test suite under qemu-arm -cpu ti925t"
configure "$out/suite" -DCMAKE_PREFIX_PATH="$gtest"
status=0
# The C++ library cannot list folders here, so the tests cannot remove theirs:
# they go into a folder of ours.
tmp="$out/tmp"
rm -rf "$tmp" && mkdir -p "$tmp"
TMPDIR="$tmp" ctest --test-dir "$out/suite" --output-on-failure -j "$jobs" || status=1
rm -rf "$tmp"

echo "== x86-64 against the handheld build: $frames frames headless"
cmp_dir="$out/compare"
mkdir -p "$cmp_dir"
run() {  # run NAME COMMAND...
    local name="$1"; shift
    (cd "$root" && "$@" --headless --frames "$frames" --frame-hash --wav "$cmp_dir/$name.wav") \
        >"$cmp_dir/$name.hashes" 2>"$cmp_dir/$name.err"
}
run x86 "$x86"
run arm qemu-arm -cpu ti925t "$out/suite/shell/palendro"
for kind in hashes wav; do
    a="$cmp_dir/x86.$kind" b="$cmp_dir/arm.$kind"
    if cmp -s "$a" "$b" && [ -s "$a" ]; then
        echo "$kind: identical ($(wc -c <"$a") bytes, sha256 $(sha256sum "$a" | cut -c1-16))"
    else
        status=1
        echo "$kind: DIFFER ($(wc -c <"$a" 2>/dev/null || echo 0) against $(wc -c <"$b" 2>/dev/null || echo 0) bytes)"
        [ "$kind" = hashes ] && { diff "$a" "$b" | head -4 || true; }
    fi
done

echo "== device program, its /dev/mem an ordinary file, under qemu-arm -cpu ti925t"
python3 "$root/tests/handheld/device_run_test.py" "$out/device/shell/palendro_device_test" \
    "$out/device/device-test-root" "$root" "$cmp_dir/x86.wav" || status=1
exit $status
