# Run by CPack once the packages are written: SHA256SUMS beside them lists
# each package and the debug file split_debug.cmake wrote, in sha256sum's
# format, so that a download can be checked with `sha256sum -c SHA256SUMS`.
set(files ${CPACK_PACKAGE_FILES})
set(debug_file ${CPACK_PACKAGE_DIRECTORY}/kalvoran_${CPACK_PACKAGE_VERSION}_${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}.debug)
if(EXISTS ${debug_file})
    list(APPEND files ${debug_file})
endif()
list(SORT files)
set(sums "")
foreach(file IN LISTS files)
    file(SHA256 ${file} sum)
    get_filename_component(name ${file} NAME)
    string(APPEND sums "${sum}  ${name}\n")
endforeach()
file(WRITE ${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS "${sums}")
message(STATUS "sha256sums: ${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS")
