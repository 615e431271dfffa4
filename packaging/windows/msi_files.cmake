cmake_minimum_required(VERSION 3.25)
# Writes the MSI's file list for the folder BUNDLE into OUTPUT, a wixl
# fragment: every file of the folder as a component of its own under
# INSTALLDIR, in the component group Files. wixl needs each file named; the
# list comes from the same folder as the zip and the NSIS installer. Ids are
# hashes of the paths, so they stay the same from one build to the next, and
# wixl derives each component's GUID from its file ("*"). wixl takes no
# absolute source paths: they are SOURCE_DIR/..., SOURCE_DIR being BUNDLE as
# seen from the folder wixl runs in.
file(GLOB_RECURSE files RELATIVE ${BUNDLE} ${BUNDLE}/*)
list(SORT files)
set(tree "")
set(refs "")
set(open_dirs "")
foreach(file IN LISTS files)
    get_filename_component(dir "${file}" DIRECTORY)
    # Close the folders this file is not in, then open the ones it is in.
    while(open_dirs AND NOT (dir STREQUAL open_dirs OR dir MATCHES "^${open_dirs}/"))
        string(APPEND tree "</Directory>\n")
        get_filename_component(open_dirs "${open_dirs}" DIRECTORY)
    endwhile()
    if(dir AND NOT dir STREQUAL open_dirs)
        if(open_dirs)
            string(LENGTH "${open_dirs}/" skip)
        else()
            set(skip 0)
        endif()
        string(SUBSTRING "${dir}" ${skip} -1 rest)
        string(REPLACE "/" ";" parts "${rest}")
        foreach(part IN LISTS parts)
            if(open_dirs)
                set(open_dirs "${open_dirs}/${part}")
            else()
                set(open_dirs "${part}")
            endif()
            string(MD5 id "${open_dirs}")
            string(APPEND tree "<Directory Id=\"d${id}\" Name=\"${part}\">\n")
        endforeach()
    endif()
    get_filename_component(name "${file}" NAME)
    string(MD5 id "${file}")
    string(APPEND tree "<Component Id=\"c${id}\" Guid=\"*\" Win64=\"yes\">"
                       "<File Id=\"f${id}\" Name=\"${name}\" KeyPath=\"yes\" Source=\"${SOURCE_DIR}/${file}\"/>"
                       "</Component>\n")
    string(APPEND refs "<ComponentRef Id=\"c${id}\"/>\n")
endforeach()
while(open_dirs)
    string(APPEND tree "</Directory>\n")
    get_filename_component(open_dirs "${open_dirs}" DIRECTORY)
endwhile()
file(WRITE ${OUTPUT} "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                     "<Wix xmlns=\"http://schemas.microsoft.com/wix/2006/wi\">\n"
                     "<Fragment><DirectoryRef Id=\"INSTALLDIR\">\n${tree}</DirectoryRef></Fragment>\n"
                     "<Fragment><ComponentGroup Id=\"Files\">\n${refs}</ComponentGroup></Fragment>\n"
                     "</Wix>\n")
