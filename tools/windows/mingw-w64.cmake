# Cross-compiles for 64-bit Windows with Debian's mingw-w64. The -posix
# compilers are the ones with std::thread, which Qt needs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CORVANE_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${CORVANE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CORVANE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${CORVANE_MINGW_PREFIX}-windres)
set(CMAKE_AR ${CORVANE_MINGW_PREFIX}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${CORVANE_MINGW_PREFIX}-gcc-ranlib-posix CACHE FILEPATH "")

# The cross-built Qt and libsquish live in a cache folder handed in through
# CMAKE_PREFIX_PATH; only they and the mingw sysroot may serve libraries and
# headers, never the host's.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${CORVANE_MINGW_PREFIX} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
