#!/usr/bin/env bash
# The libretro core's builds and their ARM checks.
#
#   libretro/libretro.sh package          the PC core and the aarch64 and armhf cores
#                                         (Debian's cross g++), with the .info and a zip,
#                                         in out/libretro/ (./dev libretro)
#   libretro/libretro.sh test-arm X86_BUILD  the aarch64 and armhf cores and the tests'
#                                         frontend, run under qemu-user against the PC
#                                         program of X86_BUILD (./dev test): the same
#                                         frames and sound (tests/libretro/libretro_test.py)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="$(nproc)"
arches=(aarch64 armhf)

runner() {  # runner ARCH: the qemu-user command line of the arch, with its C library
    case "$1" in
    aarch64) echo "qemu-aarch64 -L /usr/aarch64-linux-gnu" ;;
    armhf) echo "qemu-arm -L /usr/arm-linux-gnueabihf" ;;
    esac
}

# cross ARCH SOURCES: build-libretro-ARCH with the core and the tests' frontend, with the
# libmikmod source and libretro.h of the build folder SOURCES (fetched once for all builds).
cross() {
    local dir="$root/build-libretro-$1" sources="$2"
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/libretro/toolchain-$1.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DPALENDRO_TESTS=OFF -DPALENDRO_WINDOW=OFF \
        -DPALENDRO_MIKMOD_CACHE="$sources/_deps/libmikmod" \
        -DPALENDRO_LIBRETRO_HEADER_CACHE="$sources/_deps/libretro" >/dev/null
    cmake --build "$dir" --parallel "$jobs" --target palendro_libretro palendro_libretro_front
}

case "${1:-}" in
package)
    cmake -S "$root" -B "$root/build-libretro" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DPALENDRO_TESTS=OFF -DPALENDRO_WINDOW=OFF >/dev/null
    cmake --build "$root/build-libretro" --parallel "$jobs" --target palendro_libretro
    out="$root/out/libretro"
    mkdir -p "$out"
    cp "$root/build-libretro/libretro/palendro_libretro.so" "$root/libretro/palendro_libretro.info" "$out/"
    for arch in "${arches[@]}"; do
        cross "$arch" "$root/build-libretro"
        mkdir -p "$out/$arch"
        cp "$root/build-libretro-$arch/libretro/palendro_libretro.so" "$out/$arch/"
    done
    (cd "$out" && rm -f palendro_libretro.zip &&
        zip -q palendro_libretro.zip palendro_libretro.so palendro_libretro.info \
            "${arches[@]/%//palendro_libretro.so}")
    echo "libretro: $out/palendro_libretro.so, palendro_libretro.info, palendro_libretro.zip," \
        "${arches[*]/%//palendro_libretro.so}"
    ;;
test-arm)
    x86="${2:?usage: libretro.sh test-arm X86_BUILD}"
    for arch in "${arches[@]}"; do
        cross "$arch" "$x86"
        echo "== libretro core, $arch, under $(runner "$arch")"
        dir="$root/build-libretro-$arch"
        python3 "$root/tests/libretro/libretro_test.py" --native "$x86/shell/palendro" \
            --front "$dir/tests/libretro/palendro_libretro_front" \
            --core "$dir/libretro/palendro_libretro.so" \
            --damaged "$x86/tools/damaged_xm/make_damaged_xm" --runner "$(runner "$arch")"
    done
    ;;
*)
    echo "usage: libretro/libretro.sh package | test-arm X86_BUILD" >&2
    exit 2
    ;;
esac
