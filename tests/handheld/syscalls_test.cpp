// The handheld's system-call layer (handheld/), run under qemu-arm, which
// takes the old-ABI calls the way the handheld's kernel does: newlib's view
// of each call (its open flags, error numbers, struct stat, time_t) against
// what the kernel did.
#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <string>

#include "handheld/handheld_syscall.h"

// newlib declares it only for targets with POSIX timers; handheld/ has it.
extern "C" int nanosleep(const struct timespec* want, struct timespec* left);

namespace {

struct Folder {
    std::string path;
    Folder() {
        const char* tmp = getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/palendro-syscalls-XXXXXX";
        const char* made = mkdtemp(pattern.data());
        path = made ? made : "";
    }
    ~Folder() {
        if (!path.empty()) system(("rm -rf " + path).c_str());
    }
    std::string operator/(const char* name) const { return path + "/" + name; }
};

std::string contents(const std::string& path) {
    std::string s;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return "<missing>";
    for (int c; (c = fgetc(f)) != EOF;) s += char(c);
    fclose(f);
    return s;
}

void write_file(const std::string& path, const std::string& text) {
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
}

TEST(HandheldCalls, OpenFlagsReachTheKernelAsItsOwn) {
    Folder d;
    ASSERT_FALSE(d.path.empty());
    const std::string f = d / "f";
    int fd = open(f.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(write(fd, "abc", 3), 3);
    close(fd);
    errno = 0;
    EXPECT_EQ(open(f.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644), -1);
    EXPECT_EQ(errno, EEXIST);

    fd = open(f.c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(write(fd, "de", 2), 2);
    close(fd);
    EXPECT_EQ(contents(f), "abcde");

    fd = open(f.c_str(), O_RDWR | O_TRUNC);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(lseek(fd, 0, SEEK_END), 0);
    close(fd);
    EXPECT_EQ(contents(f), "");

    struct stat st;
    ASSERT_EQ(stat(f.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);  // the mode argument came through
}

TEST(HandheldCalls, KernelErrorsBecomeNewlibsNumbers) {
    Folder d;
    errno = 0;
    EXPECT_EQ(open((d / "missing").c_str(), O_RDONLY), -1);
    EXPECT_EQ(errno, ENOENT);  // the same number in both

    // Numbers above 34 differ between the kernel and newlib.
    ASSERT_EQ(mkdir((d / "full").c_str(), 0755), 0);
    write_file(d / "full/x", "x");
    errno = 0;
    EXPECT_EQ(rmdir((d / "full").c_str()), -1);
    EXPECT_EQ(errno, ENOTEMPTY);
    errno = 0;
    EXPECT_EQ(open((d.path + "/" + std::string(300, 'n')).c_str(), O_RDONLY), -1);
    EXPECT_EQ(errno, ENAMETOOLONG);

    errno = 0;
    EXPECT_EQ(ioctl(1 << 20, 0x5401, nullptr), -1);
    EXPECT_EQ(errno, EBADF);
    const int fd = open((d / "full/x").c_str(), O_RDONLY);
    EXPECT_EQ(isatty(fd), 0);
    EXPECT_EQ(errno, ENOTTY);
    close(fd);
}

TEST(HandheldCalls, StatSizesKindsAndCutsToALength) {
    Folder d;
    const std::string f = d / "f";
    write_file(f, std::string(5000, 'z'));
    struct stat st;
    ASSERT_EQ(stat(f.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 5000);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    ASSERT_EQ(stat(d.path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));

    const int fd = open(f.c_str(), O_RDWR);
    ASSERT_EQ(ftruncate(fd, 1234567), 0);
    ASSERT_EQ(fstat(fd, &st), 0);
    EXPECT_EQ(st.st_size, 1234567);
    EXPECT_EQ(st.st_blocks * 512 < st.st_size, true);  // sparse: the cut made no data
    ASSERT_EQ(truncate(f.c_str(), 77), 0);
    ASSERT_EQ(fstat(fd, &st), 0);
    EXPECT_EQ(st.st_size, 77);

    // A length past 4 GiB takes two registers, low word first, right after
    // the descriptor; the kernel's stat64 gives it back at byte 44.
    ASSERT_EQ(hh::result(hh::call<hh::FTRUNCATE64>(fd, 0x1000, 1)), 0);
    hh::KernelStat64 k;
    ASSERT_EQ(hh::result(hh::call<hh::FSTAT64>(fd, long(&k))), 0);
    EXPECT_EQ(k.size_hi, 1u);
    EXPECT_EQ(k.size_lo, 0x1000u);
    EXPECT_EQ(k.mode & S_IFMT, uint32_t(S_IFREG));
    ASSERT_EQ(fstat(fd, &st), 0);
    EXPECT_EQ(st.st_size, 0x7FFFFFFF);  // newlib's 32-bit off_t: the largest it holds
    close(fd);
}

TEST(HandheldCalls, MappingsCountTheOffsetInPages) {
    Folder d;
    const std::string f = d / "pages";
    std::string bytes(4 * 4096, 0);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char(i / 4096 * 16 + i % 7);
    write_file(f, bytes);
    const int fd = open(f.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    auto* p =
        static_cast<uint8_t*>(mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 8192));
    ASSERT_NE(p, MAP_FAILED);
    EXPECT_EQ(p[0], uint8_t(bytes[8192]));  // page 2, not byte 2 or page 8192
    EXPECT_EQ(p[4095], uint8_t(bytes[8192 + 4095]));
    EXPECT_NE(p[0], uint8_t(bytes[0]));
    p[1] = 0xEE;  // shared: the file sees it
    EXPECT_EQ(munmap(p, 4096), 0);
    EXPECT_EQ(uint8_t(contents(f)[8193]), 0xEE);

    errno = 0;
    EXPECT_EQ(mmap(nullptr, 4096, PROT_READ, MAP_SHARED, fd, 100), MAP_FAILED);
    EXPECT_EQ(errno, EINVAL);
    close(fd);

    // Anonymous memory, and a heap that grows past several megabytes.
    auto* anon = static_cast<uint32_t*>(
        mmap(nullptr, 1 << 20, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(anon, MAP_FAILED);
    anon[(1 << 18) - 1] = 7;
    EXPECT_EQ(munmap(anon, 1 << 20), 0);
    auto* big = static_cast<uint8_t*>(malloc(24 << 20));
    ASSERT_NE(big, nullptr);
    memset(big, 0x5A, 24 << 20);
    EXPECT_EQ(big[(24 << 20) - 1], 0x5A);
    free(big);
}

TEST(HandheldCalls, ChildrenCommandsAndPipes) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(7);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 7);

    // execl hands over every argument, up to the closing null.
    const pid_t shell = fork();
    ASSERT_GE(shell, 0);
    if (shell == 0) {
        execl("/bin/sh", "sh", "-c", "exit $#", "sh", "a", "b", "c", static_cast<char*>(nullptr));
        _exit(99);
    }
    ASSERT_EQ(waitpid(shell, &status, 0), shell);
    EXPECT_EQ(WEXITSTATUS(status), 3);

    status = system("exit 3");
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_NE(system(nullptr), 0);  // a shell is there

    FILE* p = popen("echo one; echo two", "r");
    ASSERT_NE(p, nullptr);
    char line[32] = {};
    std::string got;
    while (fgets(line, sizeof line, p)) got += line;
    EXPECT_EQ(pclose(p), 0);
    EXPECT_EQ(got, "one\ntwo\n");

    errno = 0;
    char* const argv[] = {const_cast<char*>("nothing"), nullptr};
    EXPECT_EQ(execve("/nonexistent/nothing", argv, argv + 1), -1);
    EXPECT_EQ(errno, ENOENT);
}

TEST(HandheldCalls, FoldersNamesAndRenames) {
    Folder d;
    char cwd[512];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(d.path.c_str()), 0);
    char here[512];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    EXPECT_EQ(std::string(here), d.path);
    write_file("a", "new");
    write_file("b", "old");
    ASSERT_EQ(rename("a", "b"), 0);  // replaces, in one step
    EXPECT_EQ(contents("b"), "new");
    EXPECT_NE(access("a", F_OK), 0);
    EXPECT_EQ(access("b", R_OK), 0);
    ASSERT_EQ(chdir(cwd), 0);

    std::string one = d / "t-XXXXXX", two = d / "t-XXXXXX";
    const int fd = mkstemp(one.data());
    ASSERT_GE(fd, 0);
    close(fd);
    ASSERT_NE(mkdtemp(two.data()), nullptr);
    EXPECT_NE(one, two);
    EXPECT_NE(one.substr(one.size() - 6), "XXXXXX");
    struct stat st;
    ASSERT_EQ(stat(two.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    char few[] = "/tmp/short-XXX";
    errno = 0;
    EXPECT_EQ(mkstemp(few), -1);
    EXPECT_EQ(errno, EINVAL);
}

TEST(HandheldCalls, ClocksAndSleeps) {
    struct timeval a, b;
    ASSERT_EQ(gettimeofday(&a, nullptr), 0);
    const time_t now = time(nullptr);
    EXPECT_LE(a.tv_sec, now);
    EXPECT_GE(a.tv_sec, now - 1);
    EXPECT_GT(a.tv_sec, 1500000000);  // a 64-bit time_t filled from the kernel's 32 bits
    EXPECT_LT(a.tv_usec, 1000000);
    const struct timespec wait { 0, 30 * 1000 * 1000 };
    ASSERT_EQ(nanosleep(&wait, nullptr), 0);
    ASSERT_EQ(gettimeofday(&b, nullptr), 0);
    const long long waited = (b.tv_sec - a.tv_sec) * 1000000LL + (b.tv_usec - a.tv_usec);
    EXPECT_GE(waited, 30000);
}

TEST(HandheldCalls, TheStartHandsOverArgumentsAndEnvironment) {
    // ctest starts every test with PALENDRO_BIN in its environment.
    const char* bin = getenv("PALENDRO_BIN");
    ASSERT_NE(bin, nullptr);
    EXPECT_NE(std::string(bin).find("palendro"), std::string::npos);
    EXPECT_EQ(getpid() > 1, true);
}

TEST(HandheldCalls, AtomicsWithoutExclusiveLoadsAndStores) {
    std::atomic<uint32_t> n{5};
    EXPECT_EQ(n.fetch_add(3), 5u);
    EXPECT_EQ(n.fetch_sub(1), 8u);
    EXPECT_EQ(n.exchange(40), 7u);
    uint32_t expected = 41;
    EXPECT_FALSE(n.compare_exchange_strong(expected, 1));
    EXPECT_EQ(expected, 40u);  // told what it found
    EXPECT_TRUE(n.compare_exchange_strong(expected, 1));
    EXPECT_EQ(n.load(), 1u);

    auto p = std::make_shared<int>(3);
    {
        std::shared_ptr<int> q = p;
        EXPECT_EQ(p.use_count(), 2);
    }
    EXPECT_EQ(p.use_count(), 1);
    std::weak_ptr<int> w = p;
    p.reset();
    EXPECT_TRUE(w.expired());
}

}  // namespace

// On 2.4 the first break is the end of bss, not a page boundary (qemu starts
// it page-aligned): a break left at an odd address must be kept as it is by
// _sbrk, and newlib's malloc must still hand out aligned, whole blocks from it.
extern "C" void* _sbrk(ptrdiff_t increment);
TEST(HandheldCalls, MallocFromAnUnalignedBreak) {
    constexpr size_t BLOCK = size_t(4) << 20;  // past what the heap has: malloc moves the break
    for (ptrdiff_t offset : {1, 2, 3, 5, 4093}) {
        SCOPED_TRACE(offset);
        char* before = static_cast<char*>(_sbrk(0));
        ASSERT_EQ(_sbrk(offset), before);
        char* odd = static_cast<char*>(_sbrk(0));
        ASSERT_EQ(odd, before + offset);
        auto* block = static_cast<unsigned char*>(malloc(BLOCK));
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % 8, 0u);
        EXPECT_GE(static_cast<char*>(_sbrk(0)), reinterpret_cast<char*>(block) + BLOCK);
        memset(block, 0x5A, BLOCK);
        auto* small = static_cast<unsigned char*>(malloc(24));
        ASSERT_NE(small, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(small) % 8, 0u);
        memset(small, 0xA5, 24);
        EXPECT_EQ(block[0], 0x5A);
        EXPECT_EQ(block[BLOCK - 1], 0x5A);
        free(small);
        free(block);
    }
}
