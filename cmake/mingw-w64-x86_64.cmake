# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (the posix-threads compilers, which
# std::thread and std::mutex need). scripts/build-windows passes this file and, in
# CMAKE_PREFIX_PATH, the folders its Windows libraries are installed in.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ORVANTA_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ORVANTA_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVANTA_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVANTA_MINGW}-windres)

# Libraries and headers come from the MinGW tree and the prefixes given, never from Linux; programs
# (moc, uic, rcc, wine) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${ORVANTA_MINGW} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config sees only the Windows libraries' files, never the build machine's.
set(ORVANTA_PKG_CONFIG_DIRS)
foreach(prefix IN LISTS CMAKE_PREFIX_PATH)
  list(APPEND ORVANTA_PKG_CONFIG_DIRS ${prefix}/lib/pkgconfig)
endforeach()
string(REPLACE ";" ":" ORVANTA_PKG_CONFIG_DIRS "${ORVANTA_PKG_CONFIG_DIRS}")
set(ENV{PKG_CONFIG_LIBDIR} "${ORVANTA_PKG_CONFIG_DIRS}")
unset(ENV{PKG_CONFIG_PATH})
