# Cross toolchain: 32-bit Windows (PE32, i686) with Debian's mingw-w64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

# Prefer the win32-threads flavour: it needs no winpthread DLL at run time.
find_program(QUINDLE_MINGW_CXX NAMES i686-w64-mingw32-g++-win32 i686-w64-mingw32-g++ REQUIRED)
find_program(QUINDLE_MINGW_CC NAMES i686-w64-mingw32-gcc-win32 i686-w64-mingw32-gcc REQUIRED)
set(CMAKE_C_COMPILER ${QUINDLE_MINGW_CC})
set(CMAKE_CXX_COMPILER ${QUINDLE_MINGW_CXX})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
