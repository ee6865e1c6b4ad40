// The C++ allocation functions without exceptions: out of memory ends the
// program with a line, as nothing in it could go on.
#include <stdio.h>
#include <stdlib.h>

#include <new>

namespace {
void* allocate(size_t n) {
    void* p = malloc(n ? n : 1);
    if (!p) {
        fputs("palendro: out of memory\n", stderr);
        abort();
    }
    return p;
}
}  // namespace

void* operator new(size_t n) { return allocate(n); }
void* operator new[](size_t n) { return allocate(n); }
void* operator new(size_t n, const std::nothrow_t&) noexcept { return malloc(n ? n : 1); }
void* operator new[](size_t n, const std::nothrow_t&) noexcept { return malloc(n ? n : 1); }
void operator delete(void* p) noexcept { free(p); }
void operator delete[](void* p) noexcept { free(p); }
void operator delete(void* p, size_t) noexcept { free(p); }
void operator delete[](void* p, size_t) noexcept { free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { free(p); }
