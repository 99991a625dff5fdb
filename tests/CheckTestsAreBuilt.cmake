# Fails when a test could silently stop running: a C++ source under tests/ that no target of the
# given builds compiles, or a test script under tests/ that no test of theirs runs. (That every
# test program registers tests is checked in each build by TestPrograms.*.ListsItsTests.)
#
# Usage: cmake -DSOURCE_DIR=… -DBUILD_DIRS="build/native;build/fuzz;…" -P CheckTestsAreBuilt.cmake
# Give every build the test command makes: a source built in only one of them counts.
cmake_minimum_required(VERSION 3.25)

set(compiled "")
set(registered "")
foreach(dir IN LISTS BUILD_DIRS)
    if(NOT EXISTS "${dir}/compile_commands.json")
        message(FATAL_ERROR "${dir} has no compile_commands.json: build it first")
    endif()
    # Builds that tests make inside a build (the host build, say) count too.
    file(GLOB_RECURSE databases "${dir}/compile_commands.json")
    foreach(database IN LISTS databases)
        file(READ "${database}" commands)
        string(APPEND compiled "${commands}")
    endforeach()
    execute_process(COMMAND ${CMAKE_CTEST_COMMAND} --show-only=json-v1 WORKING_DIRECTORY "${dir}"
                    OUTPUT_VARIABLE tests RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "ctest --show-only failed in ${dir}")
    endif()
    string(APPEND registered "${tests}")
endforeach()

file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/tests/*.cpp" "${SOURCE_DIR}/tests/*.c")
file(GLOB_RECURSE scripts RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/tests/*.mjs" "${SOURCE_DIR}/tests/*.sh"
     "${SOURCE_DIR}/tests/*.cmake")
list(REMOVE_ITEM scripts tests/CheckTestsAreBuilt.cmake)

set(orphans "")
foreach(source IN LISTS sources)
    string(FIND "${compiled}" "${SOURCE_DIR}/${source}\"" at)
    if(at EQUAL -1)
        list(APPEND orphans "${source} (compiled by no target)")
    endif()
endforeach()
foreach(script IN LISTS scripts)
    string(FIND "${registered}" "${SOURCE_DIR}/${script}" at)
    if(at EQUAL -1)
        list(APPEND orphans "${script} (run by no test)")
    endif()
endforeach()

list(LENGTH sources source_count)
list(LENGTH scripts script_count)
if(orphans)
    list(JOIN orphans "\n  " listed)
    message(FATAL_ERROR "Test files that never run:\n  ${listed}")
endif()
message(STATUS "${source_count} test sources compiled and ${script_count} test scripts run by the builds")
