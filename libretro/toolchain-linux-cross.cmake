# A libretro core for an ARM Linux that runs RetroArch (handhelds, boards and
# phones), with Debian's cross g++ for PALENDRO_CROSS_TRIPLE. Its checks run
# under qemu-user (PALENDRO_CROSS_QEMU) with the target's C library from the
# cross packages. Included by the per-architecture toolchain files.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${PALENDRO_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${PALENDRO_CROSS_TRIPLE}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${PALENDRO_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PALENDRO_CROSS_QEMU};-L;/usr/${PALENDRO_CROSS_TRIPLE})
