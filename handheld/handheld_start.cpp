// The program's first instruction. The kernel starts it with the stack
// pointer on argc, followed by argv[0..argc-1], a null, the environment and
// another null; newlib's own start-up is for bare metal (it would set up a
// stack of its own), so this one takes the kernel's: static constructors,
// then exit(main(...)), which runs the destructors and atexit handlers.
#include <stdlib.h>

extern "C" {
extern char** environ;
int main(int argc, char** argv, char** envp);
void __libc_init_array();

[[noreturn]] void handheld_start(long* stack) {
    const int argc = int(stack[0]);
    char** argv = reinterpret_cast<char**>(stack + 1);
    environ = argv + argc + 1;
    __libc_init_array();
    exit(main(argc, argv, environ));
}

// No frame to return to; the stack aligned to 8 bytes for the calls.
[[noreturn]] __attribute__((naked)) void _start() {
    asm volatile("mov fp, #0\n"
                 "mov lr, #0\n"
                 "mov r0, sp\n"
                 "bic sp, sp, #7\n"
                 "b handheld_start\n");
}

// The one module's handle for the C++ destructors registered with
// __cxa_atexit (a static program has no other).
void* __dso_handle = &__dso_handle;

// __libc_init_array and __libc_fini_array call these; the program has no
// .init or .fini code of its own.
void _init() {}
void _fini() {}
}
