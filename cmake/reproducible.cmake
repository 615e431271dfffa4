# What makes two builds of one commit give the same bytes, wherever the tree
# lies and whenever, by whomever, it is built (scripts/check-reproducible
# proves it). Included by the top-level CMakeLists.txt before any target.

# The time stamped on what the build makes: the release's changelog date
# unless the caller sets SOURCE_DATE_EPOCH (scripts/source-date-epoch). The
# compilers and rcc read SOURCE_DATE_EPOCH from the environment of the build
# (the Makefile and the build scripts export it); CPack and the Windows
# packages take this value.
execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/source-date-epoch OUTPUT_VARIABLE KALVORAN_SOURCE_DATE_EPOCH
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog)

# No build folder in the programs: their debug information and __FILE__ name
# the sources as they would lie in /usr/src/kalvoran-VERSION (in gdb:
# set substitute-path /usr/src/kalvoran-VERSION YOUR_TREE). The developers'
# preset keeps the real paths, for their debugger. Not -ffile-prefix-map: in
# GCC 12 it also rewrites the coverage notes' paths, which gcovr then cannot
# find.
option(KALVORAN_REPRODUCIBLE_PATHS "Name the sources by /usr/src/kalvoran-VERSION in what is built" ON)
if(KALVORAN_REPRODUCIBLE_PATHS)
    set(mapped /usr/src/kalvoran-${PROJECT_VERSION})
    # The binary folder's own mapping comes last, so that GCC, which tries the
    # last first, prefers it when the binary folder is inside the tree.
    foreach(map IN ITEMS "${PROJECT_SOURCE_DIR}=${mapped}" "${PROJECT_BINARY_DIR}=${mapped}/build")
        add_compile_options(-fdebug-prefix-map=${map} -fmacro-prefix-map=${map})
    endforeach()
endif()

# MinGW's linker writes the link time into the PE header unless told not to:
# cmake/windows-toolchain.cmake tells it, for the Windows Qt as well.
