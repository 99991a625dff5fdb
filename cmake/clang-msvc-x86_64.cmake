# Cross-build for Windows x64 in the host's C++ ABI (that of Visual C++: one deleting-destructor
# slot, Microsoft name mangling and vtable layout), on Linux, from Debian's packages: clang in its
# MSVC target with lld-link, llvm-rc and llvm-lib; libc++'s headers (libc++-NN-dev), the C run-time
# and Windows headers of Wine (libwine-dev) and, for the link, mingw-w64's import libraries of the
# system DLLs (made from the real DLLs' export lists). What the Visual C++ run-time's static part
# would add comes from buildsupport/msvc-abi (TRELVIK_MSVC_ABI tells the project to use it).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET x86_64-pc-windows-msvc)
set(CMAKE_CXX_COMPILER_TARGET x86_64-pc-windows-msvc)
set(CMAKE_RC_COMPILER llvm-rc)
# Static libraries with llvm-ar: CMake drives its archiver with ar's options, which llvm-lib lacks.
set(CMAKE_AR llvm-ar)
set(CMAKE_LINKER lld-link)
set(TRELVIK_MSVC_ABI ON)

execute_process(COMMAND clang++ -dumpversion OUTPUT_VARIABLE clang_version OUTPUT_STRIP_TRAILING_WHITESPACE)
string(REGEX MATCH "^[0-9]+" clang_major "${clang_version}")
execute_process(COMMAND clang++ -print-resource-dir OUTPUT_VARIABLE clang_resources OUTPUT_STRIP_TRAILING_WHITESPACE)
set(libcxx_headers /usr/lib/llvm-${clang_major}/include/c++/v1)
set(wine_headers /usr/include/wine/wine)
foreach(folder IN ITEMS ${libcxx_headers} ${wine_headers}/msvcrt ${wine_headers}/windows)
    if(NOT EXISTS ${folder})
        message(FATAL_ERROR "${folder} is missing (scripts/packages.sh names the packages)")
    endif()
endforeach()
set(TRELVIK_MSVC_ABI_SYSTEM_LIBRARIES /usr/x86_64-w64-mingw32/lib)

# (The header options reach the link line too, hence the unused-argument silence.)
# Headers in this order: libc++, clang's own, our compatibility headers, then Wine's, whose
# math.h ours wraps. The defines keep libc++ to what its headers alone provide: no Visual C++
# run-time, no compiled library, no threads, no auto-linking; WCHAR is wchar_t; Wine's
# _InterlockedCompareExchange128 makes way for clang's built-in. Function-local statics are
# initialised without the Visual C++ run-time's thread guards: the host calls add-ins from one
# thread.
set(msvc_abi_flags
    "-Wno-unused-command-line-argument -nostdinc++ -nostdlibinc -isystem ${libcxx_headers} -isystem ${clang_resources}/include"
    "-isystem ${CMAKE_CURRENT_LIST_DIR}/../buildsupport/msvc-abi/include"
    "-isystem ${wine_headers}/msvcrt -isystem ${wine_headers}/windows"
    "-D_LIBCPP_NO_VCRUNTIME -D_LIBCPP_DISABLE_EXTERN_TEMPLATE -D_LIBCPP_HAS_NO_THREADS"
    "-D_LIBCPP_DISABLE_VISIBILITY_ANNOTATIONS -D_LIBCPP_NO_AUTO_LINK -DWINE_UNICODE_NATIVE -D_UCRT"
    "-D_InterlockedCompareExchange128=wine_InterlockedCompareExchange128"
    "-fno-threadsafe-statics"
    # As Visual C++ builds a DLL by default: stack cookies (/GS; buildsupport/msvc-abi has the
    # cookie and the load configuration that holds it), CodeView debug information for a PDB, and
    # each function and datum in a section of its own (/Gy, implied by /O2) so that the link keeps
    # only what is referenced.
    "-fstack-protector-strong -g -gcodeview -ffunction-sections -fdata-sections"
    # No build folder in the debug information (its paths are relative to the build folder).
    "-ffile-compilation-dir=.")
string(JOIN " " msvc_abi_flags ${msvc_abi_flags})
set(CMAKE_C_FLAGS_INIT "${msvc_abi_flags}")
set(CMAKE_CXX_FLAGS_INIT "${msvc_abi_flags}")
# Nothing linked by default: the system libraries are named where they are needed. (Programs
# cannot be linked without a start-up of their own, so the compiler checks build libraries.)
set(CMAKE_C_STANDARD_LIBRARIES_INIT "")
set(CMAKE_CXX_STANDARD_LIBRARIES_INIT "")
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
# A PDB beside each binary, named in it without the build's path (/pdbaltpath), so a crash dump
# from a user can be read; /debug would keep unreferenced code and identical functions, which
# Visual C++'s release link removes (/opt:ref,icf).
# /Brepro: no link time in the binary; its PDB's identity is a hash of the content. /pdbsourcepath:
# the PDB names the link's working folder by this fixed name rather than where the build ran.
set(msvc_abi_link "-fuse-ld=lld -nostdlib -Wl,/nodefaultlib -Wl,/debug -Wl,/pdbaltpath:%_PDB% -Wl,/opt:ref -Wl,/opt:icf")
string(APPEND msvc_abi_link " -Wl,/Brepro -Wl,/pdbsourcepath:C:/build")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${msvc_abi_link}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${msvc_abi_link}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${msvc_abi_link}")
set(CMAKE_RC_FLAGS_INIT "-I ${wine_headers}/windows -I ${wine_headers}/msvcrt")

set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
