// The handheld's kernel interface: Linux 2.4 with the old ARM system-call
// convention. The call's number travels in the swi instruction itself
// (0x900000 + n), arguments in r0..r6, the result comes back in r0, and a
// result in -4095..-1 is the negated error number. A 64-bit argument takes
// the next two registers, low word first, with no register skipped to align
// it (the newer convention would skip one).
#pragma once

#include <cstdint>

namespace hh {

// Each call the program makes, by its number on this kernel, and why.
enum Call : unsigned {
    EXIT = 1,           // _exit: the end of the program
    FORK = 2,           // fork: a child for each kernel-module command
    READ = 3,           // read: files, the touch screen
    WRITE = 4,          // write: the console, files, the sound device
    OPEN = 5,           // open: /dev/mem, the sound device, the module file
    CLOSE = 6,          // close
    LINK = 9,           // link: the C library's link()
    UNLINK = 10,        // unlink: the tests' scratch files
    EXECVE = 11,        // execve: the shell for a command, the launcher at exit
    CHDIR = 12,         // chdir: the launcher starts from its own folder
    LSEEK = 19,         // lseek: the C library's file positions
    GETPID = 20,        // getpid: the C library's raise()
    ACCESS = 33,        // access: does a file exist
    KILL = 37,          // kill: the C library's raise() and abort()
    RENAME = 38,        // rename: files written whole, then moved into place
    MKDIR = 39,         // mkdir: the tests' output folders
    RMDIR = 40,         // rmdir: the tests' output folders
    DUP = 41,           // dup: the tests capture standard output
    BRK = 45,           // brk: the heap
    IOCTL = 54,         // ioctl: the sound device's format and rate, isatty
    DUP2 = 63,          // dup2: the tests capture standard output
    GETTIMEOFDAY = 78,  // gettimeofday: the C library's time()
    MUNMAP = 91,        // munmap: the register block, upper memory, the launcher's screen
    WAIT4 = 114,        // wait4: waitpid for each command's child
    NANOSLEEP = 162,    // nanosleep: short waits
    GETCWD = 183,       // getcwd: the tests' file names
    MMAP2 = 192,        // mmap2: /dev/mem in 4 KiB pages (offsets above 2 GiB)
    FTRUNCATE64 = 194,  // ftruncate64: files cut to a 64-bit length
    STAT64 = 195,       // stat64: size and kind of a file
    FSTAT64 = 197,      // fstat64: the C library asks what a descriptor is
};

constexpr uint32_t SWI_BASE = 0x900000;

template <unsigned N>
inline long call(long a = 0, long b = 0, long c = 0, long d = 0, long e = 0, long f = 0) {
    register long r0 asm("r0") = a;
    register long r1 asm("r1") = b;
    register long r2 asm("r2") = c;
    register long r3 asm("r3") = d;
    register long r4 asm("r4") = e;
    register long r5 asm("r5") = f;
    asm volatile("swi %[n]"
                 : "+r"(r0)
                 : [n] "i"(SWI_BASE + N), "r"(r1), "r"(r2), "r"(r3), "r"(r4), "r"(r5)
                 : "memory");
    return r0;
}

// The C library's error number for the kernel's (they differ above 34).
int errno_from_kernel(int kernel_errno);
// A kernel result as the C library returns it: -1 with errno set on failure.
long result(long raw);

// The kernel's file status (struct stat64 of the old ABI): 64-bit fields
// aligned to 4 bytes only, so st_size starts at byte 44.
struct KernelStat64 {
    uint32_t dev_lo, dev_hi;
    uint32_t pad0;
    uint32_t ino32;
    uint32_t mode;
    uint32_t nlink;
    uint32_t uid, gid;
    uint32_t rdev_lo, rdev_hi;
    uint32_t pad3;
    uint32_t size_lo, size_hi;
    uint32_t blksize;
    uint32_t blocks_lo, blocks_hi;
    uint32_t atime, atime_ns;
    uint32_t mtime, mtime_ns;
    uint32_t ctime, ctime_ns;
    uint32_t ino_lo, ino_hi;
};
static_assert(sizeof(KernelStat64) == 96);
static_assert(__builtin_offsetof(KernelStat64, size_lo) == 44);
static_assert(__builtin_offsetof(KernelStat64, ino_lo) == 88);

// open(2) flags: newlib's values to the kernel's.
int open_flags_to_kernel(int newlib_flags);

}  // namespace hh
