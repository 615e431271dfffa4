# Run by CPack once the files are staged and before they are packed: moves the
# program's debug information to a file beside the package, strips the staged
# program the way Debian's dh_strip does, and links the two by build id and by
# name, so that gdb finds the debug file when it is installed under
# /usr/lib/debug/.build-id/ or given with `gdb -s`.
set(program ${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/bin/kalvoran)
if(NOT EXISTS ${program})
    message(FATAL_ERROR "split_debug: no staged program at ${program}")
endif()
set(debug_file ${CPACK_PACKAGE_DIRECTORY}/kalvoran_${CPACK_PACKAGE_VERSION}_${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}.debug)

# The debug file keeps its layout only when the program has a build id.
execute_process(COMMAND ${CPACK_KALVORAN_READELF} -n ${program} OUTPUT_VARIABLE notes COMMAND_ERROR_IS_FATAL ANY)
if(NOT notes MATCHES "Build ID: ([0-9a-f]+)")
    message(FATAL_ERROR "split_debug: ${program} has no build id")
endif()

execute_process(COMMAND ${CPACK_KALVORAN_OBJCOPY} --only-keep-debug --compress-debug-sections ${program} ${debug_file}
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CPACK_KALVORAN_STRIP} --remove-section=.comment --remove-section=.note --strip-unneeded ${program}
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CPACK_KALVORAN_OBJCOPY} --add-gnu-debuglink=${debug_file} ${program} COMMAND_ERROR_IS_FATAL ANY)
message(STATUS "split_debug: debug information of build id ${CMAKE_MATCH_1} in ${debug_file}")
