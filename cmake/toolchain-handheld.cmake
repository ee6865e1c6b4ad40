# The handheld: an ARM920T (ARMv4T, no floating-point unit) under the
# firmware's Linux 2.4 kernel, which speaks the old ARM system-call
# convention only. Debian's bare-metal compiler (gcc-arm-none-eabi) with
# newlib and its libstdc++: their default multilib is already ARM-mode
# ARMv4T with soft float, so every linked object is ARMv4T. newlib leaves the
# operating system to the platform: handheld/ is that platform (the system
# calls, the start-up routine, the few headers newlib lacks), linked into
# every program of this build.
#
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-handheld.cmake ...
#
# Programs are static, without interpreter or dynamic section. On the PC they
# run under qemu-arm with an ARMv4T core (CMAKE_CROSSCOMPILING_EMULATOR),
# which takes the old-ABI calls the way the kernel does.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(CMAKE_C_COMPILER arm-none-eabi-gcc)
set(CMAKE_CXX_COMPILER arm-none-eabi-g++)
set(CMAKE_ASM_COMPILER arm-none-eabi-gcc)
set(CMAKE_AR arm-none-eabi-ar)
set(CMAKE_RANLIB arm-none-eabi-ranlib)
# PALENDRO_NEWLIB: every program of this build runs on newlib over the
# handheld's kernel (handheld/), the simulator and the tests as well.
# PALENDRO_DEVICE, a switch of its own, picks the program that drives the
# real chip in place of the simulator.
set(PALENDRO_NEWLIB ON)

# The headers newlib lacks (sys/mman.h, sys/ioctl.h, sys/soundcard.h) come
# from handheld/include, beside the C library's own.
get_filename_component(_handheld_include "${CMAKE_CURRENT_LIST_DIR}/../handheld/include" ABSOLUTE)
# newlib shows its POSIX functions (fileno, mkstemp, popen ...) only when
# asked, as glibc does for g++ by default.
set(_arch "-march=armv4t -marm -mfloat-abi=soft -isystem ${_handheld_include} -D_GNU_SOURCE")
set(CMAKE_C_FLAGS_INIT "${_arch}")
# No exceptions and no run-time type information: the program uses neither,
# and without them no unwinder (which saves VFP and iWMMXt registers) is linked.
set(CMAKE_CXX_FLAGS_INIT "${_arch} -fno-exceptions -fno-rtti")
set(CMAKE_ASM_FLAGS_INIT "${_arch}")
# Speed counts on a 200 MHz core.
set(CMAKE_C_FLAGS_RELEASE_INIT "-O3 -DNDEBUG")
set(CMAKE_CXX_FLAGS_RELEASE_INIT "-O3 -DNDEBUG")
# Our own start-up routine (handheld/handheld_start.cpp) instead of newlib's
# bare-metal one (-nostartfiles).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -nostartfiles -Wl,--gc-sections")

# The compiler's probes link nothing (no start-up routine exists yet).
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(PALENDRO_QEMU_ARM qemu-arm)
if(PALENDRO_QEMU_ARM)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PALENDRO_QEMU_ARM} -cpu ti925t)
endif()
