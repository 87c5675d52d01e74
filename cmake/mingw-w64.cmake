# Cross-compiles for Windows with MinGW-w64's posix thread variant, which
# GoogleTest's threading needs. The edition's toolchain file names the target
# triple and processor, then includes this one.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_ASM_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_RC_COMPILER  ${MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
