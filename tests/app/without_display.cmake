# Starts the program where the toolkit cannot come up, and checks that it
# exits with status 1 and says why on stderr instead of aborting.
#   CASE=display  the X11 platform and a display that does not exist: our
#                 one line about the display, and nothing else
#   CASE=plugin   a platform plugin that does not exist: our line, then the
#                 toolkit's own diagnostic, which names the plugin
set(ENV{DISPLAY} ":4097")
unset(ENV{WAYLAND_DISPLAY})
unset(ENV{QT_DEBUG_PLUGINS})
unset(ENV{QT_MESSAGE_PATTERN})
if(CASE STREQUAL "display")
    set(ENV{QT_QPA_PLATFORM} "xcb")
elseif(CASE STREQUAL "plugin")
    set(ENV{QT_QPA_PLATFORM} "nosuchplatform")
else()
    message(FATAL_ERROR "unknown CASE '${CASE}'")
endif()

execute_process(COMMAND ${PROGRAM} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 30)
if(NOT status EQUAL 1)
    message(FATAL_ERROR "expected exit status 1, got '${status}'; stderr: ${err}")
endif()
string(REGEX MATCHALL "\n" lines "${err}")
list(LENGTH lines count)

if(CASE STREQUAL "display")
    if(NOT count EQUAL 1 OR NOT err MATCHES "^kalvoran: needs a graphical display")
        message(FATAL_ERROR "expected one line about the display on stderr, got: ${err}")
    endif()
else()
    if(err MATCHES "graphical display" OR NOT err MATCHES "^kalvoran: [^\n]*could not be started")
        message(FATAL_ERROR "expected our own line first, and not the display's, got: ${err}")
    endif()
    if(count LESS 2 OR NOT err MATCHES "\n[^\n]*\"nosuchplatform\"")
        message(FATAL_ERROR "expected the toolkit's line naming the plugin after ours, got: ${err}")
    endif()
endif()
