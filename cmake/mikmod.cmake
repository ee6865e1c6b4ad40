# libmikmod, the module player under music/: one pinned upstream version,
# built from source as our static library palendro_mikmod with the project's
# own compiler flags (so a sanitizer or fuzzing build instruments it too).
#
# The source is upstream libmikmod as Debian's trixie packs it, fetched once
# per build folder by cmake/fetch_mikmod.sh into PALENDRO_MIKMOD_CACHE and
# checked against the SHA-256 below; a failed fetch or check stops the
# configure with one line. Only the XM loader and the output drivers a target
# uses are compiled; our own config.h stands in for the library's configure.
#
# Drivers: the silent driver (drv_nos) is always in, since the library falls
# back on it. A toolchain file or the command line adds others by name with
# PALENDRO_MIKMOD_DRIVERS, e.g. -DPALENDRO_MIKMOD_DRIVERS=oss for the
# library's OSS driver (drivers/drv_oss.c); every target of ours brings its own
# MDRIVER (the handheld's OSS one is music/music_oss.cpp) and leaves it empty. Headers a driver needs that the
# toolchain lacks (sys/soundcard.h for OSS on a bare C library) are found in
# PALENDRO_MIKMOD_INCLUDE_DIRS.

set(PALENDRO_MIKMOD_VERSION 3.3.13)
set(PALENDRO_MIKMOD_SHA256 9fc1799f7ea6a95c7c5882de98be85fc7d20ba0a4a6fcacae11c8c6b382bb207)

set(PALENDRO_MIKMOD_DRIVERS "" CACHE STRING
    "libmikmod output drivers besides the silent one (names of drivers/drv_NAME.c; ;-list)")
set(PALENDRO_MIKMOD_INCLUDE_DIRS "" CACHE STRING
    "Extra include folders for libmikmod's drivers (;-list)")
set(PALENDRO_MIKMOD_CACHE "${CMAKE_BINARY_DIR}/_deps/libmikmod" CACHE PATH
    "Where libmikmod's source tarball and tree are kept")

set(_mikmod_src "${PALENDRO_MIKMOD_CACHE}/libmikmod-${PALENDRO_MIKMOD_VERSION}")
if(NOT EXISTS "${_mikmod_src}/.palendro-unpacked")
  message(STATUS "Fetching libmikmod ${PALENDRO_MIKMOD_VERSION} from Debian's archive")
endif()
execute_process(
  COMMAND bash "${CMAKE_CURRENT_LIST_DIR}/fetch_mikmod.sh" "${PALENDRO_MIKMOD_CACHE}"
          ${PALENDRO_MIKMOD_VERSION} ${PALENDRO_MIKMOD_SHA256}
  RESULT_VARIABLE _mikmod_fetch ERROR_VARIABLE _mikmod_error ERROR_STRIP_TRAILING_WHITESPACE)
if(NOT _mikmod_fetch EQUAL 0)
  message(FATAL_ERROR " ${_mikmod_error}")  # indented: printed as one line
endif()

# Headers, probed with the toolchain in use (and the extra folders); a
# bare-metal toolchain file sets CMAKE_TRY_COMPILE_TARGET_TYPE to
# STATIC_LIBRARY so that the probes need no linker script.
include(CheckIncludeFile)
set(CMAKE_REQUIRED_INCLUDES ${PALENDRO_MIKMOD_INCLUDE_DIRS})
check_include_file(unistd.h HAVE_UNISTD_H)
check_include_file(fcntl.h HAVE_FCNTL_H)
check_include_file(sys/ioctl.h HAVE_SYS_IOCTL_H)
check_include_file(sys/soundcard.h HAVE_SYS_SOUNDCARD_H)
unset(CMAKE_REQUIRED_INCLUDES)
if(CMAKE_C_BYTE_ORDER STREQUAL "BIG_ENDIAN")
  set(WORDS_BIGENDIAN 1)
endif()

set(PALENDRO_MIKMOD_DRIVER_DEFINES "")
set(_mikmod_driver_sources "${_mikmod_src}/drivers/drv_nos.c")
foreach(driver IN LISTS PALENDRO_MIKMOD_DRIVERS)
  if(NOT EXISTS "${_mikmod_src}/drivers/drv_${driver}.c")
    message(FATAL_ERROR "PALENDRO_MIKMOD_DRIVERS: libmikmod has no driver '${driver}'")
  endif()
  string(TOUPPER "${driver}" _upper)
  string(APPEND PALENDRO_MIKMOD_DRIVER_DEFINES "#define DRV_${_upper} 1\n")
  list(APPEND _mikmod_driver_sources "${_mikmod_src}/drivers/drv_${driver}.c")
endforeach()
configure_file("${CMAKE_CURRENT_LIST_DIR}/mikmod/config.h.in"
               "${CMAKE_BINARY_DIR}/mikmod_config/config.h")

add_library(palendro_mikmod STATIC
  ${_mikmod_src}/mmio/mmalloc.c
  ${_mikmod_src}/mmio/mmerror.c
  ${_mikmod_src}/mmio/mmio.c
  ${_mikmod_src}/playercode/mdriver.c
  ${_mikmod_src}/playercode/mdulaw.c
  ${_mikmod_src}/playercode/mloader.c
  ${_mikmod_src}/playercode/mlutil.c
  ${_mikmod_src}/playercode/mplayer.c
  ${_mikmod_src}/playercode/munitrk.c
  ${_mikmod_src}/playercode/mwav.c
  ${_mikmod_src}/playercode/npertab.c
  ${_mikmod_src}/playercode/sloader.c
  ${_mikmod_src}/playercode/virtch.c  # includes virtch_common.c
  ${_mikmod_src}/posix/strcasecmp.c
  ${_mikmod_src}/loaders/load_xm.c
  ${_mikmod_driver_sources}
  ${CMAKE_CURRENT_LIST_DIR}/mikmod/random.c)
set_target_properties(palendro_mikmod PROPERTIES C_STANDARD 99 C_EXTENSIONS ON)
target_compile_definitions(palendro_mikmod PRIVATE HAVE_CONFIG_H MIKMOD_BUILD)
target_include_directories(palendro_mikmod BEFORE PRIVATE "${CMAKE_BINARY_DIR}/mikmod_config")
target_include_directories(palendro_mikmod PRIVATE ${PALENDRO_MIKMOD_INCLUDE_DIRS})
target_include_directories(palendro_mikmod SYSTEM PUBLIC "${_mikmod_src}/include")
# Not our code: its warnings are not ours to keep.
target_compile_options(palendro_mikmod PRIVATE -w)
# Under the sanitizers, two checks are left out of the library, for shifts
# that are no memory access:
#  - shift-base, in all of it: it shifts negative values left throughout
#    (widening 8-bit samples, scaling envelopes, vibrato depths), which is
#    well defined in C++20 and by every compiler we use, undefined in C99;
#  - shift-exponent, in mplayer.c: it turns a linear period into a frequency
#    by shifting a table value right by period / 768 - 2, which passes 31 for
#    periods over 26112: a long slide down in an ordinary file gets there,
#    and so does a note past the top octave. The pitch is then near 0 Hz (on
#    x86 the shift count wraps, on ARM the value becomes 0), nothing worse.
# Every other check, and AddressSanitizer, covers all of the library.
target_compile_options(palendro_mikmod PRIVATE -fno-sanitize=shift-base)
set_source_files_properties("${_mikmod_src}/playercode/mplayer.c" PROPERTIES
                            COMPILE_OPTIONS -fno-sanitize=shift-exponent)
