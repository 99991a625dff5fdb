cmake_minimum_required(VERSION 3.25)

# Checks what the add-in library exports and imports.
#   cmake -DLIBRARY=... -DFORMAT=elf|pe -DTOOL=nm|objdump [-DSYSTEM_LIBRARIES=folder -DNM=nm]
#         -P CheckInterface.cmake
# Exports: exactly run and stop. Imports from the host interface library: only
# Application::get_raw, CommandControl::classType (interfaceId where it is not inlined),
# DeallocateArrayInternal and the
# EventHandler constructor, destructor, placeholders (and, on ELF, its type information).
# A Windows DLL (pe) is of the host's ABI: the host's names are Microsoft-mangled (core.def), no
# runtime library may be needed beside it, the system DLLs are kernel32, advapi32, shell32 and
# ucrtbase, and every name imported from one must be exported by it as its import library in
# SYSTEM_LIBRARIES (mingw-w64's, made from the real DLLs) lists.

set(allowed_host_imports
    _ZN4adsk4core11Application7get_rawEv
    _ZN4adsk4core14CommandControl9classTypeEv
    _ZN4adsk4core14CommandControl11interfaceIdEv
    _ZN4adsk4core23DeallocateArrayInternalEPc
    _ZN4adsk4core12EventHandlerC1Ev _ZN4adsk4core12EventHandlerC2Ev
    _ZN4adsk4core12EventHandlerD0Ev _ZN4adsk4core12EventHandlerD1Ev _ZN4adsk4core12EventHandlerD2Ev
    _ZTIN4adsk4core12EventHandlerE)
foreach(i RANGE 0 15)
    string(LENGTH "placeholderEventHandler${i}" length)
    list(APPEND allowed_host_imports "_ZN4adsk4core12EventHandler${length}placeholderEventHandler${i}Ev")
endforeach()
if(FORMAT STREQUAL "pe")
    file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../hostbuild/core.def allowed_host_imports REGEX "^    [?]")
    list(TRANSFORM allowed_host_imports STRIP)
    set(system_dlls "kernel32|advapi32|shell32|ucrtbase")
    set(host_dlls "core.dll;simhost.dll")
endif()

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
            if(NOT lower MATCHES "^(${system_dlls})\\.dll$" AND NOT lower IN_LIST host_dlls)
                fail("imports ${dll}; the add-in must be self-contained")
            endif()
            set(section "${lower}")
        elseif(line STREQUAL "")
            set(section "")
        elseif(section STREQUAL "exports" AND line MATCHES "^\t\\[ *[0-9]+\\] ([A-Za-z_][A-Za-z0-9_]*)$")
            list(APPEND exported "${CMAKE_MATCH_1}")
        elseif(section IN_LIST host_dlls AND line MATCHES "^\t[0-9a-f]+\t +[0-9]+  ([^ ]+)$")
            list(APPEND host_imports "${CMAKE_MATCH_1}")
        elseif(section MATCHES "^(${system_dlls})\\.dll$" AND line MATCHES "^\t[0-9a-f]+\t +[0-9]+  ([^ ]+)$")
            list(APPEND system_imports_${CMAKE_MATCH_1} "${section}")
            list(APPEND system_imports "${CMAKE_MATCH_1}")
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
# Every system import exists in that DLL: its import library exports the name.
if(SYSTEM_LIBRARIES)
    foreach(symbol IN LISTS system_imports)
        list(GET system_imports_${symbol} 0 dll)
        string(REGEX REPLACE "\\.dll$" "" stem "${dll}")
        if(NOT DEFINED exports_of_${stem})
            tool_lines(names ${NM} --defined-only ${SYSTEM_LIBRARIES}/lib${stem}.a)
            set(exports_of_${stem} "")
            foreach(line IN LISTS names)
                if(line MATCHES " T ([^ ]+)$")
                    list(APPEND exports_of_${stem} "${CMAKE_MATCH_1}")
                endif()
            endforeach()
        endif()
        if(NOT symbol IN_LIST exports_of_${stem})
            fail("imports ${symbol} from ${dll}, which does not export it")
        endif()
    endforeach()
    list(LENGTH system_imports system_count)
    message(STATUS "${LIBRARY}: ${system_count} system imports, each exported by its DLL")
endif()
list(LENGTH host_imports count)
message(STATUS "${LIBRARY}: exports run and stop; ${count} allowed imports from the host interface library")
