# The libretro core for armhf Linux: Debian's g++-arm-linux-gnueabihf.
set(CMAKE_SYSTEM_PROCESSOR arm)
set(PALENDRO_CROSS_TRIPLE arm-linux-gnueabihf)
set(PALENDRO_CROSS_QEMU qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-linux-cross.cmake)
