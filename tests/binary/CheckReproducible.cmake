# A binary built to the same bytes anywhere: linked in the reproducible mode (a Repro entry in its
# debug directory, its time stamps a hash of the content rather than the build's time), its PDB
# named by file name alone, and no path of the source or build folder in it or in its PDB.
#   cmake -DLIBRARY=FILE.dll -DREADOBJ=llvm-readobj -DSOURCE_DIR=... -DBINARY_DIR=... -P CheckReproducible.cmake
cmake_minimum_required(VERSION 3.25)
function(fail message)
    message(FATAL_ERROR "${LIBRARY}: ${message}")
endfunction()

execute_process(COMMAND ${READOBJ} --coff-debug-directory ${LIBRARY} OUTPUT_VARIABLE debug RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    fail("llvm-readobj cannot read it")
endif()
if(NOT debug MATCHES "Type: Repro \\(0x10\\)")
    fail("not linked in the reproducible mode (no Repro entry in the debug directory):\n${debug}")
endif()
if(NOT debug MATCHES "PDBFileName: [^/\\\\\n]+\\.pdb\n")
    fail("its PDB is named with a folder:\n${debug}")
endif()

get_filename_component(pdb ${LIBRARY} NAME_WLE)
get_filename_component(folder ${LIBRARY} DIRECTORY)
foreach(file IN ITEMS ${LIBRARY} ${folder}/${pdb}.pdb)
    file(READ ${file} bytes HEX)
    foreach(path IN ITEMS ${SOURCE_DIR} ${BINARY_DIR})
        string(HEX "${path}" needle)
        string(FIND "${bytes}" "${needle}" at)
        if(NOT at EQUAL -1)
            fail("${file} holds the build's path ${path}")
        endif()
    endforeach()
endforeach()
message(STATUS "${LIBRARY}: reproducible link, no build path in it or its PDB")
