cmake_minimum_required(VERSION 3.25)
# Gives the MSI that wixl wrote a package code of its contents. wixl draws a
# random one (the summary information's revision number) and has no option
# for it; Windows Installer wants one code for one set of contents, so it
# comes from the hashes of the MSI's sources (SOURCES) and of every file of
# the folder BUNDLE. The rest of the summary information is kept as wixl
# wrote it. Workaround for wixl 0.101; goes when wixl takes Package/@Id.
# Usage: cmake -DMSI=... -DBUNDLE=... -DSOURCES=a.wxs;b.wxs -DNAMESPACE=GUID
#        -DWHEN="YYYY-MM-DD hh:mm:ss" -P stamp_msi.cmake
set(contents "")
foreach(source IN LISTS SOURCES)
    file(SHA256 ${source} sum)
    get_filename_component(name ${source} NAME)
    string(APPEND contents "${sum}  ${name}\n")
endforeach()
file(GLOB_RECURSE files RELATIVE ${BUNDLE} ${BUNDLE}/*)
list(SORT files)
foreach(file IN LISTS files)
    file(SHA256 ${BUNDLE}/${file} sum)
    string(APPEND contents "${sum}  ${file}\n")
endforeach()
string(UUID code NAMESPACE ${NAMESPACE} NAME "${contents}" TYPE SHA1 UPPER)

function(summary out)
    execute_process(COMMAND msiinfo suminfo ${MSI} OUTPUT_VARIABLE text COMMAND_ERROR_IS_FATAL ANY)
    set(${out} "${text}" PARENT_SCOPE)
endfunction()
function(field text name out)
    if(NOT text MATCHES "\n${name}: ([^\n]*)")
        message(FATAL_ERROR "stamp_msi: msiinfo shows no ${name} for ${MSI}")
    endif()
    set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()
summary(before)
field("\n${before}" Subject subject)
field("\n${before}" Author author)
field("\n${before}" Template template)
# msibuild saves the summary information, and with it the time of the save:
# the build's time, through faketime, as wixl's.
execute_process(COMMAND env TZ=UTC faketime "${WHEN}" msibuild ${MSI} -s "${subject}" "${author}" "${template}" "{${code}}"
                COMMAND_ERROR_IS_FATAL ANY)
summary(after)
string(REGEX REPLACE "Revision number \\(UUID\\): [^\n]*" "" before "${before}")
string(REGEX REPLACE "Revision number \\(UUID\\): [^\n]*" "" stamped "${after}")
if(NOT before STREQUAL stamped)
    message(FATAL_ERROR "stamp_msi: msibuild changed more than the package code of ${MSI}:\n${after}")
endif()
message(STATUS "stamp_msi: package code {${code}}")
