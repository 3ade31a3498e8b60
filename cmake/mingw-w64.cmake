# Cross-build for 64-bit Windows with Debian's MinGW-w64 (POSIX threads, which
# Qt's std::thread and std::mutex use). Used for Qt itself and for the tool.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SPAWNSMITH_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SPAWNSMITH_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SPAWNSMITH_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${SPAWNSMITH_MINGW}-windres)

# Look for libraries and headers only in the MinGW sysroot and the Windows Qt,
# but run build tools (moc, uic, rcc) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${SPAWNSMITH_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
