# Cross build for the handheld's main core: ARMv4T (ARM920T class), soft float,
# with Debian's armel cross compiler. Debian's own armel libraries (the C and
# C++ runtime, libmikmod) are built for ARMv5TE: this file makes our code
# ARMv4T, it cannot make theirs so.
#
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-armel.cmake -DPALENDRO_SYSROOT=DIR ...
# DIR is made by tools/cross/make_sysroot.sh (the armel libraries, unpacked).
# Programs built here run on the PC under qemu-arm (CMAKE_CROSSCOMPILING_EMULATOR).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(CMAKE_LIBRARY_ARCHITECTURE arm-linux-gnueabi)
set(CMAKE_C_COMPILER arm-linux-gnueabi-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabi-g++)
set(CMAKE_C_FLAGS_INIT "-march=armv4t -mfloat-abi=soft -marm")
set(CMAKE_CXX_FLAGS_INIT "-march=armv4t -mfloat-abi=soft -marm")

set(PALENDRO_SYSROOT "" CACHE PATH "armel libraries unpacked by tools/cross/make_sysroot.sh")
set(PALENDRO_CROSS_LIBC /usr/arm-linux-gnueabi)
set(CMAKE_FIND_ROOT_PATH ${PALENDRO_CROSS_LIBC} ${PALENDRO_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

if(PALENDRO_SYSROOT)
  set(_lib ${PALENDRO_SYSROOT}/usr/lib/arm-linux-gnueabi)
  set(_lib2 ${PALENDRO_SYSROOT}/lib/arm-linux-gnueabi:${_lib}/pulseaudio)
  # Libraries the sysroot's libraries need, found at link time; at run time
  # qemu-arm hands the guest LD_LIBRARY_PATH (below), which also wins over the
  # run paths those libraries carry (/usr/lib/<arch>/pulseaudio on the host).
  string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -Wl,-rpath-link,${_lib}:${_lib2}")
  set(ENV{PKG_CONFIG_LIBDIR} ${_lib}/pkgconfig:${PALENDRO_SYSROOT}/usr/share/pkgconfig)
  set(ENV{PKG_CONFIG_SYSROOT_DIR} ${PALENDRO_SYSROOT})
  # The SDL2 configuration header lives in the multiarch include directory.
  include_directories(SYSTEM ${PALENDRO_SYSROOT}/usr/include/arm-linux-gnueabi)
endif()

find_program(PALENDRO_QEMU_ARM qemu-arm)
if(PALENDRO_QEMU_ARM)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PALENDRO_QEMU_ARM} -L ${PALENDRO_CROSS_LIBC})
  if(PALENDRO_SYSROOT)
    list(APPEND CMAKE_CROSSCOMPILING_EMULATOR -E LD_LIBRARY_PATH=${_lib}:${_lib2})
  endif()
endif()
