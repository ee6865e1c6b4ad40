# The libretro core for aarch64 Linux: Debian's g++-aarch64-linux-gnu.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(PALENDRO_CROSS_TRIPLE aarch64-linux-gnu)
set(PALENDRO_CROSS_QEMU qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-linux-cross.cmake)
