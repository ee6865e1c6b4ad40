#!/usr/bin/env bash
# The frame counter plugin (bench/handheld/frame_count.c) on a program with
# known figures (frame_count_probe.S): the instructions of each iteration,
# counting stopped inside a translation block, the heap through brk, mmap2
# and munmap, the stack's depth; and a bad argument is refused.
#   tests/bench/frame_count_test.sh WORK_DIR
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
work="${1:?usage: frame_count_test.sh WORK_DIR}"
mkdir -p "$work"
"$root/cmake/fetch_qemu_plugin_header.sh" "$work/qemu-plugin"
gcc -shared -fPIC -O2 -Wall -Wextra -Werror -I"$work/qemu-plugin" -o "$work/frame_count.so" \
    "$root/bench/handheld/frame_count.c"
arm-none-eabi-gcc -march=armv4t -marm -nostdlib -static -Wl,-Ttext=0x10000 \
    -o "$work/probe" "$root/tests/bench/frame_count_probe.S"
address() { printf '0x%s' "$(arm-none-eabi-nm "$work/probe" | awk -v s="$1" '$3 == s { print $1 }')"; }

fail=0
expect() {  # expect WHAT GOT WANTED
    if [ "$2" = "$3" ]; then echo "frame_count: $1 ok ($2)"; else
        echo "frame_count: $1 is '$2', expected '$3'" >&2; fail=1; fi
}
out="$work/counts.txt"
rm -f "$out"
qemu-arm -cpu ti925t -plugin "$work/frame_count.so,out=$out,frame=$(address frame_mark),off=$(address off_here),on=$(address on_mark),end=$(address end_mark)" \
    "$work/probe"
expect "iterations" "$(awk 'NF == 1' "$out" | tr '\n' ' ')" "10 12 14 16 18 "
expect "heap peak" "$(awk '$1 == "heap_peak" { print $2 }' "$out")" $((0x30000 + 0x200000))
expect "stack peak" "$(awk '$1 == "stack_peak" { print $2 }' "$out")" $((0x8008))
expect "brk calls" "$(awk '$1 == "brk_calls" { print $2 }' "$out")" 3
expect "mmap calls" "$(awk '$1 == "mmap_calls" { print $2 }' "$out")" 2

# Without an end marker the last, unfinished iteration is dropped.
qemu-arm -cpu ti925t -plugin "$work/frame_count.so,out=$out,frame=$(address frame_mark),off=$(address off_here),on=$(address on_mark)" \
    "$work/probe"
expect "iterations without an end" "$(awk 'NF == 1' "$out" | tr '\n' ' ')" "10 12 14 16 "

if qemu-arm -cpu ti925t -plugin "$work/frame_count.so,out=$out,frame=zz" "$work/probe" 2>/dev/null; then
    echo "frame_count: a bad address was accepted" >&2
    fail=1
else
    echo "frame_count: a bad address is refused ok"
fi
exit $fail
