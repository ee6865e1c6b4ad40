// newlib's operating-system hooks and the POSIX calls the program uses, each
// one system call of the handheld's kernel (handheld_syscall.h). newlib's
// own numbers (open flags, error numbers, its 64-bit time_t) are translated
// here; nothing above this file sees the kernel's.
//
// A test build (HANDHELD_TEST_ROOT defined) puts the firmware's folders
// (/dev, /bin, /sbin, /usr) below that folder: the device program then opens
// an ordinary file for /dev/mem, its shell commands and the launcher are
// scripts of the test, and /dev/dsp is the test's device double
// (handheld_dsp_double.h).
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include "handheld/handheld_syscall.h"
#ifdef HANDHELD_TEST_ROOT
#include "handheld/handheld_dsp_double.h"
#define HH_DSP_DOUBLE(when, then)                                                                  \
    if (when) return then
#else
#define HH_DSP_DOUBLE(when, then)
#endif

extern "C" char** environ;

namespace hh {

int errno_from_kernel(int e) {
    switch (e) {  // 1..34 are the same numbers in both
    case 35:
        return EDEADLK;
    case 36:
        return ENAMETOOLONG;
    case 37:
        return ENOLCK;
    case 38:
        return ENOSYS;
    case 39:
        return ENOTEMPTY;
    case 40:
        return ELOOP;
    case 75:
        return EOVERFLOW;
    case 84:
        return EILSEQ;
    case 95:
        return EOPNOTSUPP;
    case 110:
        return ETIMEDOUT;
    default:
        return e;
    }
}

long result(long raw) {
    if (static_cast<unsigned long>(raw) >= static_cast<unsigned long>(-4095L)) {
        errno = errno_from_kernel(int(-raw));
        return -1;
    }
    return raw;
}

int open_flags_to_kernel(int f) {
    int k = f & O_ACCMODE;
    if (f & O_CREAT) k |= 0100;
    if (f & O_EXCL) k |= 0200;
    if (f & O_NOCTTY) k |= 0400;
    if (f & O_TRUNC) k |= 01000;
    if (f & O_APPEND) k |= 02000;
    if (f & O_NONBLOCK) k |= 04000;
    if (f & O_SYNC) k |= 010000;
    return k | 0400000;  // O_LARGEFILE: /dev/mem and big files past 2 GiB
}

}  // namespace hh

namespace {

#ifdef HANDHELD_TEST_ROOT
// A test build's paths into the firmware's folders, below the test's folder.
const char* const FIRMWARE_FOLDERS[] = {"/dev/", "/bin/", "/sbin/", "/usr/"};
bool firmware_path(const char* path) {
    for (const char* folder : FIRMWARE_FOLDERS)
        if (strncmp(path, folder, strlen(folder)) == 0) return true;
    return false;
}
struct Path {
    char text[512];
    // A name that does not fit becomes the empty name (the kernel says
    // ENOENT): cut short, a firmware path could reach the machine's own.
    explicit Path(const char* path) {
        const char* root = firmware_path(path) ? HANDHELD_TEST_ROOT : "";
        const size_t n = strlen(root), m = strlen(path);
        text[0] = 0;
        if (n + m < sizeof text) {
            memcpy(text, root, n);
            memcpy(text + n, path, m + 1);
        }
    }
    long arg() const { return long(text); }
};
#else
struct Path {
    const char* text;
    explicit Path(const char* path) : text(path) {}
    long arg() const { return long(text); }
};
#endif

void stat_from_kernel(const hh::KernelStat64& k, struct stat* st) {
    memset(st, 0, sizeof *st);
    st->st_dev = dev_t(k.dev_lo);
    st->st_ino = ino_t(k.ino_lo);
    st->st_mode = mode_t(k.mode);
    st->st_nlink = nlink_t(k.nlink);
    st->st_uid = uid_t(k.uid);
    st->st_gid = gid_t(k.gid);
    st->st_rdev = dev_t(k.rdev_lo);
    // off_t is 32 bits here: sizes past 2 GiB are cut to the largest one.
    st->st_size = k.size_hi || k.size_lo > 0x7FFFFFFFu ? off_t(0x7FFFFFFF) : off_t(k.size_lo);
    st->st_blksize = blksize_t(k.blksize);
    st->st_blocks = blkcnt_t(k.blocks_lo);
    st->st_atime = time_t(k.atime);
    st->st_mtime = time_t(k.mtime);
    st->st_ctime = time_t(k.ctime);
}

struct KernelTime {
    long sec, frac;  // microseconds (timeval) or nanoseconds (timespec)
};

}  // namespace

static constexpr int POPEN_SLOTS = 64;
static pid_t g_popen_children[POPEN_SLOTS];  // by descriptor

extern "C" {

// newlib's hooks.

int _open(const char* path, int flags, ...) {
    va_list ap;
    va_start(ap, flags);
    int mode = (flags & O_CREAT) ? va_arg(ap, int) : 0;
    va_end(ap);
    HH_DSP_DOUBLE(int fd = hh::dsp_double_open(path); fd != -2, fd);
    Path p(path);
    return int(hh::result(hh::call<hh::OPEN>(p.arg(), hh::open_flags_to_kernel(flags), mode)));
}
int _close(int fd) {
    HH_DSP_DOUBLE(hh::dsp_double_is(fd), (hh::dsp_double_close(), 0));
    return int(hh::result(hh::call<hh::CLOSE>(fd)));
}
int _read(int fd, char* buf, int n) {
    return int(hh::result(hh::call<hh::READ>(fd, long(buf), n)));
}
int _write(int fd, const char* buf, int n) {
    HH_DSP_DOUBLE(hh::dsp_double_is(fd), int(hh::result(hh::dsp_double_write(buf, n))));
    return int(hh::result(hh::call<hh::WRITE>(fd, long(buf), n)));
}
off_t _lseek(int fd, off_t offset, int whence) {
    return off_t(hh::result(hh::call<hh::LSEEK>(fd, long(offset), whence)));
}
int _fstat(int fd, struct stat* st) {
    hh::KernelStat64 k;
    if (hh::result(hh::call<hh::FSTAT64>(fd, long(&k))) < 0) return -1;
    stat_from_kernel(k, st);
    return 0;
}
int _stat(const char* path, struct stat* st) {
    hh::KernelStat64 k;
    Path p(path);
    if (hh::result(hh::call<hh::STAT64>(p.arg(), long(&k))) < 0) return -1;
    stat_from_kernel(k, st);
    return 0;
}
int _isatty(int fd) {
    unsigned char termios[64];  // TCGETS fills a struct termios (36 bytes) on a terminal
    if (hh::result(hh::call<hh::IOCTL>(fd, 0x5401, long(termios))) < 0) {
        errno = ENOTTY;
        return 0;
    }
    return 1;
}
void* _sbrk(ptrdiff_t increment) {
    static char* g_break = nullptr;
    if (!g_break) g_break = reinterpret_cast<char*>(hh::call<hh::BRK>(0));
    char* old = g_break;
    char* wanted = old + increment;
    // brk returns the new break, or the old one when the kernel refuses.
    char* got = reinterpret_cast<char*>(hh::call<hh::BRK>(long(wanted)));
    if (got != wanted) {
        errno = ENOMEM;
        return reinterpret_cast<void*>(-1);
    }
    g_break = wanted;
    return old;
}
void _exit(int status) {
    for (;;) hh::call<hh::EXIT>(status);
}
int _kill(int pid, int sig) { return int(hh::result(hh::call<hh::KILL>(pid, sig))); }
int _getpid() { return int(hh::call<hh::GETPID>()); }
int _gettimeofday(struct timeval* tv, void*) {
    KernelTime k;
    if (hh::result(hh::call<hh::GETTIMEOFDAY>(long(&k), 0)) < 0) return -1;
    if (tv) {
        tv->tv_sec = time_t(k.sec);
        tv->tv_usec = suseconds_t(k.frac);
    }
    return 0;
}
int _unlink(const char* path) {
    Path p(path);
    return int(hh::result(hh::call<hh::UNLINK>(p.arg())));
}
int _link(const char* from, const char* to) {
    Path a(from), b(to);
    return int(hh::result(hh::call<hh::LINK>(a.arg(), b.arg())));
}
int _mkdir(const char* path, mode_t mode) {
    Path p(path);
    return int(hh::result(hh::call<hh::MKDIR>(p.arg(), long(mode))));
}
int _fork() { return int(hh::result(hh::call<hh::FORK>())); }
int _execve(const char* path, char* const argv[], char* const envp[]) {
    Path p(path);
    return int(hh::result(hh::call<hh::EXECVE>(p.arg(), long(argv), long(envp))));
}
int _wait(int* status) { return int(hh::result(hh::call<hh::WAIT4>(-1, long(status), 0, 0))); }

// POSIX calls newlib leaves out.

void* mmap(void* address, size_t length, int prot, int flags, int fd, off_t offset) {
    // mmap2 counts the offset in 4 KiB pages: physical addresses up to 4 GiB.
    const uint32_t bytes = uint32_t(offset);
    if (bytes & 0xFFF) {
        errno = EINVAL;
        return MAP_FAILED;
    }
    long r = hh::call<hh::MMAP2>(long(address), long(length), prot, flags, fd, long(bytes >> 12));
    if (hh::result(r) == -1) return MAP_FAILED;  // no mapping starts in the last page
    return reinterpret_cast<void*>(r);
}
int munmap(void* address, size_t length) {
    return int(hh::result(hh::call<hh::MUNMAP>(long(address), long(length))));
}
int ioctl(int fd, unsigned long request, ...) {
    va_list ap;
    va_start(ap, request);
    void* arg = va_arg(ap, void*);
    va_end(ap);
    HH_DSP_DOUBLE(hh::dsp_double_is(fd), int(hh::result(hh::dsp_double_ioctl(request, arg))));
    return int(hh::result(hh::call<hh::IOCTL>(fd, long(request), long(arg))));
}
int nanosleep(const struct timespec* want, struct timespec* left) {
    KernelTime k{long(want->tv_sec), want->tv_nsec}, rest{0, 0};
    int r = int(hh::result(hh::call<hh::NANOSLEEP>(long(&k), long(&rest))));
    if (left) {
        left->tv_sec = time_t(rest.sec);
        left->tv_nsec = rest.frac;
    }
    return r;
}
int usleep(useconds_t us) {
    struct timespec t {
        time_t(us / 1000000), long(us % 1000000) * 1000
    };
    return nanosleep(&t, nullptr);
}
unsigned sleep(unsigned seconds) {
    struct timespec t {
        time_t(seconds), 0
    };
    return nanosleep(&t, nullptr) == 0 ? 0 : seconds;
}
int chdir(const char* path) {
    Path p(path);
    return int(hh::result(hh::call<hh::CHDIR>(p.arg())));
}
int execve(const char* path, char* const argv[], char* const envp[]) {
    return _execve(path, argv, envp);
}
int execv(const char* path, char* const argv[]) { return _execve(path, argv, environ); }
int execl(const char* path, const char* arg0, ...) {
    const char* argv[16];
    int n = 0;
    argv[n++] = arg0;
    va_list ap;
    va_start(ap, arg0);
    for (const char* a = arg0; a;) {
        a = va_arg(ap, const char*);
        if (n == 16) {  // no room for this one and the closing null
            va_end(ap);
            errno = E2BIG;
            return -1;
        }
        argv[n++] = a;
    }
    va_end(ap);
    return _execve(path, const_cast<char* const*>(argv), environ);
}
pid_t fork() { return _fork(); }
pid_t waitpid(pid_t pid, int* status, int options) {
    return pid_t(hh::result(hh::call<hh::WAIT4>(pid, long(status), options, 0)));
}
// The kernel-module commands go through the firmware's shell, one child each.
int system(const char* command) {
    if (!command) return 1;
    const pid_t child = _fork();
    if (child < 0) return -1;
    if (child == 0) {
        const char* argv[] = {"sh", "-c", command, nullptr};
        _execve("/bin/sh", const_cast<char* const*>(argv), environ);
        _exit(127);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return status;
}
int pipe(int fds[2]) { return int(hh::result(hh::call<hh::PIPE>(long(fds)))); }
// A command's output or input through a pipe: one child of the shell per stream.
FILE* popen(const char* command, const char* mode) {
    const bool reading = mode[0] == 'r';
    int fds[2];
    if (pipe(fds) != 0) return nullptr;
    const pid_t child = _fork();
    if (child < 0) {
        _close(fds[0]);
        _close(fds[1]);
        return nullptr;
    }
    if (child == 0) {
        dup2(reading ? fds[1] : fds[0], reading ? 1 : 0);
        _close(fds[0]);
        _close(fds[1]);
        const char* argv[] = {"sh", "-c", command, nullptr};
        _execve("/bin/sh", const_cast<char* const*>(argv), environ);
        _exit(127);
    }
    _close(reading ? fds[1] : fds[0]);
    FILE* f = fdopen(reading ? fds[0] : fds[1], reading ? "r" : "w");
    if (!f) return nullptr;
    g_popen_children[fileno(f) % POPEN_SLOTS] = child;
    return f;
}
int pclose(FILE* f) {
    const pid_t child = g_popen_children[fileno(f) % POPEN_SLOTS];
    fclose(f);
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return status;
}
char* getcwd(char* buf, size_t size) {
    if (hh::result(hh::call<hh::GETCWD>(long(buf), long(size))) < 0) return nullptr;
    return buf;
}
int access(const char* path, int mode) {
    Path p(path);
    return int(hh::result(hh::call<hh::ACCESS>(p.arg(), mode)));
}
int rmdir(const char* path) {
    Path p(path);
    return int(hh::result(hh::call<hh::RMDIR>(p.arg())));
}
// newlib's own rename links and unlinks; the kernel's replaces in one step,
// as a file written whole and then moved into place needs.
int rename(const char* from, const char* to) {
    Path a(from), b(to);
    return int(hh::result(hh::call<hh::RENAME>(a.arg(), b.arg())));
}
int mkdir(const char* path, mode_t mode) { return _mkdir(path, mode); }
ssize_t readlink(const char* path, char* buf, size_t size) {
    Path p(path);
    return ssize_t(hh::result(hh::call<hh::READLINK>(p.arg(), long(buf), long(size))));
}
long pathconf(const char*, int) { return 4096; }  // every limit asked: PATH_MAX, the largest
unsigned alarm(unsigned seconds) { return unsigned(hh::call<hh::ALARM>(long(seconds))); }
int truncate(const char* path, off_t length) {
    Path p(path);
    const int64_t n = length;
    return int(
        hh::result(hh::call<hh::TRUNCATE64>(p.arg(), long(uint32_t(n)), long(uint32_t(n >> 32)))));
}
int dup(int fd) { return int(hh::result(hh::call<hh::DUP>(fd))); }
int dup2(int fd, int to) { return int(hh::result(hh::call<hh::DUP2>(fd, to))); }
int ftruncate(int fd, off_t length) {
    // The 64-bit length in r1 (low) and r2 (high), right after the descriptor.
    const int64_t n = length;
    return int(
        hh::result(hh::call<hh::FTRUNCATE64>(fd, long(uint32_t(n)), long(uint32_t(n >> 32)))));
}

}  // extern "C"
