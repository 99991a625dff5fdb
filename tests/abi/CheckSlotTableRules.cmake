# The slot table's rules stop the generator: a class whose first slot does not follow its base's
# last, a row outside its class's slots (below or above them), a class or slot given twice, a slot
# without its row. Each is
# planted in a copy of the table (sdk/abi/HostVtables.txt), and the generator must refuse it,
# saying why.
#   cmake -DSOURCE_DIR=... -DWORK=... -P CheckSlotTableRules.cmake
cmake_minimum_required(VERSION 3.25)
set(generator ${SOURCE_DIR}/sdk/abi/GenerateSlots.cmake)
file(READ ${SOURCE_DIR}/sdk/abi/HostVtables.txt table)
file(MAKE_DIRECTORY ${WORK})

# Runs the generator on table with from replaced by to; it must fail with a message matching why.
function(refuses name from to why)
    string(FIND "${table}" "${from}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "${name}: the table has no '${from}' to plant the fault in")
    endif()
    string(REPLACE "${from}" "${to}" planted "${table}")
    file(WRITE ${WORK}/${name}.txt "${planted}")
    execute_process(COMMAND ${CMAKE_COMMAND} -DMODE=host -DOUTPUT=${WORK}/${name} -DTABLE=${WORK}/${name}.txt
                            -P ${generator}
                    RESULT_VARIABLE rc OUTPUT_VARIABLE output ERROR_VARIABLE output)
    string(REGEX REPLACE "[ \n]+" " " output "${output}") # CMake wraps its messages
    if(rc EQUAL 0 OR NOT output MATCHES "${why}")
        message(FATAL_ERROR "${name}: the generator did not refuse it as '${why}' (exit ${rc}):\n${output}")
    endif()
    message(STATUS "${name}: refused")
endfunction()

# The table as it is goes through.
execute_process(COMMAND ${CMAKE_COMMAND} -DMODE=host -DOUTPUT=${WORK}/table -P ${generator} RESULT_VARIABLE rc
                OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the table itself is refused:\n${output}")
endif()
refuses(wrongFirstSlot "class Event : Base 24 55" "class Event : Base 25 55"
        "class Event starts at slot 25, but its base Base leaves slot 24 next")
refuses(firstSlotWithoutBase "class EventHandler : - 0 16" "class EventHandler : - 1 16" "starts at slot 1")
refuses(repeatedSlot "36 UserInterface* userInterface_raw() const" "32 UserInterface* userInterface_raw() const"
        "slot 32 of Application is given twice")
refuses(placeholderOverRow "54-87 placeholderPalette0" "39-87 placeholderPalette0" "slot 39 of Palette is given twice")
refuses(rowOutsideClass "47 Palettes* palettes_raw() const" "55 Palettes* palettes_raw() const"
        "slot 55 of UserInterface lies outside its slots 24-54")
refuses(rowBelowClass "47 Palettes* palettes_raw() const" "23 Palettes* palettes_raw() const"
        "slot 23 of UserInterface lies outside its slots 24-54")
refuses(slotWithoutRow "58 bool hasInternetAccess_raw() const | host\n" ""
        "slot 58 of ApplicationEventArgs has no row")
refuses(classTwice "class Base : ReferenceCounted 3 23 Core/Base.h"
        "class ReferenceCounted : - 0 2 Core/Base.h\nclass Base : ReferenceCounted 3 23 Core/Base.h"
        "class ReferenceCounted is given twice")
