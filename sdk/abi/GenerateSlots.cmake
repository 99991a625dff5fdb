# Writes what sdk/abi/HostVtables.txt gives, where it is needed, into the tree:
#   - each class's virtual functions, between the markers in its header under sdk/;
#   - the class names the host's interface library exports, in tests/hostbuild/core.def;
#   - for the simulated host, host/src/generated/: HostSlots.cpp (the slots it does not model),
#     HostClassTypes.cpp (the classes' type names) and HostOperations.h (its operations, fault
#     points, the classes' bases and the handlers' notification slot).
#   MODE write (default)  writes them
#   MODE check            writes nothing: fails when a file is not what MODE write would write
#   MODE host             only the simulated host's files, into OUTPUT (the table's rules
#                         are checked on the way; tests/abi/CheckSlotTableRules.cmake uses it)
#
#   cmake [-DMODE=write|check|host] [-DOUTPUT=DIR] [-DTABLE=FILE] -P sdk/abi/GenerateSlots.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/SlotTable.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/SdkSlots.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/HostSlots.cmake)
if(NOT MODE)
    set(MODE write)
endif()
if(NOT MODE MATCHES "^(write|check|host)$")
    message(FATAL_ERROR "MODE must be write, check or host")
endif()

set(stale "")
# Puts content into file, unless it holds it already (MODE check: notes it as stale instead).
function(put file content)
    set(old "")
    if(EXISTS "${file}")
        file(READ "${file}" old)
    endif()
    if(old STREQUAL content)
        return()
    endif()
    if(MODE STREQUAL "check")
        set(stale "${stale} ${file}" PARENT_SCOPE)
    else()
        file(WRITE "${file}" "${content}")
        message(STATUS "wrote ${file}")
    endif()
endfunction()

# The text between a begin and an end line of content replaced by body.
function(replace_between content begin end body out)
    string(FIND "${content}" "${begin}" at)
    string(FIND "${content}" "${end}" until)
    if(at EQUAL -1 OR until LESS at)
        fail("no markers '${begin}'")
    endif()
    string(LENGTH "${begin}" length)
    math(EXPR body_at "${at} + ${length}")
    string(SUBSTRING "${content}" 0 ${body_at} before)
    string(SUBSTRING "${content}" ${until} -1 after)
    set(${out} "${before}${body}${after}" PARENT_SCOPE)
endfunction()

host_sources(slots types operations)
if(NOT MODE STREQUAL "host")
    set(OUTPUT "${root}/host/src/generated")
endif()
put("${OUTPUT}/HostSlots.cpp" "${slots}")
put("${OUTPUT}/HostClassTypes.cpp" "${types}")
put("${OUTPUT}/HostOperations.h" "${operations}")
if(MODE STREQUAL "host")
    return()
endif()

# The headers: each class's slots between its markers; no markers for a class the table lacks.
set(headers "")
foreach(class IN LISTS classes)
    list(APPEND headers ${${class}_header})
endforeach()
list(REMOVE_DUPLICATES headers)
foreach(header IN LISTS headers)
    file(READ "${root}/sdk/${header}" content)
    foreach(class IN LISTS classes)
        if(${class}_header STREQUAL header)
            class_slots(${class} body)
            # One declaration a line, as the table has them: the formatter leaves them so.
            replace_between("${content}"
                "    // Host vtable slots of ${class} (written from sdk/abi/HostVtables.txt).\n"
                "    // End of the host vtable slots of ${class}.\n"
                "    // clang-format off\n${body}    // clang-format on\n" content)
        endif()
    endforeach()
    string(REGEX MATCHALL "Host vtable slots of ([A-Za-z]+) \\(" marked "${content}")
    foreach(marker IN LISTS marked)
        string(REGEX REPLACE "Host vtable slots of ([A-Za-z]+) \\(" "\\1" class "${marker}")
        if(NOT class IN_LIST classes)
            fail("sdk/${header}: slot markers for ${class}, which the table does not name")
        endif()
    endforeach()
    put("${root}/sdk/${header}" "${content}")
endforeach()

set(definitions "${root}/tests/hostbuild/core.def")
file(READ "${definitions}" content)
class_exports(names)
replace_between("${content}" "    ; The classes' type names (sdk/abi/GenerateSlots.cmake writes them from sdk/abi/HostVtables.txt).\n"
                "    ; End of the classes' type names.\n" "${names}" content)
put("${definitions}" "${content}")

if(stale)
    message(FATAL_ERROR "Not what sdk/abi/HostVtables.txt gives (run cmake -P sdk/abi/GenerateSlots.cmake):${stale}")
endif()
