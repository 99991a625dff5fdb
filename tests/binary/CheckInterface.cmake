cmake_minimum_required(VERSION 3.25)

# Checks what the add-in library exports and imports.
#   cmake -DLIBRARY=... -DFORMAT=elf|pe -DTOOL=nm|objdump -P CheckInterface.cmake
# Exports: exactly run and stop. Imports from the host interface library: only
# Application::get_raw, CommandControl::interfaceId, DeallocateArrayInternal and the
# EventHandler constructor, destructor, placeholders (and, on ELF, its type information).
# On Windows no runtime library (libstdc++, libgcc, winpthread) may be needed beside it.

set(allowed_host_imports
    _ZN4adsk4core11Application7get_rawEv
    _ZN4adsk4core14CommandControl11interfaceIdEv
    _ZN4adsk4core23DeallocateArrayInternalEPc
    _ZN4adsk4core12EventHandlerC1Ev _ZN4adsk4core12EventHandlerC2Ev
    _ZN4adsk4core12EventHandlerD0Ev _ZN4adsk4core12EventHandlerD1Ev _ZN4adsk4core12EventHandlerD2Ev
    _ZTIN4adsk4core12EventHandlerE)
foreach(i RANGE 0 15)
    string(LENGTH "placeholderEventHandler${i}" length)
    list(APPEND allowed_host_imports "_ZN4adsk4core12EventHandler${length}placeholderEventHandler${i}Ev")
endforeach()

function(fail message)
    message(FATAL_ERROR "${LIBRARY}: ${message}")
endfunction()

# The tool's output as a list of lines.
function(tool_lines out)
    execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE text RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        fail("${ARGN} failed")
    endif()
    string(REPLACE ";" "," text "${text}")
    string(REPLACE "\n" ";" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(exported "")
set(host_imports "")
if(FORMAT STREQUAL "elf")
    tool_lines(defined ${TOOL} -D --defined-only ${LIBRARY})
    foreach(line IN LISTS defined)
        if(line MATCHES "^[0-9a-f]+ [A-Za-z] (.+)$")
            list(APPEND exported "${CMAKE_MATCH_1}")
        endif()
    endforeach()
    tool_lines(undefined ${TOOL} -D --undefined-only ${LIBRARY})
    foreach(line IN LISTS undefined)
        if(line MATCHES " U (_Z[A-Za-z0-9_]*adsk[A-Za-z0-9_]*)$")
            list(APPEND host_imports "${CMAKE_MATCH_1}")
        endif()
    endforeach()
else()
    tool_lines(dump ${TOOL} -p ${LIBRARY})
    set(section "")
    foreach(line IN LISTS dump)
        if(line MATCHES "^\\[Ordinal/Name Pointer\\] Table")
            set(section exports)
        elseif(line MATCHES "DLL Name: (.+)$")
            set(dll "${CMAKE_MATCH_1}")
            string(TOLOWER "${dll}" lower)
            if(NOT lower MATCHES "^(kernel32|advapi32|msvcrt|shell32|libsimhost)\\.dll$")
                fail("imports ${dll}; the add-in must be self-contained")
            endif()
            set(section "${lower}")
        elseif(line STREQUAL "")
            set(section "")
        elseif(section STREQUAL "exports" AND line MATCHES "^\t\\[ *[0-9]+\\] ([A-Za-z_][A-Za-z0-9_]*)$")
            list(APPEND exported "${CMAKE_MATCH_1}")
        elseif(section STREQUAL "libsimhost.dll" AND line MATCHES "(_Z[A-Za-z0-9_]+)$")
            list(APPEND host_imports "${CMAKE_MATCH_1}")
        endif()
    endforeach()
endif()

list(SORT exported)
if(NOT exported STREQUAL "run;stop")
    fail("exports '${exported}' instead of exactly 'run;stop'")
endif()
if(NOT host_imports)
    fail("found no imports from the host interface library")
endif()
foreach(symbol IN LISTS host_imports)
    if(NOT symbol IN_LIST allowed_host_imports)
        fail("imports ${symbol} from the host interface library")
    endif()
endforeach()
list(LENGTH host_imports count)
message(STATUS "${LIBRARY}: exports run and stop; ${count} allowed imports from the host interface library")
