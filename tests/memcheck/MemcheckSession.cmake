cmake_minimum_required(VERSION 3.25)
# Runs a whole hostsim session under Valgrind's memcheck, with the add-in in a fresh folder.
#   cmake -DVALGRIND=... -DHOSTSIM=... -DLIBRARY=... -DWORK=... -P MemcheckSession.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY ${LIBRARY} DESTINATION ${WORK})
get_filename_component(name ${LIBRARY} NAME)
execute_process(
    COMMAND ${VALGRIND} --tool=memcheck --error-exitcode=99 --leak-check=full --show-leak-kinds=definite
            --errors-for-leak-kinds=definite --track-origins=yes
            ${HOSTSIM} --json ${WORK}/${name} run click openEshop click runTeachPalette
            message "\"https://example.com/x\"" message "\"file:///C:/x.exe\"" offline online stop run stop unload
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(REGEX MATCH "ERROR SUMMARY: [0-9]+ errors" summary "${err}")
message(STATUS "memcheck: ${summary}")
if(NOT rc EQUAL 0 OR NOT summary STREQUAL "ERROR SUMMARY: 0 errors")
    message(FATAL_ERROR "memcheck failed (exit ${rc}):\n${err}")
endif()
if(NOT out MATCHES "\\{\"op\":\"references\",\"outstanding\":0\\}")
    message(FATAL_ERROR "references not balanced:\n${out}")
endif()
