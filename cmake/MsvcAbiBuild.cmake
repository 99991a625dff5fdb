# The Windows add-in DLL and the simulated host's library in the host's C++ ABI, for the mingw-w64
# build of hostsim and the tests: this same source configured once more with the clang-msvc
# toolchain (an external project, since one CMake build has one C++ toolchain). Its DLLs are
# copied beside the mingw programs, which load the simulated host by path and reach it through its
# C entry (simhost/simhost.h).
#
# Gives: target simhost_control (the C entry's headers, for the drivers),
# msvc_abi_build (what to depend on), and TRELVIK_ADDIN_FILE, the add-in DLL.
include(ExternalProject)

set(msvc_abi_dir ${CMAKE_BINARY_DIR}/msvc-abi)
set(msvc_abi_outputs ${msvc_abi_dir}/bin/TrelvikDizivoro360.dll ${msvc_abi_dir}/bin/simhost.dll)
set(msvc_abi_targets TrelvikDizivoro360 simhost)
if(TRELVIK_TESTS)
    # test fixtures
    list(APPEND msvc_abi_outputs ${msvc_abi_dir}/bin/broken_addin.dll ${msvc_abi_dir}/bin/probe_addin.dll)
    list(APPEND msvc_abi_targets broken_addin probe_addin)
endif()
ExternalProject_Add(msvc_abi_build
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${msvc_abi_dir}
    CMAKE_GENERATOR ${CMAKE_GENERATOR}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/clang-msvc-x86_64.cmake
               -DCMAKE_BUILD_TYPE=Release -DTRELVIK_TESTS=OFF -DTRELVIK_WERROR=${TRELVIK_WERROR}
               -DTRELVIK_VERSION=${TRELVIK_VERSION} -DTRELVIK_LEARNING_HOST=${TRELVIK_LEARNING_HOST}
               -DTRELVIK_ESHOP_URL=${TRELVIK_ESHOP_URL} -DCMAKE_EXPORT_COMPILE_COMMANDS=ON
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${msvc_abi_dir} --target ${msvc_abi_targets}
    INSTALL_COMMAND ${CMAKE_COMMAND} -E copy_if_different ${msvc_abi_outputs} ${CMAKE_BINARY_DIR}/bin
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${msvc_abi_outputs}
    USES_TERMINAL_BUILD ON)

add_library(simhost_control INTERFACE)
target_include_directories(simhost_control INTERFACE ${PROJECT_SOURCE_DIR}/host/include)
target_link_libraries(simhost_control INTERFACE plumbing)
add_dependencies(simhost_control msvc_abi_build)

set(TRELVIK_ADDIN_FILE ${CMAKE_BINARY_DIR}/bin/TrelvikDizivoro360.dll)
set(TRELVIK_ADDIN_TARGET msvc_abi_build)
