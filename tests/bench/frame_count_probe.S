@ A program with known figures for the frame counter plugin (frame_count.c):
@ five loop iterations of 2 * i + 10 counted instructions each (i = 0 .. 4),
@ a program break raised by 0x30000 and lowered again, anonymous mappings
@ of at most 0x200000 bytes at one time, and a stack 0x8008 bytes deep.
@ Old-ABI system calls (swi 0x900000 + n), no C library.
        .text
        .arm
        .global _start
_start:
        push    {r4, r5}                @ the highest stack bytes written
        sub     sp, sp, #0x8000
        str     r0, [sp]                @ the lowest: 0x8008 bytes in all
        add     sp, sp, #0x8000

        mov     r0, #0
        swi     0x90002d                @ brk(0): the first break
        mov     r6, r0
        add     r0, r6, #0x30000
        swi     0x90002d                @ brk(+0x30000): the peak
        add     r0, r6, #0x10000
        swi     0x90002d                @ brk(+0x10000)

        mov     r0, #0
        mov     r1, #0x200000
        mov     r2, #3                  @ PROT_READ | PROT_WRITE
        mov     r3, #0x22               @ MAP_PRIVATE | MAP_ANONYMOUS
        mvn     r4, #0
        mov     r5, #0
        swi     0x9000c0                @ mmap2: 0x200000 mapped
        mov     r7, r0
        add     r0, r7, #0x100000
        mov     r1, #0x100000
        swi     0x90005b                @ munmap of the upper half
        mov     r0, #0
        mov     r1, #0x80000
        mov     r2, #3
        mov     r3, #0x22
        mvn     r4, #0
        mov     r5, #0
        swi     0x9000c0                @ mmap2: 0x180000 mapped, below the peak

        mov     r9, #0
loop:
        bl      frame_mark
        add     r8, r9, #1
inner:
        subs    r8, r8, #1
        bne     inner
        mov     r0, r0
        .global off_here
off_here:                               @ counting stops here, inside a block
        mov     r0, r0
        mov     r0, r0
        bl      on_mark
        add     r9, r9, #1
        cmp     r9, #5
        blt     loop
        bl      end_mark
        mov     r0, #0
        swi     0x900001                @ exit(0)

        .global frame_mark, on_mark, end_mark
frame_mark:
        bx      lr
on_mark:
        bx      lr
end_mark:
        bx      lr
