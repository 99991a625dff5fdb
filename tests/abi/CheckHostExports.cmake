# The simulated host's DLL exports every name of the host's interface library (core.def), so that
# an add-in built from the host's own headers, against an import library naming simhost.dll,
# loads and runs in it.
#   cmake -DLIBRARY=simhost.dll -DOBJDUMP=... -P CheckHostExports.cmake
cmake_minimum_required(VERSION 3.25)
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../hostbuild/core.def names REGEX "^    [?]")
list(TRANSFORM names STRIP)
execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE table RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -p ${LIBRARY} failed")
endif()
set(missing "")
foreach(name IN LISTS names)
    string(FIND "${table}" " ${name}\n" at)
    if(at EQUAL -1)
        list(APPEND missing ${name})
    endif()
endforeach()
if(missing)
    list(JOIN missing "\n  " missing)
    message(FATAL_ERROR "${LIBRARY} does not export the host's\n  ${missing}")
endif()
list(LENGTH names count)
message(STATUS "${LIBRARY} exports all ${count} names of the host's interface library")
