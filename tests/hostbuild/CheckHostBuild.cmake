cmake_minimum_required(VERSION 3.25)
# The host build, as a vendor makes it from the host's C++ API folder: a folder shaped like that
# one is laid out from our own sdk/ headers and the simulated host's interface library, a second
# build is configured with TRELVIK_HOST_SDK_DIR pointing at it, and the add-in it makes is read
# like the binary checks read ours. Nothing of the simulated host may be built there.
#   cmake -DSOURCE_DIR=... -DWORK=... -DGENERATOR=... [-DTOOLCHAIN=...] -DHOST_LIBRARY=... [-DHOSTSIM=...]
#         -DFORMAT=elf|pe -DTOOL=nm|objdump -DTESTS=ON|OFF -P CheckHostBuild.cmake
# For Windows (pe; TOOLCHAIN the clang-msvc one, the host's ABI) the folder's core.lib is made with
# DLLTOOL from core.def, the host's exports in their Microsoft names; the DLL is loaded under Wine
# beside a stand-in core.dll, and the build's packages (ZIP, and MSI with WIXL) are made and must
# not say simhost. SYSTEM_LIBRARIES and NM go to the binary check.

function(fail message)
    message(FATAL_ERROR "host build: ${message}")
endfunction()

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT rc EQUAL 0)
        fail("${ARGN}\n${output}")
    endif()
endfunction()

# Configures and builds one host build; libraries: the TRELVIK_HOST_LIBRARIES value; a fourth
# argument, the build type (Release when none); a fifth, the API folder (${WORK}/api when none).
function(host_build folder libraries tests)
    set(type Release)
    set(api ${WORK}/api)
    if(ARGC GREATER 3)
        set(type ${ARGV3})
    endif()
    if(ARGC GREATER 4)
        set(api ${ARGV4})
    endif()
    set(arguments -S ${SOURCE_DIR} -B ${folder} -G ${GENERATOR} -DCMAKE_BUILD_TYPE=${type}
                  -DTRELVIK_WERROR=ON -DTRELVIK_HOST_SDK_DIR=${api}
                  "-DTRELVIK_HOST_LIBRARIES=${libraries}" -DTRELVIK_TESTS=${tests})
    if(TOOLCHAIN)
        list(APPEND arguments -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN})
    endif()
    run(${CMAKE_COMMAND} ${arguments})
    run(${CMAKE_COMMAND} --build ${folder})
    file(GLOB built RELATIVE ${folder}/bin ${folder}/bin/*)
    foreach(file IN LISTS built)
        if(file MATCHES "simhost|shellstub|hostsim|url_recorder")
            fail("the host build made ${file}, a part of the simulated host")
        endif()
    endforeach()
endfunction()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/api/lib)
file(COPY ${SOURCE_DIR}/sdk/ DESTINATION ${WORK}/api/include)
if(FORMAT STREQUAL "pe")
    run(${DLLTOOL} -m i386:x86-64 -d ${CMAKE_CURRENT_LIST_DIR}/core.def -l ${WORK}/api/lib/core.lib)
    set(library TrelvikDizivoro360.dll)
    host_build(${WORK}/linked core ${TESTS})
else()
    file(COPY ${HOST_LIBRARY} DESTINATION ${WORK}/api/lib)
    set(library TrelvikDizivoro360.so)
    host_build(${WORK}/linked simhost ${TESTS})
endif()
run(${CMAKE_COMMAND} -DLIBRARY=${WORK}/linked/bin/${library} -DFORMAT=${FORMAT} -DTOOL=${TOOL}
    -DSYSTEM_LIBRARIES=${SYSTEM_LIBRARIES} -DNM=${NM} -P ${CMAKE_CURRENT_LIST_DIR}/../binary/CheckInterface.cmake)
if(FORMAT STREQUAL "pe")
    # The DLL runs: loaded beside a stand-in core.dll in the same ABI (LOADER, with WINE_RUN in
    # WINE_PREFIX), its seven handler objects are built at load and ended at unload, run ends
    # false without an application and stop returns true.
    # The host's interface library under a name this project has never seen, new each run, as a
    # host API folder's core.lib may give it; and an import library of it with a name more, which
    # the simulated host does not export.
    string(RANDOM LENGTH 10 ALPHABET abcdefghijklmnopqrstuvwxyz0123456789 random)
    set(host_library xi${random}.dll)
    file(MAKE_DIRECTORY ${WORK}/api-random/lib ${WORK}/unknown)
    file(COPY ${SOURCE_DIR}/sdk/ DESTINATION ${WORK}/api-random/include)
    run(${DLLTOOL} -m i386:x86-64 -d ${CMAKE_CURRENT_LIST_DIR}/core.def -D ${host_library} -l ${WORK}/api-random/lib/core.lib)
    file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/core.def exports REGEX "^    [?]")
    list(JOIN exports "\n" exports)
    file(WRITE ${WORK}/unknown/unknown.def "LIBRARY ${host_library}\nEXPORTS\n${exports}\n    ?notThere@Application@core@adsk@@SAXXZ\n")
    run(${DLLTOOL} -m i386:x86-64 -d ${WORK}/unknown/unknown.def -l ${WORK}/unknown/unknown.lib)
    run(${CMAKE_COMMAND} -S ${CMAKE_CURRENT_LIST_DIR}/stubcore -B ${WORK}/stubcore -G ${GENERATOR}
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN} -DTRELVIK_SOURCE_DIR=${SOURCE_DIR}
        -DUNKNOWN_IMPORT_LIBRARY=${WORK}/unknown/unknown.lib -DCMAKE_EXPORT_COMPILE_COMMANDS=ON)
    run(${CMAKE_COMMAND} --build ${WORK}/stubcore)
    # Release, and Debug as a developer builds it (unoptimised: interfaceId imported, not inlined).
    host_build(${WORK}/debug core OFF Debug)
    foreach(build linked debug)
        file(MAKE_DIRECTORY ${WORK}/loaded-${build})
        file(COPY ${WORK}/${build}/bin/${library} ${WORK}/stubcore/bin/core.dll DESTINATION ${WORK}/loaded-${build})
        string(REPLACE "/" "\\" windows_path "Z:${WORK}/loaded-${build}/${library}") # Wine's drive for /
        execute_process(COMMAND sh ${WINE_RUN} ${WINE_PREFIX} ${LOADER} ${windows_path} RESULT_VARIABLE rc
                        OUTPUT_VARIABLE loaded ERROR_VARIABLE loaded)
        string(REPLACE "\r" "" loaded "${loaded}")
        if(NOT rc EQUAL 0 OR NOT loaded MATCHES "loaded built=7 alive=7\nrun=0 stop=1\nunloaded alive=0")
            fail("the host build's ${build} DLL under Wine, beside a stand-in core.dll:\n${loaded}")
        endif()
        message(STATUS "host build (${build}): loaded, run, stopped and unloaded under Wine: ${loaded}")
    endforeach()

    # The check made from outside, in small: a DLL linked against an import library of the host's
    # export names (core.def) that names simhost.dll runs in hostsim.exe, whose simulated host
    # must then export exactly those names and answer at the host's slots.
    file(MAKE_DIRECTORY ${WORK}/api-simhost/lib)
    file(COPY ${SOURCE_DIR}/sdk/ DESTINATION ${WORK}/api-simhost/include)
    run(${DLLTOOL} -m i386:x86-64 -d ${CMAKE_CURRENT_LIST_DIR}/core.def -D simhost.dll -l ${WORK}/api-simhost/lib/core.lib)
    host_build(${WORK}/in-simhost core OFF Release ${WORK}/api-simhost)
    string(REPLACE "/" "\\" windows_path "Z:${WORK}/in-simhost/bin/${library}")
    execute_process(COMMAND sh ${WINE_RUN} ${WINE_PREFIX} ${HOSTSIM} --json ${windows_path} run click openEshop
                            click runTeachPalette stop unload
                    RESULT_VARIABLE rc OUTPUT_VARIABLE session ERROR_VARIABLE errors)
    string(REPLACE "\r" "" session "${session}")
    if(NOT rc EQUAL 0 OR NOT session MATCHES "\{\"call\":\"run\",\"result\":true\}"
       OR NOT session MATCHES "\{\"call\":\"stop\",\"result\":true\}"
       OR NOT session MATCHES "\"outstanding\":0" OR session MATCHES "\"op\":\"(violation|exception)\"")
        fail("the host build linked against simhost.dll in hostsim.exe (exit ${rc}):\n${session}${errors}")
    endif()
    message(STATUS "host build: linked against the host's names in simhost.dll, run in hostsim.exe: run and stop true, references 0, no violation")

    # The host build exactly as it comes out of a host API folder whose core.lib names the host
    # library ${host_library}: hostsim.exe runs it with nothing placed beside it (the simulated
    # host under that name in a folder of hostsim's own, gone afterwards), and it leaves the trace
    # of the project's own DLL.
    host_build(${WORK}/in-random core OFF Release ${WORK}/api-random)
    set(temporary_folders ${WINE_PREFIX}/drive_c/users/*/Temp/hostsim-* ${WINE_PREFIX}/drive_c/users/*/AppData/Local/Temp/hostsim-*)
    foreach(build in-random own)
        file(MAKE_DIRECTORY ${WORK}/run-${build})
        if(build STREQUAL "own")
            file(COPY ${ADDIN} DESTINATION ${WORK}/run-own)
        else()
            file(COPY ${WORK}/in-random/bin/${library} DESTINATION ${WORK}/run-in-random)
        endif()
        string(REPLACE "/" "\\" windows_path "Z:${WORK}/run-${build}/${library}")
        execute_process(COMMAND sh ${WINE_RUN} ${WINE_PREFIX} ${HOSTSIM} --json ${windows_path} run click openEshop
                                click runTeachPalette stop unload
                        RESULT_VARIABLE rc OUTPUT_VARIABLE trace_${build} ERROR_VARIABLE errors)
        string(REPLACE "\r" "" trace_${build} "${trace_${build}}")
        if(NOT rc EQUAL 0 OR trace_${build} MATCHES "\"op\":\"(violation|exception)\"")
            fail("the ${build} DLL in hostsim.exe (exit ${rc}):\n${trace_${build}}${errors}")
        endif()
    endforeach()
    if(NOT trace_in-random STREQUAL trace_own)
        fail("the host build importing ${host_library} left another trace than the project's own DLL:\n${trace_in-random}\n-- the project's own:\n${trace_own}")
    endif()
    file(GLOB left_folders LIST_DIRECTORIES true ${temporary_folders})
    file(GLOB beside ${WORK}/run-in-random/*)
    list(LENGTH beside files)
    if(left_folders OR NOT files EQUAL 2) # the DLL and its launch record
        fail("hostsim left its copy of the simulated host (${left_folders}) or a file beside the add-in (${beside})")
    endif()
    message(STATUS "host build: importing ${host_library}, run in hostsim.exe with nothing beside it: the project's own trace")

    # A DLL importing a host name the simulated host does not export is refused, by that name.
    string(REPLACE "/" "\\" windows_path "Z:${WORK}/stubcore/bin/unknown_import.dll")
    execute_process(COMMAND sh ${WINE_RUN} ${WINE_PREFIX} ${HOSTSIM} ${windows_path} run
                    RESULT_VARIABLE rc OUTPUT_VARIABLE output ERROR_VARIABLE errors)
    if(NOT rc EQUAL 1 OR NOT errors MATCHES "[?]notThere@Application@core@adsk@@SAXXZ" OR errors MATCHES "DeallocateArrayInternal")
        fail("a DLL importing a name the simulated host does not export (exit ${rc}):\n${output}${errors}")
    endif()
    message(STATUS "host build: a DLL importing a name the simulated host lacks is refused: ${errors}")

    # /GS as the toolchain gives it: a cookie of each process's own, and an overrun that ends the
    # process before the function returns through its smashed frame.
    string(REPLACE "/" "\\" probe "Z:${WORK}/stubcore/bin/guard_probe.dll")
    set(cookies "")
    foreach(process 1 2)
        execute_process(COMMAND sh ${WINE_RUN} ${WINE_PREFIX} ${LOADER} --cookie ${probe} RESULT_VARIABLE rc
                        OUTPUT_VARIABLE cookie ERROR_VARIABLE errors)
        if(NOT rc EQUAL 0 OR NOT cookie MATCHES "cookie=([0-9a-f]+)")
            fail("the stack cookie could not be read:\n${cookie}${errors}")
        endif()
        list(APPEND cookies ${CMAKE_MATCH_1})
    endforeach()
    list(GET cookies 0 first)
    list(GET cookies 1 second)
    if(first STREQUAL second OR first STREQUAL "2b992ddfa232" OR first STREQUAL "0")
        fail("the stack cookie is not set anew in each process: ${cookies}")
    endif()
    execute_process(COMMAND sh ${WINE_RUN} ${WINE_PREFIX} ${LOADER} --overrun ${probe} RESULT_VARIABLE rc
                    OUTPUT_VARIABLE overrun ERROR_VARIABLE errors)
    # Ended by the cookie check's fail-fast: STATUS_STACK_BUFFER_OVERRUN (0xC0000409), of which the
    # exit status keeps the low byte. A frame without a cookie returns through the overrun instead
    # and faults somewhere (0xC0000005: 5), or returns ("returned").
    if(NOT rc EQUAL 9 OR overrun MATCHES "returned")
        fail("a stack overrun was not stopped by the cookie check (exit ${rc}):\n${overrun}")
    endif()
    message(STATUS "host build: stack cookies ${cookies} in two processes; an overrun ended its process (exit ${rc})")

    # What users install: the packages of this build.
    run(${CPACK} --config ${WORK}/linked/CPackConfig.cmake -B ${WORK}/linked/package)
    set(packages ${WORK}/linked/package/TrelvikDizivoro360-*-x64.zip)
    if(WIXL)
        run(${CMAKE_COMMAND} --build ${WORK}/linked --target msi)
        list(APPEND packages ${WORK}/linked/package/TrelvikDizivoro360-*-x64.msi)
    endif()
    foreach(pattern IN LISTS packages)
        file(GLOB made ${pattern})
        if(NOT made)
            fail("no package ${pattern}")
        endif()
        if(made MATCHES "simhost")
            fail("the host build's package ${made} says simhost")
        endif()
        message(STATUS "host build: package ${made}")
    endforeach()
endif()
if(TESTS)
    # The add-in's host-free parts are tested in the host build too.
    run(ctest --test-dir ${WORK}/linked --output-on-failure --no-tests=error)
endif()

if(FORMAT STREQUAL "elf")
    # Without any import library (a compile-and-link check where none exists): the host's
    # symbols stay for the loader to find.
    host_build(${WORK}/unlinked "" OFF)
    run(${CMAKE_COMMAND} -DLIBRARY=${WORK}/unlinked/bin/${library} -DFORMAT=${FORMAT} -DTOOL=${TOOL}
        -P ${CMAKE_CURRENT_LIST_DIR}/../binary/CheckInterface.cmake)
endif()
message(STATUS "host build: the add-in built from a host API folder, without the simulated host")
