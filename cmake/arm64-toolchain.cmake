# Cross-compiling for Debian 12 arm64 (aarch64) with Debian's cross compiler,
# against the arm64 libraries that multiarch installs beside the build
# machine's own (qt6-base-dev:arm64 and the rest: scripts/install-deps arm64).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(triplet aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${triplet}-gcc)
set(CMAKE_CXX_COMPILER ${triplet}-g++)
# Multiarch keeps arm64's libraries and CMake packages under /usr itself, in
# ${triplet} folders: CMake and the cross compiler look there, not in the
# build machine's. Programs (moc, rcc, pkg-config) are the build machine's.
set(CMAKE_LIBRARY_ARCHITECTURE ${triplet})

# The build machine's pkg-config, reading arm64's .pc files alone.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${triplet}/pkgconfig:/usr/share/pkgconfig)

# The tests run under qemu-aarch64 (the arm64 preset's emulator) without -L:
# multiarch puts arm64's loader at /lib/ld-linux-aarch64.so.1 here, where an
# arm64 program asks for it, and its libraries where that loader looks.
