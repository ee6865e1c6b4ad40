# PALENDRO_FUZZ: coverage-guided fuzzing with clang's libFuzzer. Everything is
# built with the fuzzer's coverage hooks and AddressSanitizer and
# UndefinedBehaviorSanitizer; the fuzz programs (tests/fuzz/) link the fuzzer.
option(PALENDRO_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
if(PALENDRO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "PALENDRO_FUZZ needs clang: configure with CC=clang CXX=clang++")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
