# Build settings shared by every target: the version, warnings and sanitizers (per compiler, so
# nothing GCC-only reaches MSVC), and checks of the cache values that end up fixed in the add-in.

if(NOT TRELVIK_LEARNING_HOST MATCHES "^[A-Za-z0-9.-]+$")
    message(FATAL_ERROR "TRELVIK_LEARNING_HOST must be a plain host name, got '${TRELVIK_LEARNING_HOST}'")
endif()
if(NOT TRELVIK_ESHOP_URL MATCHES "^https://[A-Za-z0-9.-]+(/[A-Za-z0-9._~/?=&%-]*)?$")
    message(FATAL_ERROR "TRELVIK_ESHOP_URL must be an absolute https URL, got '${TRELVIK_ESHOP_URL}'")
endif()

# One version for the manifest, the DLL's version resource and the installer.
if(NOT TRELVIK_VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
    message(FATAL_ERROR "TRELVIK_VERSION must be MAJOR.MINOR.PATCH, got '${TRELVIK_VERSION}'")
endif()
set(TRELVIK_VERSION_MAJOR ${CMAKE_MATCH_1})
set(TRELVIK_VERSION_MINOR ${CMAKE_MATCH_2})
set(TRELVIK_VERSION_PATCH ${CMAKE_MATCH_3})

set(msvc "$<CXX_COMPILER_ID:MSVC>")
set(gnu_like "$<NOT:$<CXX_COMPILER_ID:MSVC>>")

add_library(trelvik_warnings INTERFACE)
target_compile_options(trelvik_warnings INTERFACE
    $<${gnu_like}:-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor>
    $<${msvc}:/W4 /permissive- /utf-8 /EHsc>)
if(TRELVIK_WERROR)
    target_compile_options(trelvik_warnings INTERFACE $<${gnu_like}:-Werror> $<${msvc}:/WX>)
endif()

if(TRELVIK_FUZZ)
    # Coverage for libFuzzer everywhere, plus the sanitizers that turn bugs into findings.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
elseif(TRELVIK_SANITIZE)
    # vptr checks compare type information across the add-in's hidden-visibility boundary and
    # report false mismatches, so that one check is left out.
    add_compile_options(-fsanitize=address,undefined -fno-sanitize=vptr -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
