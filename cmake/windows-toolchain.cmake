# Cross-compiling for Windows x86-64 with Debian's MinGW-w64 (the POSIX thread
# model, which Qt needs for std::thread and std::mutex). Used both for the
# Windows Qt (scripts/build-windows-qt) and for Kalvoran (the windows preset).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw}-windres)
set(CMAKE_AR ${mingw}-gcc-ar-posix)
set(CMAKE_RANLIB ${mingw}-gcc-ranlib-posix)

# Libraries and headers come from the MinGW root (and from the prefixes named
# in CMAKE_PREFIX_PATH, Qt's among them); programs from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# No link time in the headers of the libraries and programs: two builds of the
# same source then give the same bytes (for the Windows Qt's DLLs too, which
# the packages carry).
foreach(kind EXE SHARED MODULE)
    set(CMAKE_${kind}_LINKER_FLAGS_INIT "-Wl,--no-insert-timestamp")
endforeach()
