# SHA256SUMS beside the packages, in sha256sum's format, so that a download
# can be checked with `sha256sum -c SHA256SUMS`. Run by CPack once the
# packages are written (each package and the debug file split_debug.cmake
# wrote), or as `cmake -DFILES=... -DOUTPUT=.../SHA256SUMS -P sha256sums.cmake`
# (the Windows packages), the files beside OUTPUT.
cmake_minimum_required(VERSION 3.25)
if(DEFINED CPACK_PACKAGE_FILES)
    set(files ${CPACK_PACKAGE_FILES})
    set(debug_file ${CPACK_PACKAGE_DIRECTORY}/kalvoran_${CPACK_PACKAGE_VERSION}_${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}.debug)
    if(EXISTS ${debug_file})
        list(APPEND files ${debug_file})
    endif()
    set(OUTPUT ${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS)
else()
    set(files ${FILES})
endif()
list(SORT files)
set(sums "")
foreach(file IN LISTS files)
    file(SHA256 ${file} sum)
    get_filename_component(name ${file} NAME)
    string(APPEND sums "${sum}  ${name}\n")
endforeach()
file(WRITE ${OUTPUT} "${sums}")
message(STATUS "sha256sums: ${OUTPUT}")
