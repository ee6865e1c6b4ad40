// The C++ run-time pieces that would otherwise throw: the allocation
// functions and the library's std::__throw_* helpers (std::string,
// std::vector and friends call them on a bad length or index). The program
// is built without exceptions, so each ends it with one line instead; and no
// unwinder, no exception personality, no VFP register save code is linked.
#include <stdio.h>
#include <stdlib.h>

#include <new>

namespace {
[[noreturn]] void fail(const char* what, const char* detail = nullptr) {
    fprintf(stderr, "palendro: %s%s%s\n", what, detail ? ": " : "", detail ? detail : "");
    abort();
}
void* allocate(size_t n) {
    void* p = malloc(n ? n : 1);
    if (!p) fail("out of memory");
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

namespace std {
void __throw_bad_exception() { fail("bad exception"); }
void __throw_bad_alloc() { fail("out of memory"); }
void __throw_bad_array_new_length() { fail("bad array length"); }
void __throw_bad_cast() { fail("bad cast"); }
void __throw_bad_typeid() { fail("bad typeid"); }
void __throw_logic_error(const char* s) { fail("logic error", s); }
void __throw_domain_error(const char* s) { fail("domain error", s); }
void __throw_invalid_argument(const char* s) { fail("invalid argument", s); }
void __throw_length_error(const char* s) { fail("length error", s); }
void __throw_out_of_range(const char* s) { fail("out of range", s); }
void __throw_out_of_range_fmt(const char* s, ...) { fail("out of range", s); }
void __throw_runtime_error(const char* s) { fail("runtime error", s); }
void __throw_range_error(const char* s) { fail("range error", s); }
void __throw_overflow_error(const char* s) { fail("overflow error", s); }
void __throw_underflow_error(const char* s) { fail("underflow error", s); }
}  // namespace std
