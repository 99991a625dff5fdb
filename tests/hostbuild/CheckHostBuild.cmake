cmake_minimum_required(VERSION 3.25)
# The host build, as a vendor makes it from the host's C++ API folder: a folder shaped like that
# one is laid out from our own sdk/ headers and the simulated host's interface library, a second
# build is configured with TRELVIK_HOST_SDK_DIR pointing at it, and the add-in it makes is read
# like the binary checks read ours. Nothing of the simulated host may be built there.
#   cmake -DSOURCE_DIR=... -DWORK=... -DGENERATOR=... [-DTOOLCHAIN=...] -DHOST_LIBRARY=...
#         -DFORMAT=elf|pe -DTOOL=nm|objdump -DTESTS=ON|OFF -P CheckHostBuild.cmake

function(fail message)
    message(FATAL_ERROR "host build: ${message}")
endfunction()

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT rc EQUAL 0)
        fail("${ARGN}\n${output}")
    endif()
endfunction()

# Configures and builds one host build; libraries: the TRELVIK_HOST_LIBRARIES value.
function(host_build folder libraries tests)
    set(arguments -S ${SOURCE_DIR} -B ${folder} -G ${GENERATOR} -DCMAKE_BUILD_TYPE=Release
                  -DTRELVIK_WERROR=ON -DTRELVIK_HOST_SDK_DIR=${WORK}/api
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
file(COPY ${HOST_LIBRARY} DESTINATION ${WORK}/api/lib)

if(FORMAT STREQUAL "pe")
    set(library TrelvikDizivoro360.dll)
else()
    set(library TrelvikDizivoro360.so)
endif()

host_build(${WORK}/linked simhost ${TESTS})
run(${CMAKE_COMMAND} -DLIBRARY=${WORK}/linked/bin/${library} -DFORMAT=${FORMAT} -DTOOL=${TOOL}
    -P ${CMAKE_CURRENT_LIST_DIR}/../binary/CheckInterface.cmake)
if(TESTS)
    # The add-in's host-free parts are tested in the host build too.
    run(ctest --test-dir ${WORK}/linked --output-on-failure --no-tests=error)
endif()

if(NOT FORMAT STREQUAL "pe")
    # Without any import library (a compile-and-link check where none exists): the host's
    # symbols stay for the loader to find.
    host_build(${WORK}/unlinked "" OFF)
    run(${CMAKE_COMMAND} -DLIBRARY=${WORK}/unlinked/bin/${library} -DFORMAT=${FORMAT} -DTOOL=${TOOL}
        -P ${CMAKE_CURRENT_LIST_DIR}/../binary/CheckInterface.cmake)
endif()
message(STATUS "host build: the add-in built from a host API folder, without the simulated host")
