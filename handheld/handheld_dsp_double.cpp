// The test build's side of the sound device's double (handheld_dsp_double.h).
// A request is three words (kind, request number or length, bytes that
// follow) and its bytes; the answer is the result (a kernel result: -errno on
// failure) and the bytes an ioctl hands back. A write waits for its answer,
// so the double blocks it as the kernel's driver would, until the bytes fit.
#include "handheld/handheld_dsp_double.h"

#include <errno.h>
#include <string.h>

#include <cstdint>

#include "handheld/handheld_syscall.h"

namespace {

enum : uint32_t { DSP_IOCTL = 1, DSP_WRITE = 2 };

int g_dsp_requests = -1;  // the program's descriptor: requests go out on it
int g_dsp_answers = -1;

bool put(const void* bytes, uint32_t n) {
    const char* p = static_cast<const char*>(bytes);
    while (n) {
        const long done = hh::call<hh::WRITE>(g_dsp_requests, long(p), long(n));
        if (done <= 0) return false;
        p += done;
        n -= uint32_t(done);
    }
    return true;
}

bool get(void* bytes, uint32_t n) {
    char* p = static_cast<char*>(bytes);
    while (n) {
        const long done = hh::call<hh::READ>(g_dsp_answers, long(p), long(n));
        if (done <= 0) return false;
        p += done;
        n -= uint32_t(done);
    }
    return true;
}

// One request and its answer; `back` bytes of the answer land in `out`.
long ask(uint32_t kind, uint32_t what, const void* bytes, uint32_t n, void* out, uint32_t back) {
    const uint32_t head[3] = {kind, what, n};
    int32_t answer[2];  // result, bytes that follow
    if (!put(head, sizeof head) || !put(bytes, n) || !get(answer, sizeof answer)) return -5;  // EIO
    char spare[64];
    for (uint32_t left = uint32_t(answer[1]); left;) {
        const uint32_t take = left < back ? left : back ? back : (left < 64 ? left : 64);
        if (!get(back ? out : spare, take)) return -5;
        if (back) {
            out = static_cast<char*>(out) + take;
            back -= take;
        }
        left -= take;
    }
    return answer[0];
}

}  // namespace

namespace hh {

int dsp_double_open(const char* path) {
    if (strcmp(path, "/dev/dsp") != 0) return -2;
    // Both pipes open only once the double holds their other ends.
    const long requests = call<OPEN>(long(HANDHELD_TEST_ROOT "/dev/dsp"), 01);
    if (requests < 0) {
        errno = errno_from_kernel(int(-requests));
        return -1;
    }
    const long answers = call<OPEN>(long(HANDHELD_TEST_ROOT "/dev/dsp.answers"), 0);
    if (answers < 0) {
        call<CLOSE>(requests);
        errno = errno_from_kernel(int(-answers));
        return -1;
    }
    g_dsp_requests = int(requests);
    g_dsp_answers = int(answers);
    return g_dsp_requests;
}

bool dsp_double_is(int fd) { return fd >= 0 && fd == g_dsp_requests; }

long dsp_double_ioctl(unsigned long request, void* arg) {
    const uint32_t size = arg ? uint32_t(request >> 16) & 0x3FFF : 0;
    const bool back = (request >> 31) & 1;  // the kernel writes the argument back
    return ask(DSP_IOCTL, uint32_t(request), arg, size, arg, back ? size : 0);
}

long dsp_double_write(const void* bytes, int n) {
    return ask(DSP_WRITE, uint32_t(n), bytes, uint32_t(n), nullptr, 0);
}

void dsp_double_close() {
    call<CLOSE>(g_dsp_answers);
    call<CLOSE>(g_dsp_requests);
    g_dsp_requests = g_dsp_answers = -1;
}

}  // namespace hh
