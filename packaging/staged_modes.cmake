# Run by CPack once the files are staged and before they are packed: every
# staged folder 0755. CPack makes the folders above the installed files with
# the umask's modes (a umask of 077 gave drwx------ ./usr/ in the package).
# Not CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS: it does not reach those,
# and it would override the umask of a `cmake --install` into a home folder.
file(GLOB_RECURSE entries LIST_DIRECTORIES true ${CPACK_TEMPORARY_DIRECTORY}/*)
set(folders "")
foreach(entry IN LISTS entries)
    if(IS_DIRECTORY ${entry} AND NOT IS_SYMLINK ${entry})
        list(APPEND folders ${entry})
    endif()
endforeach()
if(folders)
    file(CHMOD ${folders} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                                                WORLD_EXECUTE)
endif()
