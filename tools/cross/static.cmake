# Included right after project() in the device build (CMAKE_PROJECT_INCLUDE):
# the handheld gets one static binary, so only archives are looked for.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
